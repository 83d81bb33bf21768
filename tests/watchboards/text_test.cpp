// The numbers and texts the outputs write, and what a text does with what
// does not fit.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "text.h"

namespace {

std::string Si(uint64_t value) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendSi(&text, value);
    return chars;
}

std::string Percent(int32_t tenths) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendPercentTenths(&text, tenths);
    return chars;
}

std::string Duration(uint64_t seconds) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendDuration(&text, seconds);
    return chars;
}

// Numbers at their widest, and what does not fit in a text of three
// characters: a number or a character of several bytes is left out whole.
TEST(Text, NumbersAndWhatDoesNotFit) {
    char chars[48];
    Text t = TEXT_IN(chars);
    AppendUnsigned(&t, 18446744073709551615u);
    AppendSigned(&t, INT64_MIN);
    AppendDecimal(&t, -5, 3);
    EXPECT_EQ(std::string(chars), "18446744073709551615-9223372036854775808-0.005");

    // Into room that grows, written in place: every length of number.
    const struct {
        int64_t value;
        int decimals;
        const char *text;
    } decimals[] = {
        {0, 0, "0"},      {9, 0, "9"},          {10, 0, "10"},      {-5, 3, "-0.005"},
        {12345, 1, "1234.5"}, {100, 2, "1.00"}, {INT64_MIN, 0, "-9223372036854775808"},
        {INT64_MAX, 0, "9223372036854775807"}, {999999999999999999, 0, "999999999999999999"},
    };
    Text grown = GrowingText();
    for (const auto &d : decimals) {
        EmptyText(&grown);
        AppendDecimal(&grown, d.value, d.decimals);
        EXPECT_STREQ(grown.chars, d.text) << d.value;
        EXPECT_EQ(grown.length, strlen(d.text)) << d.value;
    }
    free(grown.chars);

    const struct {
        const char *before;
        void (*append)(Text *);
        const char *after;
    } fits[] = {
        {"ab", [](Text *t) { AppendUnsigned(t, 7); }, "ab7"},
        {"ab", [](Text *t) { AppendUnsigned(t, 12); }, "ab"},
        {"a", [](Text *t) { AppendUnsigned(t, 12); }, "a12"},
        {"a", [](Text *t) { AppendUnsigned(t, 123); }, "a"},
        {"abc", [](Text *t) { AppendChar(t, 'd'); }, "abc"},
        {"a", [](Text *t) { AppendChars(t, "\xe2\x88\x92", 3); }, "a"},
        {"", [](Text *t) { AppendChars(t, "\xe2\x88\x92", 3); }, "\xe2\x88\x92"},
        {"a", [](Text *t) { AppendText(t, "bcd"); }, "a"},
    };
    for (const auto &f : fits) {
        char small[4];
        Text t = TEXT_IN(small);
        AppendText(&t, f.before);
        f.append(&t);
        EXPECT_EQ(std::string(small), f.after) << f.before;
        EXPECT_EQ(t.length, strlen(f.after)) << f.before;
    }
}

std::string Count(uint64_t value, int width) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendCount(&text, value, width);
    return chars;
}

TEST(Figures, AsTheScreenPrintsThem) {
    // Rounded to the nearest tenth: 12345 is 12.3 k, 12350 is 12.4 k;
    // 999950 would be 1000.0 k, and is 1.0 M.
    const std::pair<uint64_t, std::string> si[] = {
        {0, "0  "},
        {999, "999  "},
        {1000, "1.0 k"},
        {12345, "12.3 k"},
        {12350, "12.4 k"},
        {999949, "999.9 k"},
        {999950, "1.0 M"},
        {125000000, "125.0 M"},
        {1000000000, "1.0 G"},
        {8000000000, "8.0 G"},
    };
    for (const auto &[value, text] : si)
        EXPECT_EQ(Si(value), text) << value;

    const std::pair<int32_t, std::string> percents[] = {
        {0, "0.0%"},   {7, "+0.7%"},  {-7, "-0.7%"},    {99, "+9.9%"},
        {100, "+10%"}, {125, "+12%"}, {-1000, "-100%"},
    };
    for (const auto &[tenths, text] : percents)
        EXPECT_EQ(Percent(tenths), text) << tenths;

    // 3 * 3600 + 4 * 60 = 11040; 2 * 86400 + 3 * 3600 = 183600.
    const std::pair<uint64_t, std::string> durations[] = {
        {0, "0s"},       {59, "59s"},      {60, "1m00s"},    {62, "1m02s"},     {3599, "59m59s"},
        {3600, "1h00m"}, {11040, "3h04m"}, {86400, "1d00h"}, {183600, "2d03h"},
    };
    for (const auto &[seconds, text] : durations)
        EXPECT_EQ(Duration(seconds), text) << seconds;

    // A count in its column, shortened where its digits do not fit: one
    // decimal below ten of the unit, rounded; whole units above.
    const struct {
        uint64_t value;
        int width;
        const char *text;
    } counts[] = {
        {99999, 5, "99999"},    {100000, 5, "100k"},      {1500000, 5, "1.5M"},
        {1500000, 7, "1500000"}, {999499, 4, "999k"},     {999500, 4, "1.0M"},
        {9949999, 4, "9.9M"},   {9950000, 4, "10M"},      {4294967295u, 10, "4294967295"},
        {12345678901u, 10, "12G"}, {UINT64_MAX, 4, "18E"},
    };
    for (const auto &c : counts)
        EXPECT_EQ(Count(c.value, c.width), c.text) << c.value << " in " << c.width;
}

} // namespace

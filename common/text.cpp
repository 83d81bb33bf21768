#include "text.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

bool Grow(Text *text, size_t count) {
    if (!text->grows)
        return false;
    size_t size = text->size * 2 > 256 ? text->size * 2 : 256;
    if (size < text->length + count + 1)
        size = text->length + count + 1;
    char *more = (char *)realloc(text->chars, size);
    if (more == NULL)
        return false;
    text->chars = more;
    text->size = size;
    return true;
}

// "00" to "99": a number is written two digits at a time, half the
// divisions (the most written are counters ten digits long).
struct DigitPairs {
    char of[100][2];
};
static constexpr DigitPairs MakeDigitPairs() {
    DigitPairs pairs = {};
    for (int n = 0; n < 100; n++) {
        pairs.of[n][0] = (char)('0' + n / 10);
        pairs.of[n][1] = (char)('0' + n % 10);
    }
    return pairs;
}
static constexpr DigitPairs kDigitPairs = MakeDigitPairs();

// The digits of value, a point before the last decimals of them, ending at
// end; returns where they start.
static char *PutDigits(char *end, uint64_t value, int decimals) {
    for (int i = 0; i < decimals; i++, value /= 10)
        *--end = (char)('0' + value % 10);
    if (decimals > 0)
        *--end = '.';
    for (; value >= 100; value /= 100)
        __builtin_memcpy(end -= 2, kDigitPairs.of[value % 100], 2);
    if (value >= 10)
        __builtin_memcpy(end -= 2, kDigitPairs.of[value], 2);
    else
        *--end = (char)('0' + value);
    return end;
}

void AppendUnsigned(Text *text, uint64_t value) {
    char chars[24], *end = chars + sizeof chars;
    char *start = PutDigits(end, value, 0);
    AppendChars(text, start, (size_t)(end - start));
}

void AppendSigned(Text *text, int64_t value) { AppendDecimal(text, value, 0); }

void AppendDecimal(Text *text, int64_t value, int decimals) {
    char chars[48], *end = chars + sizeof chars;
    char *start = PutDigits(end, value < 0 ? 0 - (uint64_t)value : (uint64_t)value, decimals);
    if (value < 0)
        *--start = '-';
    AppendChars(text, start, (size_t)(end - start));
}

void AppendSi(Text *text, uint64_t value) {
    if (value < 1000) {
        AppendUnsigned(text, value);
        AppendText(text, "  ");
        return;
    }
    static const char kPrefixes[] = "kMGTPE";
    uint64_t unit = 1000;
    size_t prefix = 0;
    // Rounded to tenths; 999.95 k and above is 1.0 M.
    while (prefix + 1 < sizeof kPrefixes - 1 && (value + unit / 20) / unit >= 1000) {
        unit *= 1000;
        prefix++;
    }
    char chars[32];
    Text number = TEXT_IN(chars);
    AppendDecimal(&number, (int64_t)((value + unit / 20) / (unit / 10)), 1);
    AppendChar(&number, ' ');
    AppendChar(&number, kPrefixes[prefix]);
    AppendChars(text, chars, number.length);
}

// value / by, rounded half up, whatever value.
static uint64_t Rounded(uint64_t value, uint64_t by) {
    return value / by + (value % by >= by - by / 2);
}

void AppendCount(Text *text, uint64_t value, int width) {
    uint64_t fits = 1;
    for (int i = 0; i < width && fits <= UINT64_MAX / 10; i++)
        fits *= 10;
    if (value < fits) {
        AppendUnsigned(text, value);
        return;
    }
    static const char kPrefixes[] = "kMGTPE";
    uint64_t unit = 1000;
    size_t prefix = 0;
    while (prefix + 1 < sizeof kPrefixes - 1 && Rounded(value, unit) >= 1000) {
        unit *= 1000;
        prefix++;
    }
    // Below 9.95 of the unit one decimal, rounded; above, whole units.
    char chars[16];
    Text number = TEXT_IN(chars);
    if (Rounded(value, unit / 10) < 100)
        AppendDecimal(&number, (int64_t)Rounded(value, unit / 10), 1);
    else
        AppendUnsigned(&number, Rounded(value, unit));
    AppendChar(&number, kPrefixes[prefix]);
    AppendChars(text, chars, number.length);
}

void AppendSpeed(Text *text, uint64_t bitsPerSecond) {
    static const struct {
        uint64_t unit;
        char prefix;
    } kUnits[] = {{1000000000, 'G'}, {1000000, 'M'}, {1000, 'k'}};
    for (const auto &unit : kUnits) {
        if (bitsPerSecond >= unit.unit && bitsPerSecond % unit.unit == 0) {
            AppendUnsigned(text, bitsPerSecond / unit.unit);
            AppendChar(text, unit.prefix);
            return;
        }
    }
    AppendUnsigned(text, bitsPerSecond);
}

void AppendPercentTenths(Text *text, int32_t tenths) {
    char chars[16];
    Text number = TEXT_IN(chars);
    if (tenths != 0)
        AppendChar(&number, tenths < 0 ? '-' : '+');
    int64_t magnitude = tenths < 0 ? -(int64_t)tenths : tenths;
    if (magnitude >= 100)
        AppendUnsigned(&number, (uint64_t)magnitude / 10);
    else
        AppendDecimal(&number, magnitude, 1);
    AppendChar(&number, '%');
    AppendChars(text, chars, number.length);
}

void AppendDuration(Text *text, uint64_t seconds) {
    static const struct {
        uint64_t seconds;
        char name;
    } kUnits[] = {{86400, 'd'}, {3600, 'h'}, {60, 'm'}, {1, 's'}};
    size_t i = 0;
    while (i + 1 < sizeof kUnits / sizeof kUnits[0] && seconds < kUnits[i].seconds)
        i++;
    char chars[32];
    Text duration = TEXT_IN(chars);
    uint64_t whole = seconds / kUnits[i].seconds;
    AppendUnsigned(&duration, whole < 99999 ? whole : 99999);
    AppendChar(&duration, kUnits[i].name);
    if (kUnits[i].seconds != 1 && whole < 100) {
        uint64_t next = seconds % kUnits[i].seconds / kUnits[i + 1].seconds;
        AppendChar(&duration, (char)('0' + next / 10));
        AppendChar(&duration, (char)('0' + next % 10));
        AppendChar(&duration, kUnits[i + 1].name);
    }
    AppendChars(text, chars, duration.length);
}

void AppendUtcTime(Text *text, uint64_t wallMs, bool milliseconds) {
    time_t seconds = (time_t)(wallMs / 1000);
    const struct tm *utc = gmtime(&seconds);
    if (utc == NULL)
        return;
    const int fields[] = {utc->tm_year + 1900, utc->tm_mon + 1, utc->tm_mday,
                          utc->tm_hour,        utc->tm_min,     utc->tm_sec};
    const char separators[] = "--T::";
    for (int i = 0; i < 6; i++) {
        if (fields[i] < 10)
            AppendChar(text, '0');
        AppendUnsigned(text, (uint64_t)fields[i]);
        if (i < 5)
            AppendChar(text, separators[i]);
    }
    if (milliseconds) {
        unsigned ms = (unsigned)(wallMs % 1000);
        const char rest[] = {'.', (char)('0' + ms / 100), (char)('0' + ms / 10 % 10),
                             (char)('0' + ms % 10)};
        AppendChars(text, rest, sizeof rest);
    }
    AppendChar(text, 'Z');
}

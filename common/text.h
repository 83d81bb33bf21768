// Text put together without printf, into a caller's array or into room that
// grows as it is needed.
#ifndef COMMON_TEXT_H
#define COMMON_TEXT_H

#include <stddef.h>
#include <stdint.h>

// Characters appended, always ending in '\0' once there is room for one.  A
// text in a caller's array leaves out what does not fit; a growing one
// (GrowingText) takes more memory instead, and leaves out only what there is
// no memory for.
struct Text {
    char *chars;
    size_t size; // of chars, the '\0' included
    size_t length;
    bool grows; // chars comes from malloc and is made larger as needed
};

inline Text TextIn(char *chars, size_t size) {
    chars[0] = '\0';
    return Text{chars, size, 0, false};
}
#define TEXT_IN(array) TextIn(array, sizeof array)

// A text that grows, empty; its memory is kept for good (a round's text is
// emptied and used again).
constexpr Text GrowingText(void) { return Text{nullptr, 0, 0, true}; }
inline void EmptyText(Text *text) {
    text->length = 0;
    if (text->size != 0)
        text->chars[0] = '\0';
}

// Makes room for count more characters and the '\0' in a growing text:
// false when there is none.
bool Grow(Text *text, size_t count);

// Left out whole when they do not fit: a character of several bytes, a
// number, a word, is never cut.  more may be null where count is 0 (the
// chars of a growing text that never grew).
inline void AppendChars(Text *text, const char *more, size_t count) {
    if (count >= text->size - text->length && !Grow(text, count))
        return;
    char *to = text->chars + text->length;
    if (count != 0)
        __builtin_memcpy(to, more, count);
    to[count] = '\0';
    text->length += count;
}
inline void AppendChar(Text *text, char c) { AppendChars(text, &c, 1); }
inline void AppendText(Text *text, const char *more) {
    AppendChars(text, more, __builtin_strlen(more));
}


// "00" to "99": a number is written two digits at a time, half the
// divisions.
struct DigitPairs {
    char of[100][2];
};
constexpr DigitPairs MakeDigitPairs() {
    DigitPairs pairs = {};
    for (int n = 0; n < 100; n++) {
        pairs.of[n][0] = (char)('0' + n / 10);
        pairs.of[n][1] = (char)('0' + n % 10);
    }
    return pairs;
}
inline constexpr DigitPairs kDigitPairs = MakeDigitPairs();

// The digits of a number below 10^8, ending at end, as 32-bit arithmetic
// (cheaper than 64-bit) has them; returns where they start.
inline char *PutSmallDigits(char *end, uint32_t value) {
    for (; value >= 100; value /= 100)
        __builtin_memcpy(end -= 2, kDigitPairs.of[value % 100], 2);
    if (value >= 10)
        __builtin_memcpy(end -= 2, kDigitPairs.of[value], 2);
    else
        *--end = (char)('0' + value);
    return end;
}

// The most a number takes: a sign, 20 digits and a point.
enum { kLongestNumber = 24 };

// value / 10^decimals with that many decimals ("-12.3", "0.051", "7"), any
// number.
void AppendAnyDecimal(Text *text, int64_t value, int decimals);

// The same.  The most common numbers, not negative and below 10^8, go
// straight into the text where it has room, their digits counted first,
// then put from the last, at no call: lines, files and screens write
// thousands a second.
inline void AppendDecimal(Text *text, int64_t value, int decimals) {
    if ((uint64_t)value >= 100000000 || decimals > 3 ||
        kLongestNumber >= text->size - text->length) {
        AppendAnyDecimal(text, value, decimals);
        return;
    }
    static const uint32_t kPowers[] = {1,      10,      100,      1000,     10000,
                                       100000, 1000000, 10000000, 100000000};
    uint32_t small = (uint32_t)value;
    uint32_t odd = small | 1;                           // no power of 10 is odd but 1
    int guess = (32 - __builtin_clz(odd)) * 1233 >> 12; // bits * log10(2)
    int digits = guess + (odd >= kPowers[guess]);
    if (digits <= decimals)
        digits = decimals + 1; // "0.005"
    char *end = text->chars + text->length + digits + (decimals > 0);
    *end = '\0';
    text->length += (size_t)(digits + (decimals > 0));
    for (int i = 0; i < decimals; i++, small /= 10)
        *--end = (char)('0' + small % 10);
    if (decimals > 0)
        *--end = '.';
    PutSmallDigits(end, small);
}

// A number in decimal, any number: one above INT64_MAX by a call.
void AppendHugeUnsigned(Text *text, uint64_t value);
inline void AppendUnsigned(Text *text, uint64_t value) {
    if (value <= INT64_MAX)
        AppendDecimal(text, (int64_t)value, 0);
    else
        AppendHugeUnsigned(text, value);
}
inline void AppendSigned(Text *text, int64_t value) { AppendDecimal(text, value, 0); }

// A count with an SI prefix and one decimal ("999", "12.3 k", "1.0 G"); a
// count below 1000 is followed by two blanks, so that its last digit lines
// up with the digit after the point of a prefixed one.
void AppendSi(Text *text, uint64_t value);

// text between double quotes' worth of escapes: a backslash and a double
// quote each after a backslash, as JSON strings and Prometheus label
// values have them (text holds no control character).
void AppendEscaped(Text *text, const char *chars);

// A count in at most width characters (4 or more): its digits where they
// fit, otherwise shortened with an SI prefix and no blank ("1.5M", "15M",
// "150M"), never cut.
void AppendCount(Text *text, uint64_t value, int width);

// A speed in bit/s as -s takes it: "100M", "1G", "2500k".
void AppendSpeed(Text *text, uint64_t bitsPerSecond);

// Tenths as a signed percentage: "+0.7%", "-12%", "0.0%" (whole percents
// from 10% on).
void AppendPercentTenths(Text *text, int32_t tenths);

// A duration as its two largest units: "42s", "1m02s", "3h04m", "2d03h";
// from 100 days on in days ("365d"), at most 99999.
void AppendDuration(Text *text, uint64_t seconds);
enum { kLongestDuration = 6 }; // "59m59s", "99d23h"

// The wall clock's time, given in milliseconds since 1970, in UTC:
// 2026-12-08T12:00:00Z, or 2026-12-08T12:00:00.123Z with its milliseconds.
void AppendUtcTime(Text *text, uint64_t wallMs, bool milliseconds);

#endif

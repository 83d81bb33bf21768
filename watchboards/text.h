// Text put together without printf: what WatchBoards prints once a second
// for every board costs a few instructions a character.
#ifndef WATCHBOARDS_TEXT_H
#define WATCHBOARDS_TEXT_H

#include <stddef.h>
#include <stdint.h>

// Characters appended to a caller's array, always ending in '\0'; what does
// not fit is left out.
struct Text {
    char *chars;
    size_t size; // of chars, the '\0' included
    size_t length;
};

inline Text TextIn(char *chars, size_t size) {
    chars[0] = '\0';
    return Text{chars, size, 0};
}
#define TEXT_IN(array) TextIn(array, sizeof array)

// Each costs a few instructions a character: the view appends some
// thousands of characters a second.

// Left out whole when they do not fit: a character of several bytes is
// never cut.
inline void AppendChars(Text *text, const char *more, size_t count) {
    size_t length = text->length;
    if (count >= text->size - length)
        return;
    char *to = text->chars + length;
    text->length = length + count; // first: the characters may alias *text
    for (size_t i = 0; i < count; i++)
        to[i] = more[i];
    to[count] = '\0';
}

inline void AppendChar(Text *text, char c) {
    size_t length = text->length;
    if (length + 1 >= text->size)
        return;
    char *to = text->chars + length;
    text->length = length + 1;
    to[0] = c;
    to[1] = '\0';
}

// As much of it as fits.
inline void AppendText(Text *text, const char *more) {
    char *to = text->chars + text->length, *last = text->chars + text->size - 1;
    while (*more != '\0' && to < last)
        *to++ = *more++;
    *to = '\0';
    text->length = (size_t)(to - text->chars);
}

// A number is left out whole when it does not fit.
void AppendUnsigned(Text *text, uint64_t value);

inline void AppendSigned(Text *text, int64_t value) {
    if (value < 0)
        AppendChar(text, '-');
    AppendUnsigned(text, value < 0 ? 0 - (uint64_t)value : (uint64_t)value);
}

// The numbers from 0000 to 9999, four digits each; 10 to the powers 0 to 19.
struct FourDigits {
    char of[10000][4];
};
extern const FourDigits kFourDigits;
extern const uint64_t kPowersOfTen[20];

// How many digits value has: 1233 / 4096 is just above log10(2), so guess
// is the count or one more.
inline size_t DigitCount(uint64_t value) {
    uint64_t odd = value | 1; // as many digits, and never 0
    size_t guess = (size_t)(64 - __builtin_clzll(odd)) * 1233 >> 12;
    return guess + 1 - (odd < kPowersOfTen[guess]);
}

// The same where the caller has made room for it (20 characters), with no
// '\0' after it: returns the end.  Written from the last digit, four at a
// time.
inline char *PutUnsigned(char *to, uint64_t value) {
    char *end = to + DigitCount(value), *p = end;
    for (; value > UINT32_MAX; value /= 10000)
        __builtin_memcpy(p -= 4, kFourDigits.of[value % 10000], 4);
    // What is left fits in 32 bits, where division by a constant is cheaper.
    uint32_t low = (uint32_t)value;
    for (; low >= 10000; low /= 10000)
        __builtin_memcpy(p -= 4, kFourDigits.of[low % 10000], 4);
    const char *first = kFourDigits.of[low]; // the first 1 to 4 digits
    switch (p - to) {
    case 4:
        __builtin_memcpy(to, first, 4);
        break;
    case 3:
        __builtin_memcpy(to, first + 1, 2);
        to[2] = first[3];
        break;
    case 2:
        __builtin_memcpy(to, first + 2, 2);
        break;
    default:
        to[0] = first[3];
    }
    return end;
}

inline char *PutSigned(char *to, int64_t value) {
    if (value < 0)
        *to++ = '-';
    return PutUnsigned(to, value < 0 ? 0 - (uint64_t)value : (uint64_t)value);
}

// A count with an SI prefix and one decimal ("999", "12.3 k", "1.0 G"); a
// count below 1000 is followed by two blanks, so that its last digit lines
// up with the digit after the point of a prefixed one.
void AppendSi(Text *text, uint64_t value);

// A speed in bit/s as -s takes it: "100M", "1G", "2500k".
void AppendSpeed(Text *text, uint64_t bitsPerSecond);

// Tenths as a signed percentage: "+0.7%", "-12%", "0.0%" (whole percents
// from 10% on).
void AppendPercentTenths(Text *text, int32_t tenths);

// A duration as its two largest units: "42s", "1m02s", "3h04m", "2d03h".
void AppendDuration(Text *text, uint64_t seconds);

#endif

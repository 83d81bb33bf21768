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

// A count with an SI prefix and one decimal ("999", "12.3 k", "1.0 G"); a
// count below 1000 is followed by two blanks, so that its last digit lines
// up with the digit after the point of a prefixed one.
void AppendSi(Text *text, uint64_t value);

// Tenths as a signed percentage: "+0.7%", "-12%", "0.0%" (whole percents
// from 10% on).
void AppendPercentTenths(Text *text, int32_t tenths);

// A duration as its two largest units: "42s", "1m02s", "3h04m", "2d03h".
void AppendDuration(Text *text, uint64_t seconds);

#endif

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
// number, a word, is never cut.
inline void AppendChars(Text *text, const char *more, size_t count) {
    if (count >= text->size - text->length && !Grow(text, count))
        return;
    char *to = text->chars + text->length;
    __builtin_memcpy(to, more, count);
    to[count] = '\0';
    text->length += count;
}
inline void AppendChar(Text *text, char c) { AppendChars(text, &c, 1); }
inline void AppendText(Text *text, const char *more) {
    AppendChars(text, more, __builtin_strlen(more));
}

void AppendUnsigned(Text *text, uint64_t value);
void AppendSigned(Text *text, int64_t value);

// value / 10^decimals with that many decimals ("-12.3", "0.051", "7").
void AppendDecimal(Text *text, int64_t value, int decimals);

// A count with an SI prefix and one decimal ("999", "12.3 k", "1.0 G"); a
// count below 1000 is followed by two blanks, so that its last digit lines
// up with the digit after the point of a prefixed one.
void AppendSi(Text *text, uint64_t value);

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

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

// The digits of value, a point before the last decimals of them, ending at
// end; returns where they start.  Eight digits at a time below the top
// ones, each eight in 32 bits.
static inline char *PutDigits(char *end, uint64_t value, int decimals) {
    for (int i = 0; i < decimals; i++, value /= 10)
        *--end = (char)('0' + value % 10);
    if (decimals > 0)
        *--end = '.';
    for (; value >= 100000000; value /= 100000000) {
        uint32_t eight = (uint32_t)(value % 100000000);
        for (int i = 0; i < 4; i++, eight /= 100)
            __builtin_memcpy(end -= 2, kDigitPairs.of[eight % 100], 2);
    }
    return PutSmallDigits(end, (uint32_t)value);
}

// Its digits put together at the end of a buffer, then copied whole with
// what follows them, a copy of known size (as cheap as a few moves), where
// there is room (the most common case, a round's text grown once).
void AppendAnyDecimal(Text *text, int64_t value, int decimals) {
    char chars[2 * kLongestNumber], *end = chars + kLongestNumber;
    char *start = PutDigits(end, value < 0 ? 0 - (uint64_t)value : (uint64_t)value, decimals);
    if (value < 0)
        *--start = '-';
    size_t length = (size_t)(end - start);
    if (kLongestNumber >= text->size - text->length && !Grow(text, kLongestNumber)) {
        AppendChars(text, start, length); // left out whole when it does not fit
        return;
    }
    char *to = text->chars + text->length;
    __builtin_memcpy(to, start, kLongestNumber);
    to[length] = '\0';
    text->length += length;
}

void AppendHugeUnsigned(Text *text, uint64_t value) {
    char chars[24], *end = chars + sizeof chars;
    char *start = PutDigits(end, value, 0);
    AppendChars(text, start, (size_t)(end - start));
}

// A piece of several parts that is left out whole when it does not fit: it
// is written straight into the text where there is room for the longest
// piece, otherwise into scratch first, and appended once made (PieceMade).
enum { kLongestPiece = 2 * kLongestNumber };
static Text *PieceIn(Text *text, Text *scratch) {
    return kLongestPiece < text->size - text->length || Grow(text, kLongestPiece) ? text : scratch;
}
static void PieceMade(Text *text, const Text *piece) {
    if (piece != text)
        AppendChars(text, piece->chars, piece->length);
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
    char chars[kLongestPiece];
    Text scratch = TEXT_IN(chars), *piece = PieceIn(text, &scratch);
    AppendDecimal(piece, (int64_t)((value + unit / 20) / (unit / 10)), 1);
    AppendChar(piece, ' ');
    AppendChar(piece, kPrefixes[prefix]);
    PieceMade(text, piece);
}

// value / by, rounded half up, whatever value.
static uint64_t Rounded(uint64_t value, uint64_t by) {
    return value / by + (value % by >= by - by / 2);
}

// 10 to that power, from 0 to 19.
static uint64_t Power10(int power) {
    uint64_t value = 1;
    while (power-- > 0)
        value *= 10;
    return value;
}

void AppendCount(Text *text, uint64_t value, int width) {
    if (width >= 20 || value < Power10(width)) {
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
    char chars[kLongestPiece];
    Text scratch = TEXT_IN(chars), *piece = PieceIn(text, &scratch);
    if (Rounded(value, unit / 10) < 100)
        AppendDecimal(piece, (int64_t)Rounded(value, unit / 10), 1);
    else
        AppendUnsigned(piece, Rounded(value, unit));
    AppendChar(piece, kPrefixes[prefix]);
    PieceMade(text, piece);
}

void AppendEscaped(Text *text, const char *chars) {
    for (const char *c = chars; *c != '\0'; c++) {
        if (*c == '\\' || *c == '"')
            AppendChar(text, '\\');
        AppendChar(text, *c);
    }
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
    char chars[kLongestPiece];
    Text scratch = TEXT_IN(chars), *piece = PieceIn(text, &scratch);
    if (tenths != 0)
        AppendChar(piece, tenths < 0 ? '-' : '+');
    int64_t magnitude = tenths < 0 ? -(int64_t)tenths : tenths;
    if (magnitude >= 100)
        AppendUnsigned(piece, (uint64_t)magnitude / 10);
    else
        AppendDecimal(piece, magnitude, 1);
    AppendChar(piece, '%');
    PieceMade(text, piece);
}

void AppendDuration(Text *text, uint64_t seconds) {
    static const struct {
        uint64_t seconds;
        char name;
    } kUnits[] = {{86400, 'd'}, {3600, 'h'}, {60, 'm'}, {1, 's'}};
    size_t i = 0;
    while (i + 1 < sizeof kUnits / sizeof kUnits[0] && seconds < kUnits[i].seconds)
        i++;
    char chars[kLongestPiece];
    Text scratch = TEXT_IN(chars), *piece = PieceIn(text, &scratch);
    uint64_t whole = seconds / kUnits[i].seconds;
    AppendUnsigned(piece, whole < 99999 ? whole : 99999);
    AppendChar(piece, kUnits[i].name);
    if (kUnits[i].seconds != 1 && whole < 100) {
        uint64_t next = seconds % kUnits[i].seconds / kUnits[i + 1].seconds;
        AppendChar(piece, (char)('0' + next / 10));
        AppendChar(piece, (char)('0' + next % 10));
        AppendChar(piece, kUnits[i + 1].name);
    }
    PieceMade(text, piece);
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

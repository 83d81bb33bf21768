#include "text.h"

#include <string.h>

Text TextIn(char *chars, size_t size) {
    chars[0] = '\0';
    return Text{chars, size, 0};
}

void AppendChars(Text *text, const char *more, size_t count) {
    size_t room = text->size - 1 - text->length;
    if (count > room)
        count = room;
    memcpy(text->chars + text->length, more, count);
    text->length += count;
    text->chars[text->length] = '\0';
}

void AppendText(Text *text, const char *more) { AppendChars(text, more, strlen(more)); }

void AppendChar(Text *text, char c) { AppendChars(text, &c, 1); }

void AppendUnsigned(Text *text, uint64_t value) {
    char digits[20];
    size_t count = 0;
    do {
        digits[sizeof digits - ++count] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    AppendChars(text, digits + sizeof digits - count, count);
}

void AppendSigned(Text *text, int64_t value) {
    if (value < 0)
        AppendChar(text, '-');
    AppendUnsigned(text, value < 0 ? 0 - (uint64_t)value : (uint64_t)value);
}

void AppendPadded(Text *text, const char *more, size_t width) {
    for (size_t length = strlen(more); length < width; length++)
        AppendChar(text, ' ');
    AppendText(text, more);
}

static void AppendTwoDigits(Text *text, uint64_t value) {
    AppendChar(text, (char)('0' + value / 10));
    AppendChar(text, (char)('0' + value % 10));
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
    uint64_t tenths = (value + unit / 20) / (unit / 10);
    AppendUnsigned(text, tenths / 10);
    AppendChar(text, '.');
    AppendChar(text, (char)('0' + tenths % 10));
    AppendChar(text, ' ');
    AppendChar(text, kPrefixes[prefix]);
}

void AppendPercentTenths(Text *text, int32_t tenths) {
    uint32_t magnitude = tenths < 0 ? 0u - (uint32_t)tenths : (uint32_t)tenths;
    if (tenths != 0)
        AppendChar(text, tenths < 0 ? '-' : '+');
    if (magnitude >= 100) {
        AppendUnsigned(text, magnitude / 10);
    } else {
        AppendUnsigned(text, magnitude / 10);
        AppendChar(text, '.');
        AppendChar(text, (char)('0' + magnitude % 10));
    }
    AppendChar(text, '%');
}

void AppendDuration(Text *text, uint64_t seconds) {
    static const struct {
        uint64_t seconds;
        char name;
    } kUnits[] = {{86400, 'd'}, {3600, 'h'}, {60, 'm'}, {1, 's'}};
    for (size_t i = 0; i + 1 < sizeof kUnits / sizeof kUnits[0]; i++) {
        if (seconds >= kUnits[i].seconds) {
            AppendUnsigned(text, seconds / kUnits[i].seconds);
            AppendChar(text, kUnits[i].name);
            AppendTwoDigits(text, seconds % kUnits[i].seconds / kUnits[i + 1].seconds);
            AppendChar(text, kUnits[i + 1].name);
            return;
        }
    }
    AppendUnsigned(text, seconds);
    AppendChar(text, 's');
}

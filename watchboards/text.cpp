#include "text.h"

// The numbers from 00 to 99, two digits each.
static const char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                             "34353637383940414243444546474849505152535455565758596061626364656667"
                             "6869707172737475767778798081828384858687888990919293949596979899";

void AppendUnsigned(Text *text, uint64_t value) {
    // The most of what is shown: counts, flags, rows and columns.
    if (value < 10) {
        AppendChar(text, (char)('0' + value));
        return;
    }
    if (value < 100) {
        size_t length = text->length;
        if (length + 2 >= text->size)
            return; // left out whole
        char *to = text->chars + length;
        text->length = length + 2;
        to[0] = kPairs[value * 2];
        to[1] = kPairs[value * 2 + 1];
        to[2] = '\0';
        return;
    }
    // Written in place from its last digit, two at a time.
    static const uint64_t kPowersOfTen[] = {
        1ull,
        10ull,
        100ull,
        1000ull,
        10000ull,
        100000ull,
        1000000ull,
        10000000ull,
        100000000ull,
        1000000000ull,
        10000000000ull,
        100000000000ull,
        1000000000000ull,
        10000000000000ull,
        100000000000000ull,
        1000000000000000ull,
        10000000000000000ull,
        100000000000000000ull,
        1000000000000000000ull,
        10000000000000000000ull,
    };
    // The digits from the bits: 1233 / 4096 is just above log10(2), so
    // guess is the count of digits or one more.
    uint64_t odd = value | 1; // as many digits, and never 0
    size_t guess = (size_t)(64 - __builtin_clzll(odd)) * 1233 >> 12;
    size_t count = guess + 1 - (odd < kPowersOfTen[guess]);
    if (count > text->size - 1 - text->length)
        return; // what does not fit is left out whole
    char *p = text->chars + text->length + count;
    *p = '\0';
    text->length += count;
    for (; value > UINT32_MAX; value /= 100) {
        p -= 2;
        p[0] = kPairs[value % 100 * 2];
        p[1] = kPairs[value % 100 * 2 + 1];
    }
    // What is left fits in 32 bits, where division by a constant is cheaper.
    uint32_t low = (uint32_t)value;
    for (; low >= 100; low /= 100) {
        p -= 2;
        p[0] = kPairs[low % 100 * 2];
        p[1] = kPairs[low % 100 * 2 + 1];
    }
    if (low >= 10) {
        p -= 2;
        p[0] = kPairs[low * 2];
        p[1] = kPairs[low * 2 + 1];
    } else {
        *--p = (char)('0' + low);
    }
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
    const char rest[] = {'.', (char)('0' + tenths % 10), ' ', kPrefixes[prefix]};
    AppendChars(text, rest, sizeof rest);
}

void AppendPercentTenths(Text *text, int32_t tenths) {
    uint32_t magnitude = tenths < 0 ? 0u - (uint32_t)tenths : (uint32_t)tenths;
    if (tenths != 0)
        AppendChar(text, tenths < 0 ? '-' : '+');
    AppendUnsigned(text, magnitude / 10);
    if (magnitude >= 100) {
        AppendChar(text, '%');
    } else {
        const char rest[] = {'.', (char)('0' + magnitude % 10), '%'};
        AppendChars(text, rest, sizeof rest);
    }
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

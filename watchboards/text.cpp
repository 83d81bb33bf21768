#include "text.h"

// "0000" to "9999", made by the compiler.
static constexpr FourDigits MakeFourDigits() {
    FourDigits table = {};
    for (int n = 0; n < 10000; n++) {
        table.of[n][0] = (char)('0' + n / 1000);
        table.of[n][1] = (char)('0' + n / 100 % 10);
        table.of[n][2] = (char)('0' + n / 10 % 10);
        table.of[n][3] = (char)('0' + n % 10);
    }
    return table;
}
constexpr FourDigits kFourDigits = MakeFourDigits();

const uint64_t kPowersOfTen[20] = {
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

void AppendUnsigned(Text *text, uint64_t value) {
    // The most of what is shown: counts, flags, rows and columns.
    if (value < 10) {
        AppendChar(text, (char)('0' + value));
        return;
    }
    if (value < 100) {
        AppendChars(text, kFourDigits.of[value] + 2, 2);
        return;
    }
    if (DigitCount(value) > text->size - 1 - text->length)
        return; // what does not fit is left out whole
    char *end = PutUnsigned(text->chars + text->length, value);
    *end = '\0';
    text->length = (size_t)(end - text->chars);
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
    if (seconds < 60) { // the most of what is shown
        AppendUnsigned(text, seconds);
        AppendChar(text, 's');
        return;
    }
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

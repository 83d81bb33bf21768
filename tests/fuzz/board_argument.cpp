// A mode switch's board index argument beside the C library's conversion:
// white space, an optional sign, the decimal digits, clamped to the 32-bit
// range (strtoll clamps to 64 bits, then the 32-bit limits apply).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "board.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char argument[256]; // an argument ends at its first zero byte
    size_t length = size < sizeof argument - 1 ? size : sizeof argument - 1;
    memcpy(argument, data, length);
    argument[length] = '\0';
    long long expected = strtoll(argument, NULL, 10);
    if (expected > INT32_MAX)
        expected = INT32_MAX;
    if (expected < INT32_MIN)
        expected = INT32_MIN;
    if (BoardIndexFromArgument(argument) != expected)
        abort();
    return 0;
}

// The console reader over any byte stream, beside C's own reader: a run of
// reads gives what as many scanf("%d") calls on the same stream give, up to
// and including the first that finds no number; every read after that gives
// 0, where scanf may read on ("- 5"); a number beyond the 32-bit range gives
// its low 32 bits, where what scanf gives is not defined.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "console.h"

// The number a read took, at data[from, to), white space first: whether it
// fits in 32 bits, and its low 32 bits.
static bool Fits(const uint8_t *data, size_t from, size_t to, uint32_t *lowBits) {
    while (from < to && IsWhiteSpace(data[from]))
        from++;
    bool negative = data[from] == '-';
    if (data[from] == '-' || data[from] == '+')
        from++;
    while (from < to - 1 && data[from] == '0')
        from++;
    uint64_t magnitude = 0;
    uint32_t low = 0;
    for (size_t i = from; i < to; i++) {
        low = low * 10u + (uint32_t)(data[i] - '0');
        if (magnitude <= UINT32_MAX)
            magnitude = magnitude * 10 + (data[i] - '0');
    }
    *lowBits = negative ? 0u - low : low;
    return magnitude <= (negative ? 2147483648u : 2147483647u);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0; // a stream of no bytes is the end of input at once
    FILE *ours = fmemopen((void *)data, size, "r");
    FILE *c = fmemopen((void *)data, size, "r");
    if (ours == NULL || c == NULL)
        abort();
    bool refused = false, cEnded = false;
    for (int read = 0; read < 64; read++) {
        int32_t value = ReadDecimalFrom(ours, &refused);
        if (cEnded) {
            if (value != 0)
                abort();
            continue;
        }
        long from = ftell(c);
        int expected = 0;
        if (fscanf(c, "%d", &expected) != 1) {
            cEnded = true;
            if (value != 0)
                abort();
            continue;
        }
        uint32_t lowBits;
        if (Fits(data, (size_t)from, (size_t)ftell(c), &lowBits) ? value != expected
                                                                 : (uint32_t)value != lowBits)
            abort();
    }
    fclose(ours);
    fclose(c);
    return 0;
}

#include "console.h"

#include <stdio.h>

// Set once a read finds no number.  The text it stopped at stays unread, so
// every later read would stop there as well; the flag makes that hold even
// where the failed read had already taken a sign ("- 5").
static bool inputRefused;

int32_t ReadDecimal(void) {
    fflush(stdout);
    if (inputRefused)
        return 0;

    int c;
    do
        c = getchar();
    while (IsWhiteSpace(c));
    if (c == EOF)
        return 0;

    bool negative = c == '-';
    if (c == '-' || c == '+')
        c = getchar();
    if (!IsDigit(c)) {
        if (c != EOF)
            ungetc(c, stdin);
        inputRefused = true;
        return 0;
    }

    // Arithmetic modulo 2^32: a number of any length costs nothing more than
    // a short one and keeps its low 32 bits, two's complement.
    uint32_t magnitude = 0;
    do {
        magnitude = magnitude * 10u + (uint32_t)(c - '0');
        c = getchar();
    } while (IsDigit(c));
    if (c != EOF)
        ungetc(c, stdin);
    return (int32_t)(negative ? 0u - magnitude : magnitude);
}

uint8_t ReadSelection(void) { return (uint8_t)ReadDecimal(); }

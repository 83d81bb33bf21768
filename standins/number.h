// How the stand-ins read a number they are given, on a command line, in a
// setting or in a board's state file: decimal digits, or 0x and hexadecimal
// digits; no sign, no blanks, nothing after; at most maximum.  A leading 0
// does not make it octal.  C-like, for the lean board library too.
#ifndef STANDINS_NUMBER_H
#define STANDINS_NUMBER_H

#include <stddef.h>
#include <stdint.h>

inline bool ParseNumber(const char *text, size_t length, uint32_t maximum, uint32_t *value) {
    unsigned base = 10;
    if (length > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
        length -= 2;
    }
    if (length == 0)
        return false;
    uint64_t number = 0;
    for (size_t i = 0; i < length; i++) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = (unsigned)(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = (unsigned)(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = (unsigned)(c - 'A' + 10);
        else
            return false;
        number = number * base + digit;
        if (number > maximum)
            return false;
    }
    *value = (uint32_t)number;
    return true;
}

#endif

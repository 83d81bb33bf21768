#include "ranges.h"

#include <string.h>

#include "console.h"

// The significant digits a number may have: up to 15 make a double exactly,
// and so does each power of ten it is divided by, so that a number is the
// double nearest to it, as the C library and Perl read it.
enum { kMostDigits = 15 };

// A number from *p on, moving *p past it: digits, with a point among or
// before them ("10", "2.5", ".5", "5."), and a plus sign allowed.
static bool ParseNumber(const char **p, double most, double *value) {
    const char *at = *p + (**p == '+');
    double mantissa = 0, scale = 1;
    int digits = 0;
    bool point = false;
    for (;; at++) {
        if (*at == '.' && !point) {
            point = true;
        } else if (IsDigit(*at)) {
            if (++digits > kMostDigits)
                return false;
            mantissa = mantissa * 10 + (*at - '0');
            scale *= point ? 10 : 1;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    *value = mantissa / scale;
    *p = at;
    return *value <= most;
}

bool ParseRange(const char *text, double most, Range *range) {
    memset(range, 0, sizeof *range);
    range->text = text;
    const char *p = text;
    range->inside = *p == '@';
    p += range->inside;
    // A range says a number or ~ at least: not "", "@" or ":".
    bool something = false;
    const char *colon = strchr(p, ':');
    if (colon != NULL) { // a start before it: ~, a number, or nothing for 0
        if (*p == '~') {
            range->fromNegativeInfinity = something = true;
            p++;
        } else if (p != colon) {
            if (!ParseNumber(&p, most, &range->start))
                return false;
            something = true;
        }
        if (p != colon)
            return false;
        p++;
    }
    // An end, which only a colon may leave out ("10:", "~:").
    range->toInfinity = *p == '\0';
    if (!range->toInfinity) {
        if (!ParseNumber(&p, most, &range->end) || *p != '\0')
            return false;
        something = true;
    }
    if (!something)
        return false;
    return range->fromNegativeInfinity || range->toInfinity || range->start <= range->end;
}

bool Alerts(const Range *range, double value) {
    if (range->text == NULL)
        return false;
    bool within = (range->fromNegativeInfinity || value >= range->start) &&
                  (range->toInfinity || value <= range->end);
    return range->inside ? within : !within;
}

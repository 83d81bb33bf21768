// Counter arithmetic: what a 32-bit counter of the record counted between
// two publications, across a wrap, and what a LAN can count at all.
#ifndef STATISTICS_COUNTER_STEP_H
#define STATISTICS_COUNTER_STEP_H

#include <stdint.h>

// The service publishes each board's record once a period.
enum { kPublishingPeriodMs = 1000 };

// The smallest Ethernet frame on the wire, preamble and gap included: what
// a frame counter (rxErr) can count at most is the octets a LAN carries
// divided by this.
enum { kSmallestFrameOctets = 84 };

// What a counter counted from previous to current: the difference modulo
// 2^32, both unsigned, so that a wrap gives the true difference.
inline uint32_t CounterStep(uint32_t previous, uint32_t current) { return current - previous; }

// The most a counter can count over that many periods on a LAN of that
// speed, with 5% to spare: octets, or frames.  A step beyond it is no
// traffic the LAN can carry: a counter that went back (a reset).
inline uint64_t MostCounted(uint64_t bitsPerSecond, uint32_t periods, bool frames) {
    uint64_t octets = bitsPerSecond / 8 * periods * kPublishingPeriodMs / 1000;
    return (frames ? octets / kSmallestFrameOctets : octets) * 105 / 100;
}

// Whether a counter may have wrapped over that many periods at that speed:
// then a step tells nothing of what it counted.
inline bool MayHaveWrapped(uint64_t bitsPerSecond, uint32_t periods) {
    return bitsPerSecond / 8 * periods * kPublishingPeriodMs / 1000 >= (uint64_t)1 << 32;
}

#endif

// Counter arithmetic: what a 32-bit counter of the record counted between
// two samples, across a wrap, and a counter that went back.
#ifndef STATISTICS_COUNTER_STEP_H
#define STATISTICS_COUNTER_STEP_H

#include <stdint.h>

// How long the service may take to publish what the board counted: a record
// can be up to one publishing period older than the moment it is read, so a
// difference may hold that much more traffic than the time between samples.
enum { kPublishingPeriodMs = 1000 };

// The smallest Ethernet frame on the wire, preamble and gap included: what
// a frame counter (rxErr) can count at most is the octets a LAN carries
// divided by this.
enum { kSmallestFrameOctets = 84 };

// Sets *step to what a counter counted from previous to current, samples
// taken elapsedMs apart, on a LAN that counts at most mostPerSecond a
// second.  The difference is taken modulo 2^32, both values unsigned, so a
// wrap gives the true difference.  A difference beyond what the LAN can
// count in elapsedMs plus one publishing period is a counter that went back
// to 0 (a reset): false, and *step is 0.
// Inline: each sample takes six steps of every board.
inline bool CounterStep(uint32_t previous, uint32_t current, uint32_t elapsedMs,
                        uint64_t mostPerSecond, uint32_t *step) {
    uint32_t difference = current - previous; // modulo 2^32
    uint64_t most = mostPerSecond * ((uint64_t)elapsedMs + kPublishingPeriodMs) / 1000;
    *step = difference <= most ? difference : 0;
    return difference <= most;
}

#endif

#include "traffic.h"

bool CounterStep(uint32_t previous, uint32_t current, uint32_t elapsedMs, uint64_t mostPerSecond,
                 uint32_t *step) {
    uint32_t difference = current - previous; // modulo 2^32
    uint64_t most = mostPerSecond * ((uint64_t)elapsedMs + kPublishingPeriodMs) / 1000;
    *step = difference <= most ? difference : 0;
    return difference <= most;
}

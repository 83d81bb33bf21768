#include "rounds.h"

uint64_t NextRoundMs(uint64_t lastMs, bool missedPublication, uint64_t nowMs) {
    uint64_t next = lastMs + (missedPublication ? 1500 : 1000);
    return next < nowMs ? nowMs : next;
}

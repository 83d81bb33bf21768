#include "counter.h"

// qvgpio fills the counter word most significant byte first.
static uint16_t FromBigEndian(const uint16_t *word) {
    const uint8_t *bytes = (const uint8_t *)word;
    return (uint16_t)(bytes[0] << 8 | bytes[1]);
}

uint32_t ReadCounter32(CounterRead read, uint8_t boardAddress, uint8_t portSel, int lowRegister) {
    uint16_t word = 0;
    read(boardAddress, portSel, lowRegister, &word);
    uint32_t low = FromBigEndian(&word);
    read(boardAddress, portSel, lowRegister + 1, &word);
    uint32_t high = FromBigEndian(&word);
    return high << 16 | low;
}

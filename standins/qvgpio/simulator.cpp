// A simulated board behind the qvgpio interface, built as libqvgpio so that
// the board tools run unchanged on a machine without the boards.  Every call
// is journalled with its arguments; the mode operations and settings change
// the board's state, and the reads give what qvgpio-sim set (0 otherwise).
//
// The board tools examine no result, so the first failure in a process to
// use the store is told on standard error, once: a tool run against a store
// it cannot use says so in one line, however many calls it makes.
#include <stdio.h>

#include "board_store.h"
#include "qvgpio.h"

#ifdef _WIN32
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif

static int Result(bool done) {
    static bool told;
    if (!done && !told) {
        told = true;
        SayFailure("qvgpio simulator", StoreFailure());
    }
    return done ? 0 : -1;
}

static void Journal(const char *format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char line[128];
    snprintf(line, sizeof line, format, a, b, c);
    Result(AppendJournal(line));
}

EXPORT int SelectHsrMode(uint8_t boardAddress) {
    Journal("SelectHsrMode(0x%02x)", boardAddress);
    return Result(WriteItem(boardAddress, ITEM_MODE, "HSR"));
}

EXPORT int SelectPrpMode(uint8_t boardAddress) {
    Journal("SelectPrpMode(0x%02x)", boardAddress);
    return Result(WriteItem(boardAddress, ITEM_MODE, "PRP"));
}

EXPORT int SetLinkSpeedMode(uint8_t boardAddress) {
    Journal("SetLinkSpeedMode(0x%02x)", boardAddress);
    return Result(WriteItem(boardAddress, ITEM_LINK_SPEED_MODE, "set"));
}

EXPORT int ConfigureGpioMode(uint8_t boardAddress, int mode) {
    Journal("ConfigureGpioMode(0x%02x, %d)", boardAddress, (unsigned)mode);
    return Result(WriteNumberItem(boardAddress, ITEM_GPIO_MODE, (uint32_t)mode));
}

EXPORT int SetLedValue(uint8_t boardAddress, int value) {
    Journal("SetLedValue(0x%02x, %d)", boardAddress, (unsigned)value);
    return Result(WriteNumberItem(boardAddress, ITEM_LED, (uint32_t)value));
}

static int ReadRegister(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word) {
    char item[32];
    snprintf(item, sizeof item, ITEM_REGISTER_FORMAT, portSel, (unsigned)reg);
    uint32_t value;
    bool read = ReadNumberItem(boardAddress, item, &value);
    uint8_t *bytes = (uint8_t *)word; // most significant byte first
    bytes[0] = (uint8_t)(value >> 8);
    bytes[1] = (uint8_t)value;
    return Result(read);
}

EXPORT int GetRxCounter(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word) {
    Journal("GetRxCounter(0x%02x, %u, 0x%x)", boardAddress, portSel, (unsigned)reg);
    return ReadRegister(boardAddress, portSel, reg, word);
}

EXPORT int GetTxCounter(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word) {
    Journal("GetTxCounter(0x%02x, %u, 0x%x)", boardAddress, portSel, (unsigned)reg);
    return ReadRegister(boardAddress, portSel, reg, word);
}

EXPORT uint32_t GetLinkStatus(uint8_t boardAddress, uint8_t lanCode) {
    Journal("GetLinkStatus(0x%02x, %u)", boardAddress, lanCode);
    char item[32];
    snprintf(item, sizeof item, ITEM_LINK_STATUS_FORMAT, lanCode);
    uint32_t value;
    Result(ReadNumberItem(boardAddress, item, &value));
    return value;
}

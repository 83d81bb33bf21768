// What SelectHsrMode and SelectPrpMode do to a board.
#ifndef TOOLS_MODE_SWITCH_H
#define TOOLS_MODE_SWITCH_H

#include <stdint.h>

// The value each mode gives ConfigureGpioMode and SetLedValue.
enum RedundancyMode { kPrpMode = 0, kHsrMode = 1 };

// The mode operation, SetLinkSpeedMode, ConfigureGpioMode and SetLedValue,
// always all four and in this order, whatever each returns.
void SwitchRedundancyMode(uint8_t boardAddress, RedundancyMode mode);

#endif

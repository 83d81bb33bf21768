#include "mode_switch.h"

#include "qvgpio.h"

void SwitchRedundancyMode(uint8_t boardAddress, RedundancyMode mode) {
    if (mode == kHsrMode)
        SelectHsrMode(boardAddress);
    else
        SelectPrpMode(boardAddress);
    SetLinkSpeedMode(boardAddress);
    ConfigureGpioMode(boardAddress, mode);
    SetLedValue(boardAddress, mode);
}

// Another libqvgpio, to show which one a board tool loaded: every link
// status is 0xd0b1e.  Built once whole and once without GetTxCounter.
#include "qvgpio.h"

extern "C" {
int SelectHsrMode(uint8_t) { return 0; }
int SelectPrpMode(uint8_t) { return 0; }
int SetLinkSpeedMode(uint8_t) { return 0; }
int ConfigureGpioMode(uint8_t, int) { return 0; }
int SetLedValue(uint8_t, int) { return 0; }
int GetRxCounter(uint8_t, uint8_t, int, uint16_t *) { return 0; }
#ifndef WITHOUT_TX_COUNTER
int GetTxCounter(uint8_t, uint8_t, int, uint16_t *) { return 0; }
#endif
uint32_t GetLinkStatus(uint8_t, uint8_t) { return 0xd0b1e; }
}

/* The board's hardware-access library, qvgpio, as the board tools call it.
 *
 * The maker's library is closed; these are the eight operations the tools
 * use, with C linkage, so that the maker's libqvgpio (or any stand-in with
 * the same names and arguments) can be dropped in.  The tools never examine
 * the int results.  A counter word is filled most significant byte first
 * (big-endian), whatever the host's byte order. */
#ifndef QVGPIO_H
#define QVGPIO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int SelectHsrMode(uint8_t boardAddress);
int SelectPrpMode(uint8_t boardAddress);
int SetLinkSpeedMode(uint8_t boardAddress);
int ConfigureGpioMode(uint8_t boardAddress, int mode);
int SetLedValue(uint8_t boardAddress, int value);
int GetRxCounter(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word);
int GetTxCounter(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word);
uint32_t GetLinkStatus(uint8_t boardAddress, uint8_t lanCode);

#ifdef __cplusplus
}
#endif

#endif

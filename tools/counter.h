// The board's 32-bit port counters, each kept in two 16-bit registers.
#ifndef TOOLS_COUNTER_H
#define TOOLS_COUNTER_H

#include <stdint.h>

// GetRxCounter or GetTxCounter.
typedef int (*CounterRead)(uint8_t boardAddress, uint8_t portSel, int reg, uint16_t *word);

// The counter whose low half is in lowRegister and high half in the next
// register, read low half first.  Nothing holds the counter still between
// the two reads, and their results are not examined.
uint32_t ReadCounter32(CounterRead read, uint8_t boardAddress, uint8_t portSel, int lowRegister);

#endif

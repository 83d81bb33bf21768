// The simulated boards' state, kept in files so that it outlives each
// process: one folder per board address, one small text file per item, and
// one journal of every call.  Each item is replaced whole by a rename and
// each journal line is appended by one write, so processes working at the
// same time lose nothing.
//
// The folder is $QVGPIO_SIM_DIR, or when that is unset /tmp/qvgpio-sim
// (on Windows %TEMP%\qvgpio-sim).
#ifndef STANDINS_QVGPIO_BOARD_STORE_H
#define STANDINS_QVGPIO_BOARD_STORE_H

#include <stddef.h>
#include <stdint.h>

// Item names of a board's state.
#define ITEM_MODE "mode"
#define ITEM_LINK_SPEED_MODE "link-speed-mode"
#define ITEM_GPIO_MODE "gpio-mode"
#define ITEM_LED "led"
#define ITEM_REGISTER_FORMAT "register-%02x-%04x"  // port code, register number
#define ITEM_LINK_STATUS_FORMAT "link-status-%02x" // LAN code

#define JOURNAL_FILE "journal"

// The folder holding the boards and the journal.
const char *StoreDirectory(void);

// Writes the text of one item of a board's state; false when it could not.
bool WriteItem(uint8_t boardAddress, const char *item, const char *text);

// Reads the text of one item into text (empty when never written).
void ReadItem(uint8_t boardAddress, const char *item, char *text, size_t size);

// A number item: 0 when never written.
uint32_t ReadNumberItem(uint8_t boardAddress, const char *item);
bool WriteNumberItem(uint8_t boardAddress, const char *item, uint32_t value);

// Appends one line (given without its line end) to the journal.
void AppendJournal(const char *line);

#endif

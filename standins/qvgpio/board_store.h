// The simulated boards' state, kept in files so that it outlives each
// process: one folder per board address, one small text file per item, and
// one journal of every call.  Each item is replaced whole by a rename from a
// temporary file made afresh under an unguessable name, and each journal
// line is appended by one write, so processes working at the same time lose
// nothing.
//
// The store is $QVGPIO_SIM_DIR; when that is unset, $XDG_RUNTIME_DIR/qvgpio-sim
// or else /tmp/qvgpio-sim-UID (on Windows %TEMP%\qvgpio-sim).  It is made
// when first written, mode 0700, and refused when it is a link, another
// user's, or open to other users' writing (see store.h).  A store, board or
// item that does not exist yet reads as empty.
//
// Every function that returns false leaves one line in StoreFailure() that
// names the file and what is wrong with it.  Only regular files are read or
// written: a FIFO, a folder or a device where an item or the journal is kept
// is a failure, found without waiting on it.
#ifndef STANDINS_QVGPIO_BOARD_STORE_H
#define STANDINS_QVGPIO_BOARD_STORE_H

#include <stddef.h>
#include <stdint.h>

#include "store.h"

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

// Why the last call that returned false failed.
const char *StoreFailure(void);

// Text from the store as it may be shown on a terminal: printable ASCII as
// it is, a backslash doubled, and every other byte as a backslash and three
// octal digits (ESC as \033), so that no name or text in the store can
// control the terminal.  Cut short, whole escapes only, to fit size.
void EscapeText(const char *text, char *shown, size_t size);
// The same for length bytes, NUL bytes among them.
void EscapeBytes(const char *bytes, size_t length, char *shown, size_t size);

// Opening the store, or a board's folder in it.
enum StoreOutcome { kOpened, kMissing, kFailed };
StoreOutcome OpenStore(bool make, Folder *store);
StoreOutcome OpenBoard(const Folder *store, uint8_t boardAddress, bool make, Folder *board);

// Records a failure with name in folder (errno value, or a refusal of
// store.h) as StoreFailure(); returns false.
bool StoreFailed(const Folder *folder, const char *name, int error);

// Writes the text of one item of a board's state.
bool WriteItem(uint8_t boardAddress, const char *item, const char *text);

// Reads the text of one item into text, without its line end.  length,
// when not null, is given its length in bytes, NUL bytes included, or
// kNeverWritten when there is no such item.
enum : size_t { kNeverWritten = (size_t)-1 };
bool ReadItem(uint8_t boardAddress, const char *item, char *text, size_t size,
              size_t *length = NULL);

// The largest value a number item holds (a register one 16-bit half); 0 for
// the items that hold words.
uint32_t ItemMaximum(const char *item);

// A number item: 0 when never written; false when its file holds anything
// but a number up to the item's maximum (nothing, a NUL byte, a blank).
bool ReadNumberItem(uint8_t boardAddress, const char *item, uint32_t *value);
bool WriteNumberItem(uint8_t boardAddress, const char *item, uint32_t value);

// Appends one line (given without its line end) to the journal.
bool AppendJournal(const char *line);

#endif

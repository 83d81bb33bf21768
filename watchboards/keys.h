// What a key does on the screen: plain functions of what the screen shows,
// so that a test can type at them.
#ifndef WATCHBOARDS_KEYS_H
#define WATCHBOARDS_KEYS_H

#include "board_view.h"
#include "grid.h"

// What the keys change besides the settings.
struct ScreenState {
    int firstBoard;
    bool whole;       // the terminal's content is unknown: draw every cell
    bool troubleOnly; // t: only the boards in trouble
    bool keys;        // ?: the keys instead of the boards
    TerminalAbilities abilities;
};

// What key does (see system.h for the keys besides characters); false for
// q and Ctrl-C, which end the program.
bool Obey(int key, ViewSettings *settings, ScreenState *screen);

// The divergence mark the keys + and - step to from markTenths.
uint32_t NextMark(uint32_t markTenths, bool up);

#endif

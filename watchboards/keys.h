// What a key does on the screen: plain functions of what the screen shows,
// so that a test can type at them.
#ifndef WATCHBOARDS_KEYS_H
#define WATCHBOARDS_KEYS_H

#include "grid.h"
#include "layout.h"

// What the keys change besides the settings.
struct ScreenState {
    int firstBoard;
    bool whole;        // the terminal's content is unknown: draw every cell
    bool troubleOnly;  // t: only the boards in trouble
    bool troubleOrder; // s: the worst trouble first
    bool keys;         // ?: the keys instead of the boards
    BoardsAs as;       // d: blocks or a line a board
    // A board's number typed (goingTo, as typed so far), then Enter: the
    // board to go to at the next drawing.
    char goingTo[12];
    bool goTo;
    int32_t goToBoard;
    TerminalAbilities abilities;
};

// What key does (see system.h for the keys besides characters), where the
// boards are placed as shown says; false for q and Ctrl-C, which end the
// program.
bool Obey(int key, ViewSettings *view, ScreenState *screen, const Placement *shown);

// The divergence mark the keys + and - step to from markTenths.
uint32_t NextMark(uint32_t markTenths, bool up);

#endif

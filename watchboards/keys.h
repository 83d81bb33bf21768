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
    // board to go to at the next drawing; what the footer says, until the
    // next key, when it is not there ("no board 99").
    char goingTo[12];
    bool goTo;
    int32_t goToBoard;
    char notThere[48];
    TerminalAbilities abilities;
};

// What key does (see system.h for the keys besides characters), where the
// boards are placed as shown says; false for q and Ctrl-C, which end the
// program, whatever is being typed.
bool Obey(int key, ViewSettings *view, ScreenState *screen, const Placement *shown);

// After Enter, at the drawing: the first board shown becomes the first of
// the row of the board typed, when it is in the list; when it is not, the
// footer says so.
void GoToTypedBoard(ScreenState *screen, const ShownBoard *list, int count, int across);

// The divergence mark the keys + and - step to from markTenths.
uint32_t NextMark(uint32_t markTenths, bool up);

#endif

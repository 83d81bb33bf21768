#include "keys.h"

#include <stdio.h>
#include <string.h>

#include "block_name.h"
#include "system.h"

// A board's number, typed a digit at a time, then Enter: gone to; Esc:
// not.  True when the key went to it.
static bool TypeBoard(int key, ScreenState *screen) {
    size_t length = strlen(screen->goingTo);
    bool typing = length != 0;
    if (key >= '0' && key <= '9' && length + 1 < sizeof screen->goingTo) {
        screen->goingTo[length] = (char)key;
        return true;
    }
    if (!typing)
        return false;
    if (key == 13 || key == 10) { // Enter
        screen->goTo = ParseBoardIndex(screen->goingTo, length, &screen->goToBoard);
        if (!screen->goTo)
            snprintf(screen->notThere, sizeof screen->notThere, "no board %s", screen->goingTo);
    }
    if (key == 127 || key == 8) // Backspace
        screen->goingTo[length - 1] = '\0';
    else
        memset(screen->goingTo, 0, sizeof screen->goingTo); // Enter, Esc, or any other key
    return true;
}

bool Obey(int key, ViewSettings *view, ScreenState *screen, const Placement *shown) {
    // Whatever is being typed or shown: Ctrl-C ends the program at once, a
    // terminal of another size (or back from Ctrl-Z) is drawn whole.
    if (key == 3)
        return false;
    if (key == kKeyResized || key == 12) { // 12: Ctrl-L, as in most screens
        screen->whole = true;
        return true;
    }
    screen->notThere[0] = '\0'; // said until the next key
    // Any other key leaves the keys.
    if (screen->keys) {
        screen->keys = false;
        return true;
    }
    if (key == 'q' || key == 'Q')
        return false;
    if (TypeBoard(key, screen))
        return true;
    int page = shown->shown > 0 ? shown->shown : 1;
    switch (key) {
    case 'b':
        view->bytes = !view->bytes;
        break;
    case 'g':
        view->graphs = !view->graphs;
        break;
    case '+':
    case '=':
        view->boards.markTenths = NextMark(view->boards.markTenths, true);
        break;
    case '-':
        view->boards.markTenths = NextMark(view->boards.markTenths, false);
        break;
    case 't':
        screen->troubleOnly = !screen->troubleOnly;
        screen->firstBoard = 0;
        break;
    case 's':
        screen->troubleOrder = !screen->troubleOrder;
        screen->firstBoard = 0;
        break;
    case 'd':
        screen->as = shown->lines ? kAsBlocks : kAsLines;
        break;
    case '?':
        screen->keys = true;
        break;
    case kKeyUp:
    case 'k':
        screen->firstBoard -= shown->across;
        break;
    case kKeyDown:
    case 'j':
        screen->firstBoard += shown->across;
        break;
    case kKeyPageUp:
        screen->firstBoard -= page;
        break;
    case kKeyPageDown:
        screen->firstBoard += page;
        break;
    case kKeyHome:
        screen->firstBoard = 0;
        break;
    case kKeyEnd:
        screen->firstBoard = kMostGridRows * kMostGridColumns; // as far as there are boards
        break;
    }
    return true;
}

void GoToTypedBoard(ScreenState *screen, const ShownBoard *list, int count, int across) {
    if (!screen->goTo)
        return;
    screen->goTo = false;
    for (int i = 0; i < count; i++) {
        if (list[i].board->boardIndex == screen->goToBoard) {
            screen->firstBoard = i - i % (across > 0 ? across : 1);
            return;
        }
    }
    snprintf(screen->notThere, sizeof screen->notThere,
             screen->troubleOnly ? "no board %d in trouble" : "no board %d",
             (int)screen->goToBoard);
}

uint32_t NextMark(uint32_t markTenths, bool up) {
    static const uint32_t kMarks[] = {10, 20, 50, 100, 200, 500, 1000};
    const size_t count = sizeof kMarks / sizeof kMarks[0];
    if (up) {
        for (size_t i = 0; i < count; i++)
            if (kMarks[i] > markTenths)
                return kMarks[i];
        return kMarks[count - 1];
    }
    for (size_t i = count; i-- > 0;)
        if (kMarks[i] < markTenths)
            return kMarks[i];
    return markTenths; // below the lowest step already: - never raises it
}

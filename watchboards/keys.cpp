#include "keys.h"

#include "system.h"

bool Obey(int key, ViewSettings *settings, ScreenState *screen) {
    if (screen->keys && key != kKeyResized) { // any key leaves the keys
        screen->keys = false;
        return true;
    }
    switch (key) {
    case 'q':
    case 'Q':
    case 3: // Ctrl-C
        return false;
    case 'b':
        settings->bytes = !settings->bytes;
        break;
    case 'g':
        settings->graphs = !settings->graphs;
        break;
    case '+':
    case '=':
        settings->markTenths = NextMark(settings->markTenths, true);
        break;
    case '-':
        settings->markTenths = NextMark(settings->markTenths, false);
        break;
    case 't':
        screen->troubleOnly = !screen->troubleOnly;
        screen->firstBoard = 0;
        break;
    case '?':
        screen->keys = true;
        break;
    case kKeyUp:
    case 'k':
        screen->firstBoard--;
        break;
    case kKeyDown:
    case 'j':
        screen->firstBoard++;
        break;
    case kKeyResized:
    case 12: // Ctrl-L, as in most screens: draw it all again
        screen->whole = true;
        break;
    }
    return true;
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

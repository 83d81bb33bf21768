#include "console.h"

// A process started without a standard handle has none to be taken by what
// it opens, and console and pipe reads block: nothing to do on Windows.
bool FillClosedStandardDescriptors(bool *outputClosed) {
    *outputClosed = false;
    return true;
}

bool WaitForInput(FILE *) { return false; }

// SelectHsrMode [boardIndex]: puts a board into HSR mode.
// Without an argument it asks for the board index.  Silent once it knows the
// board; ends with status 1 only when the statistics service is running
// (output that fails changes nothing: the board is switched all the same).
#include "board.h"
#include "console.h"
#include "mode_switch.h"

int main(int argc, char **argv) {
    StartProgram("SelectHsrMode", kOutputMayFail);
    SwitchRedundancyMode(StartModeSwitch(argc, argv), kHsrMode);
    return 0;
}

// SelectPrpMode [boardIndex]: puts a board into PRP mode.
// Without an argument it asks for the board index.  Silent once it knows the
// board; ends with status 1 only when the statistics service is running.
#include "board.h"
#include "mode_switch.h"

int main(int argc, char **argv) {
    SwitchRedundancyMode(StartModeSwitch(argc, argv), kPrpMode);
    return 0;
}

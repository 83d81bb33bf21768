// SelectHsrMode [boardIndex]: puts a board into HSR mode.
// Without an argument it asks for the board index.  Silent once it knows the
// board.  Ends with status 1 when the statistics service is running, and with
// 2 after its usage line on standard error when the first argument looks like
// an option ("--help", "/?") or holds nothing but blanks: the board untouched
// either way.  Output that fails changes nothing: the board is switched all
// the same.
#include "board.h"
#include "console.h"
#include "mode_switch.h"

int main(int argc, char **argv) {
    StartProgram("SelectHsrMode", kOutputMayFail);
    SwitchRedundancyMode(StartModeSwitch(argc, argv), kHsrMode);
    return 0;
}

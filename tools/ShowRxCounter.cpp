// ShowRxCounter: prints one receive counter of one port of a board,
// chosen from a menu.  Arguments are ignored.  Ends with status 1 when its
// output cannot be written.
#include <stdio.h>

#include "board.h"
#include "console.h"
#include "counter.h"
#include "qvgpio.h"

// Low-half register of each counter of the menu, by selection.
static const int kRxCounterRegister[] = {
    0x100, // RX GOOD OCTETS
    0x112, // RX ERR
    0x124, // RX WRONGLAN
    0x126, // RX DUPLICATE
};

int main(void) {
    StartProgram("ShowRxCounter", kOutputMustShow);
    uint8_t boardAddress = StartBoardTool();

    fputs("Select Port to configure: 2: Port0, 4: Port1, 8: Port2\n", stdout);
    uint8_t portSel = ReadSelection();
    printf("portSel = %d\n", portSel);

    fputs("Select counter value to get:\n"
          " \t\t\t\t\t\t\t\t\t\t 0: RX GOOD OCTETS\n"
          " \t\t\t\t\t\t\t\t\t\t 1: RX ERR\n"
          " \t\t\t\t\t\t\t\t\t\t 2: RX WRONGLAN\n"
          " \t\t\t\t\t\t\t\t\t\t 3: RX DUPLICATE\n"
          " \t\t\t\t\t\t\t\t\t\t \n",
          stdout);
    uint8_t selection = ReadSelection();

    uint32_t rxCounter = 0; // a selection off the menu reads nothing
    if (selection < sizeof kRxCounterRegister / sizeof kRxCounterRegister[0])
        rxCounter =
            ReadCounter32(GetRxCounter, boardAddress, portSel, kRxCounterRegister[selection]);
    printf("rxCounter = 0x%x\n", rxCounter);
    FlushOutput();
    return 0;
}

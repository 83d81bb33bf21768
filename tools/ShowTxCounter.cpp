// ShowTxCounter: prints the transmit counter of one port of a board.
// Arguments are ignored.  Ends with status 1 when its output cannot be
// written.
#include <stdio.h>

#include "board.h"
#include "console.h"
#include "counter.h"
#include "qvgpio.h"

static const int kTxCounterRegister = 0x140;

int main(void) {
    StartProgram("ShowTxCounter", kOutputMustShow);
    uint8_t boardAddress = StartBoardTool();

    fputs("Select Port to configure: 2: Port0, 4: Port1, 8: Port2", stdout);
    uint8_t portSel = ReadSelection();

    // An octet count of 2^31 or more is no negative number.
    printf("txCount = %u\n",
           ReadCounter32(GetTxCounter, boardAddress, portSel, kTxCounterRegister));
    FlushOutput();
    return 0;
}

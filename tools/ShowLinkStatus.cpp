// ShowLinkStatus: prints the link status of a board's two LANs as the board
// reports it, LanA first.  Arguments are ignored.  Ends with status 1 when
// its output cannot be written.
#include <stdio.h>

#include "board.h"
#include "console.h"
#include "qvgpio.h"

// The LAN codes GetLinkStatus knows the board's LANs by.
static const uint8_t kLanA = 4;
static const uint8_t kLanB = 6;

// Each heading shows before its query, so that a query that hangs or fails
// is seen to be the one under way, even where standard output is a pipe.
static void PrintHeading(const char *heading) {
    fputs(heading, stdout);
    FlushOutput();
}

int main(void) {
    StartProgram("ShowLinkStatus", kOutputMustShow);
    uint8_t boardAddress = StartBoardTool();

    PrintHeading("Get mode control register of LanA...............................\n");
    printf("Link Status of LanA = 0x%x\n", GetLinkStatus(boardAddress, kLanA));

    PrintHeading("Get mode control register of LanB...............................\n");
    printf("Link Status of LanB = 0x%x\n", GetLinkStatus(boardAddress, kLanB));
    FlushOutput();
    return 0;
}

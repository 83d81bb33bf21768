#include "board.h"

#include <stdio.h>
#include <stdlib.h>

#include "console.h"
#include "service.h"

uint8_t BoardAddress(int32_t boardIndex) { return (uint8_t)((uint32_t)boardIndex + 0x58u); }

int32_t BoardIndexFromArgument(const char *argument) {
    const char *p = argument;
    while (IsWhiteSpace(*p))
        p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    int64_t magnitude = 0;
    for (; IsDigit(*p); p++) {
        if (magnitude <= INT32_MAX) // beyond that it is clamped anyway
            magnitude = magnitude * 10 + (*p - '0');
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return (int32_t)value;
}

// The board tools must not drive a board while the statistics service
// works on it.  Status 1 tells a calling script that nothing was done.
static void StopIfServiceRunning(void) {
    if (!IsPrpServiceRunning())
        return;
    fputs("ziZidOzevadu is running, to run this program, please stop the ziZidOzevadu\n", stdout);
    fputs("Exit the program\n", stdout);
    FlushOutput();
    exit(1);
}

static int32_t AskBoardIndex(void) {
    fputs("Enter the boardIndex:\n", stdout);
    return ReadDecimal();
}

uint8_t StartBoardTool(void) {
    StopIfServiceRunning();
    return BoardAddress(AskBoardIndex());
}

// "-h", "--help", "-" or Windows' "/?" asks for help, not for a board, yet
// _wtol reads each as board 0: the board at 0x58 would be switched.  So
// would an argument with nothing in it, as a script's "$BOARD" gives when
// BOARD is unset.  A sign before a digit is a number ("-5", " -5").
static bool IsNoBoardIndex(const char *argument) {
    const char *p = argument;
    while (IsWhiteSpace(*p))
        p++;
    return *p == '\0' || (argument[0] == '-' && !IsDigit(argument[1])) || argument[0] == '/';
}

uint8_t StartModeSwitch(int argc, char **argv) {
    StopIfServiceRunning();
    if (argc <= 1)
        return BoardAddress(AskBoardIndex());
    if (IsNoBoardIndex(argv[1]))
        RefuseCommandLine("[boardIndex]");
    return BoardAddress(BoardIndexFromArgument(argv[1]));
}

// WatchBoards' own output code on a Windows console, for console.sh to read
// in a tmux pane: COLUMN dots, then a screen asked for at that column (and
// left at once if opened); below them, whether it opened, the dots' row and
// the next as the console holds them (and shows them when it draws them
// again), then text beyond ASCII with characters cut across writes.  On a
// console that shows VT sequences as text the dots' row is the dots alone
// and the next row blank, as shown and as held: nothing of the check for a
// screen stays there.
// Usage: console_output.exe COLUMN
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "console.h"
#include "system.h"

// The cursor's row and the next as the console holds them, blanks at their
// ends left out, control characters as ^X, each on a line.
static size_t HeldRows(char *held) {
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    size_t end = 0;
    if (!GetConsoleScreenBufferInfo(console, &info))
        return 0;
    for (SHORT row = info.dwCursorPosition.Y; row <= info.dwCursorPosition.Y + 1; row++) {
        static wchar_t cells[1024];
        DWORD length = 0;
        COORD start = {0, row};
        ReadConsoleOutputCharacterW(console, cells, info.dwSize.X < 1024 ? info.dwSize.X : 1024,
                                    start, &length);
        while (length > 0 && cells[length - 1] == L' ')
            length--;
        for (DWORD i = 0; i < length; i++) {
            if (cells[i] < 0x20 || cells[i] == 0x7F)
                held[end++] = '^', held[end++] = (char)(cells[i] ^ 0x40);
            else
                held[end++] = cells[i] < 0x80 ? (char)cells[i] : '?';
        }
        held[end++] = '\n';
    }
    return end;
}

int main(int argc, char **argv) {
    StartProgram("console_output", kOutputMustShow);
    int column = argc > 1 ? atoi(argv[1]) : 0;
    for (int i = 0; i < column; i++)
        WriteOutput(".", 1);
    TerminalAbilities abilities;
    const char *whyNot = nullptr;
    bool opened = OpenScreen(&abilities, &whyNot);
    if (opened)
        LeaveScreen();
    static char held[4 * 1024 + 2];
    size_t heldLength = HeldRows(held);
    const char *said = opened ? "\n\nscreen opened\nheld:\n" : "\n\nlines\nheld:\n";
    WriteOutput(said, strlen(said));
    WriteOutput(held, heldLength);
    // "a·b €→", the middle dot and the arrow cut between two writes.
    const char *pieces[] = {"a\xC2", "\xB7" "b \xE2\x82", "\xAC\xE2", "\x86", "\x92\n"};
    for (const char *piece : pieces)
        WriteOutput(piece, strlen(piece));
    return 0;
}

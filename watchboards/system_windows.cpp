#include "system.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "console.h"
#include "file_name.h"
#include "grid.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

// The longest path the wide functions take, in UTF-16 units.
enum { kLongestPath = 32768 };

bool OutputIsJournal(void) { return false; }

static volatile LONG endRequested;
static HANDLE endEvent;

// Runs on a thread of the system's own: sets the flag and wakes the wait.
static BOOL WINAPI RequestEnd(DWORD) {
    InterlockedExchange(&endRequested, 1);
    SetEvent(endEvent);
    return TRUE;
}

void CatchEndRequests(void) {
    endEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(RequestEnd, TRUE);
}

bool EndRequested(void) { return endRequested != 0; }

void WaitMilliseconds(uint32_t milliseconds) { WaitForSingleObject(endEvent, milliseconds); }

// Why the last call failed, in the system's words, without the line end.
static const char *LastError(void) { return SystemErrorText((int)GetLastError()); }

// Standard output when it is a console, null when it is not (a pipe, a
// file); found out at the first write.
static HANDLE consoleOutput;
static bool consoleKnown;

static HANDLE ConsoleOutput(void) {
    if (!consoleKnown) {
        HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode;
        consoleOutput =
            handle != NULL && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)
                ? handle
                : NULL;
        consoleKnown = true;
    }
    return consoleOutput;
}

// How many of these bytes end with whole UTF-8 sequences: a sequence cut
// short by their end is left out (at most 3 bytes).  Bytes that are no
// UTF-8 are counted in, for the conversion to replace.
static size_t WholeSequences(const unsigned char *bytes, size_t count) {
    for (size_t back = 1; back <= 3 && back <= count; back++) {
        unsigned char c = bytes[count - back];
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: its lead is further back
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? count - back : count;
    }
    return count;
}

// UTF-8 text written to the console as wide characters, the way a console
// shows it whatever its code page (the C runtime's bytes go through the code
// page, which Wine's console does not apply to them).  Line ends become
// "\r\n", as the C runtime's text mode makes them.  A sequence cut by the
// end of one call is finished by the next.  False when the console refuses.
static bool WriteConsoleUtf8(HANDLE console, const char *bytes, size_t count) {
    enum { kPiece = 4096 };
    static unsigned char piece[kPiece];
    static wchar_t wide[kPiece], lines[2 * kPiece];
    static unsigned char cut[3]; // the start of a sequence cut short
    static size_t cutCount;
    do {
        size_t length = cutCount;
        memcpy(piece, cut, cutCount);
        size_t taken = count < kPiece - length ? count : kPiece - length;
        memcpy(piece + length, bytes, taken);
        length += taken;
        bytes += taken;
        count -= taken;
        size_t whole = WholeSequences(piece, length);
        cutCount = length - whole;
        memcpy(cut, piece + whole, cutCount);
        if (whole == 0)
            continue;
        int characters =
            MultiByteToWideChar(CP_UTF8, 0, (const char *)piece, (int)whole, wide, kPiece);
        if (characters == 0)
            return false;
        DWORD total = 0;
        for (int i = 0; i < characters; i++) {
            if (wide[i] == L'\n')
                lines[total++] = L'\r';
            lines[total++] = wide[i];
        }
        for (DWORD done = 0, written; done < total; done += written)
            if (!WriteConsoleW(console, lines + done, total - done, &written, NULL) || written == 0)
                return false;
    } while (count > 0);
    return true;
}

void WriteOutput(const char *bytes, size_t count) {
    HANDLE console = ConsoleOutput();
    if (console == NULL) {
        fwrite(bytes, 1, count, stdout);
        FlushOutput();
        return;
    }
    FlushOutput(); // what the stream holds goes first
    if (!WriteConsoleUtf8(console, bytes, count))
        OutputFailed(EIO);
}

// No journal here: on a console as wide text, which shows whatever its code
// page, elsewhere in UTF-8, as the file names in it are kept.
void SayOnError(SaidPriority, const char *lines) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode;
    if (error == NULL || error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode) ||
        !WriteConsoleUtf8(error, lines, strlen(lines))) {
        fputs(lines, stderr);
        fflush(stderr); // which msvcrt buffers where it is no console
    }
}

// Says on standard error what befell the file (why it failed, or that the
// second was skipped); false.
static bool SayOfFile(const char *file, const char *what, SaidPriority priority = kSaidEnds) {
    // Each UTF-16 unit of a path is 3 bytes of UTF-8 at most, and a control
    // character, 1 byte, is shown in 4.
    static char shown[4 * kLongestPath], line[sizeof shown + 512];
    EscapeControls(file, shown, sizeof shown);
    snprintf(line, sizeof line, "WatchBoards: %s: %s\n", shown, what);
    SayOnError(priority, line);
    return false;
}

// A path in UTF-8 as the wide functions take it; false when it is too
// long or no UTF-8.
static bool WidePath(const char *path, wchar_t *wide) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, kLongestPath) > 0;
}

// Whether a process holds the file open without sharing its deletion, which
// keeps it from being replaced: a reader such as windows_exporter (Go opens
// files so) or a virus scanner.  Not a file that may not be written.
static bool HeldByReader(const wchar_t *file) {
    HANDLE handle =
        CreateFileW(file, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

// A reader holds the file for a moment, often: the replace is tried again
// for up to a second, then that second is skipped, the last whole file left
// in place.  Held for a minute in a row, it is a failure.
enum { kHeldTriedMs = 1000, kHeldLongestMs = 60000, kHeldPauseMs = 20 };

// Since when the file has been held, round after round; 0 when it is not.
static uint64_t heldSince;

// Puts the temporary file in the file's place: null once it is there, or
// the second skipped while a reader holds the file; otherwise why not.
static const char *PutInPlace(const wchar_t *temporary, const wchar_t *file, const char *path) {
    uint64_t start = MonotonicMilliseconds();
    bool triedOnceMore = false;
    for (;;) {
        if (MoveFileExW(temporary, file, MOVEFILE_REPLACE_EXISTING)) {
            heldSince = 0;
            return NULL;
        }
        DWORD error = GetLastError();
        const char *why = LastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            return why;
        if (!HeldByReader(file)) {
            if (triedOnceMore) // and not because a reader let go meanwhile
                return why;
            triedOnceMore = true;
            continue;
        }
        triedOnceMore = false;
        uint64_t now = MonotonicMilliseconds();
        if (heldSince == 0)
            heldSince = start;
        if (now - heldSince >= kHeldLongestMs) {
            static char longer[300];
            snprintf(longer, sizeof longer, "%s (held by a reader for %d s)", why,
                     kHeldLongestMs / 1000);
            return longer;
        }
        if (now - start >= kHeldTriedMs || EndRequested()) {
            static bool told;
            if (!told)
                SayOfFile(path,
                          "held by a reader for over a second; that second skipped (said only "
                          "once)",
                          kSaidWarning);
            told = true;
            DeleteFileW(temporary);
            return NULL;
        }
        WaitMilliseconds(kHeldPauseMs);
    }
}

bool ReplaceWholeFile(const char *path, const char *bytes, size_t count) {
    static wchar_t file[kLongestPath], wideTemporary[kLongestPath];
    static char temporary[4 * kLongestPath];
    if (!WidePath(path, file))
        return SayOfFile(path, LastError());
    int error = WriteBeside(path, bytes, count, 0, temporary, sizeof temporary);
    if (error != 0)
        return SayOfFile(temporary[0] != '\0' ? temporary : path, SystemErrorText(error));
    WidePath(temporary, wideTemporary); // it was written by that name
    const char *why = PutInPlace(wideTemporary, file, path);
    if (why != NULL) {
        DeleteFileW(wideTemporary);
        return SayOfFile(path, why);
    }
    return true;
}

static HANDLE output, input;
static DWORD outputMode, inputMode;
static UINT outputCodePage;
static bool keysRead; // standard input is a console too

static bool screenOpen;

// Leaves the terminal as OpenScreen found it.
void LeaveScreen(void) {
    if (!screenOpen)
        return;
    screenOpen = false;
    WriteConsoleUtf8(output, kLeaveScreen, sizeof kLeaveScreen - 1);
    SetConsoleOutputCP(outputCodePage);
    SetConsoleMode(output, outputMode);
    if (keysRead)
        SetConsoleMode(input, inputMode);
}

// Whether the console really moves its cursor for a VT sequence: one that
// accepts virtual terminal processing may still show the sequence as text
// (Wine's).  The cursor is moved one column forward, where the text would
// fit on its row (at the row's start near its end), and put back; text
// shown instead is replaced by what was there.
static bool InterpretsSequences(void) {
    CONSOLE_SCREEN_BUFFER_INFO before, after;
    if (!GetConsoleScreenBufferInfo(output, &before))
        return false;
    COORD cursor = before.dwCursorPosition, probe = cursor;
    // The sequence shown as text covers 3 or 4 cells; 8 are kept.
    enum { kCovered = 8 };
    if (before.dwSize.X < 2 * kCovered)
        return false;
    if (probe.X > before.dwSize.X - kCovered)
        probe.X = 0;
    CHAR_INFO cells[kCovered];
    SMALL_RECT region = {probe.X, probe.Y, (SHORT)(probe.X + kCovered - 1), probe.Y};
    COORD size = {kCovered, 1}, origin = {0, 0};
    bool saved = ReadConsoleOutputW(output, cells, size, origin, &region) != 0;
    const wchar_t sequence[] = L"\033[1C";
    DWORD written;
    bool moved = SetConsoleCursorPosition(output, probe) &&
                 WriteConsoleW(output, sequence, (DWORD)wcslen(sequence), &written, NULL) &&
                 GetConsoleScreenBufferInfo(output, &after) &&
                 after.dwCursorPosition.X == probe.X + 1 && after.dwCursorPosition.Y == probe.Y;
    if (!moved) {
        // Such a console may pass the sequence on to the terminal it is
        // drawn on (Wine's, on a Unix terminal), whose cursor then stands
        // elsewhere than the console's: a stop on another row has the
        // console place it anew, not relative to where it thinks it is.
        COORD elsewhere = {0, (SHORT)(probe.Y > 0 ? probe.Y - 1 : probe.Y + 1)};
        SetConsoleCursorPosition(output, elsewhere);
        if (saved)
            WriteConsoleOutputW(output, cells, size, origin, &region);
    }
    SetConsoleCursorPosition(output, cursor);
    return moved;
}

bool OpenScreen(TerminalAbilities *abilities, const char **whyNot) {
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    // A console that takes no VT sequences (older than Windows 10, or one
    // that accepts the mode but shows the sequences as text): a table.
    DWORD mode, wanted;
    if (!GetConsoleMode(output, &outputMode))
        return false;
    wanted = outputMode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING;
    FlushOutput(); // what the stream holds shows before the probe
    if (!SetConsoleMode(output, wanted) || !GetConsoleMode(output, &mode) ||
        !(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) || !InterpretsSequences()) {
        SetConsoleMode(output, outputMode);
        *whyNot = "this console does not interpret VT sequences";
        return false;
    }
    outputCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    input = GetStdHandle(STD_INPUT_HANDLE);
    keysRead = GetConsoleMode(input, &inputMode) != 0;
    // Each key as it is typed, Ctrl-C included (read as a key, so that the
    // screen is left in order), nothing echoed; size changes as events.
    if (keysRead)
        SetConsoleMode(input, ENABLE_WINDOW_INPUT);
    atexit(LeaveScreen);
    screenOpen = true;
    WriteOutput(kEnterScreen, sizeof kEnterScreen - 1);
    // A console that interprets VT sequences shows colours (unless NO_COLOR
    // is set and not empty), and any character: the screen is written as
    // wide text (and what the C runtime writes, in the code page set above).
    abilities->colour = ColourAllowed(getenv("NO_COLOR"));
    abilities->utf8 = true;
    return true;
}

static void LeaveKeys(void) { SetConsoleMode(input, inputMode); }

bool OpenKeys(void) {
    input = GetStdHandle(STD_INPUT_HANDLE);
    keysRead = GetConsoleMode(input, &inputMode) != 0;
    if (!keysRead)
        return false;
    // Each key as it is typed, Ctrl-C as the console takes it.
    SetConsoleMode(input, ENABLE_PROCESSED_INPUT);
    atexit(LeaveKeys);
    return true;
}

void ScreenSize(int *rows, int *columns) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) {
        *rows = 24;
        *columns = 80;
        return;
    }
    *rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    *columns = info.srWindow.Right - info.srWindow.Left + 1;
}

int ReadKey(uint32_t timeoutMs) {
    if (EndRequested())
        return kNoKey;
    if (!keysRead) {
        WaitMilliseconds(timeoutMs);
        return kNoKey;
    }
    HANDLE waited[] = {input, endEvent};
    if (WaitForMultipleObjects(2, waited, FALSE, timeoutMs) != WAIT_OBJECT_0)
        return kNoKey;
    INPUT_RECORD record;
    DWORD count;
    if (!ReadConsoleInputW(input, &record, 1, &count) || count == 0)
        return kNoKey;
    if (record.EventType == WINDOW_BUFFER_SIZE_EVENT)
        return kKeyResized;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
        return kNoKey;
    switch (record.Event.KeyEvent.wVirtualKeyCode) {
    case VK_UP:
        return kKeyUp;
    case VK_DOWN:
        return kKeyDown;
    case VK_PRIOR:
        return kKeyPageUp;
    case VK_NEXT:
        return kKeyPageDown;
    case VK_HOME:
        return kKeyHome;
    case VK_END:
        return kKeyEnd;
    }
    return record.Event.KeyEvent.uChar.UnicodeChar;
}

#include "terminal.h"

#include <stdio.h>
#include <stdlib.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "host.h"

static const char kEnter[] = "\033[?1049h\033[?25l"; // alternate screen, no cursor
static const char kLeave[] = "\033[0m\033[?25h\033[?1049l";

static bool keysRead; // standard input is a terminal too
static struct termios original;
static volatile sig_atomic_t resized;

static void NoteResize(int) { resized = 1; }

// Leaves the terminal as OpenScreen found it.
static void CloseScreen(void) {
    fputs(kLeave, stdout);
    fflush(stdout);
    if (keysRead)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &original);
}

bool OpenScreen(void) {
    if (!isatty(STDOUT_FILENO))
        return false;
    keysRead = tcgetattr(STDIN_FILENO, &original) == 0;
    if (keysRead) {
        // Each key as it is typed, Ctrl-C included (read as a key, so that
        // the screen is left in order), nothing echoed.
        struct termios raw = original;
        raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | ISIG | IEXTEN);
        raw.c_iflag &= ~(tcflag_t)(IXON | ICRNL);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    }
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = NoteResize; // no SA_RESTART: cuts the wait for a key short
    sigemptyset(&action.sa_mask);
    sigaction(SIGWINCH, &action, NULL);
    atexit(CloseScreen);
    fputs(kEnter, stdout);
    return true;
}

void ScreenSize(int *rows, int *columns) {
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0) {
        *rows = 24; // what a terminal that does not say is taken to have
        *columns = 80;
        return;
    }
    *rows = size.ws_row;
    *columns = size.ws_col;
}

// Keys that send more than one byte: the cursor keys, as terminals send them
// in either of their modes.
static int KeyOf(const unsigned char *bytes, ssize_t count) {
    if (count == 3 && bytes[0] == 0x1b && (bytes[1] == '[' || bytes[1] == 'O'))
        return bytes[2] == 'A' ? kKeyUp : bytes[2] == 'B' ? kKeyDown : kNoKey;
    return count == 1 ? (int)bytes[0] : (int)kNoKey;
}

int ReadKey(uint32_t timeoutMs) {
    if (resized) {
        resized = 0;
        return kKeyResized;
    }
    if (EndRequested())
        return kNoKey;
    if (!keysRead) {
        WaitMilliseconds(timeoutMs);
        return resized ? (resized = 0, kKeyResized) : kNoKey;
    }
    struct pollfd input = {STDIN_FILENO, POLLIN, 0};
    int ready = poll(&input, 1, (int)timeoutMs);
    if (ready <= 0)
        return resized ? (resized = 0, kKeyResized) : kNoKey;
    unsigned char bytes[8];
    ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count <= 0) {
        // The terminal is gone: no more keys, only the time.
        keysRead = false;
        return kNoKey;
    }
    return KeyOf(bytes, count);
}

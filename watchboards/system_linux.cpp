#include "system.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "console.h"
#include "file_name.h"
#include "grid.h"

static bool IsJournal(int fd) {
    const char *stream = getenv("JOURNAL_STREAM"); // "device:inode"
    struct stat status;
    unsigned long long device, inode;
    return stream != NULL && sscanf(stream, "%llu:%llu", &device, &inode) == 2 &&
           fstat(fd, &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

bool OutputIsJournal(void) { return IsJournal(STDOUT_FILENO); }

void SayOnError(SaidPriority priority, const char *lines) {
    bool journal = IsJournal(STDERR_FILENO);
    while (*lines != '\0') {
        size_t length = strcspn(lines, "\n");
        length += lines[length] == '\n';
        if (journal)
            fprintf(stderr, "<%d>", (int)priority);
        fwrite(lines, 1, length, stderr);
        lines += length;
    }
}

static volatile sig_atomic_t endRequested, writing;
static bool keysRead; // standard input is a terminal too
static struct termios original;

// A request to end while a write waits (on a pipe nobody reads, a terminal
// that is slow) ends the program at once: what was to be written is lost
// anyway.  The keys are given back to the terminal; its screen cannot be.
static void RequestEnd(int) {
    endRequested = 1;
    if (writing) {
        if (keysRead)
            tcsetattr(STDIN_FILENO, TCSANOW, &original);
        _exit(0);
    }
}

// The signals that interrupt a wait; a write they interrupt goes on where it
// was (SA_RESTART), which no wait does.
static void Catch(int signal, void (*handler)(int)) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, NULL);
}

void CatchEndRequests(void) {
    Catch(SIGINT, RequestEnd);
    Catch(SIGTERM, RequestEnd);
    Catch(SIGHUP, RequestEnd);
}

// A pipe takes a write of at most this many bytes (PIPE_BUF) whole or not
// at all.
enum { kWholeWrite = 4096 };

// Writes all of it; false with errno when it fails.  Once an end is
// requested only what leaves the screen is written: anything else could
// wait for good.  Lines go in writes that a pipe takes whole, as many whole
// lines as fit in each, so that a request to end while a write waits leaves
// none cut short.
static bool WriteAll(const char *bytes, size_t count, bool leaving) {
    while (count > 0) {
        writing = 1;
        if (endRequested && !leaving) {
            writing = 0;
            return true; // the round sees the request next
        }
        size_t piece = count;
        if (piece > kWholeWrite) {
            piece = kWholeWrite;
            while (piece > 0 && bytes[piece - 1] != '\n')
                piece--;
            if (piece == 0) // a line longer than a pipe takes whole
                piece = kWholeWrite;
        }
        ssize_t written = write(STDOUT_FILENO, bytes, piece);
        writing = 0;
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        bytes += written;
        count -= (size_t)written;
    }
    return true;
}

// Says on standard error that the file failed, and why; false.
static bool FileFailed(const char *file, int error) {
    static char shown[4 * 8192], line[sizeof shown + 256];
    EscapeControls(file, shown, sizeof shown);
    snprintf(line, sizeof line, "WatchBoards: %s: %s\n", shown, strerror(error));
    SayOnError(kSaidEnds, line);
    return false;
}

static bool ReplaceHeld(const char *path, const char *bytes, size_t count);

// While a temporary file is there, every signal but a fault waits: one
// whose default ends the program (SIGQUIT, SIGUSR1, SIGPIPE, ...) ends it
// by that default once the temporary is renamed or removed, a moment
// later, so that none is left behind.  Only SIGKILL can leave one.
bool ReplaceWholeFile(const char *path, const char *bytes, size_t count) {
    static const int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS};
    sigset_t held, before;
    sigfillset(&held);
    for (int fault : kFaults)
        sigdelset(&held, fault);
    sigprocmask(SIG_BLOCK, &held, &before);
    bool replaced = ReplaceHeld(path, bytes, count);
    sigprocmask(SIG_SETMASK, &before, NULL);
    return replaced;
}

static bool ReplaceHeld(const char *path, const char *bytes, size_t count) {
    static char temporary[8192];
    // Whatever the umask: the collector runs as a user of its own.
    int error = WriteBeside(path, bytes, count, 0644, temporary, sizeof temporary);
    if (error != 0)
        return FileFailed(temporary[0] != '\0' ? temporary : path, error);
    if (rename(temporary, path) != 0) {
        error = errno;
        unlink(temporary);
        return FileFailed(path, error);
    }
    return true;
}

void WriteOutput(const char *bytes, size_t count) {
    FlushOutput(); // what the stream holds goes first; a standard output closed at start fails
    if (!WriteAll(bytes, count, false))
        OutputFailed(errno);
}

bool EndRequested(void) { return endRequested != 0; }

void WaitMilliseconds(uint32_t milliseconds) {
    struct timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (!endRequested && nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// Set by a signal: the terminal changed size, or the screen was left for a
// while (suspended) and must be drawn whole.
static volatile sig_atomic_t resized, screenOpen;
static struct termios raw;

static void NoteResize(int) { resized = 1; }

// Each key as it is typed, Ctrl-C and Ctrl-Z included (read as keys, so
// that the screen is left in order), nothing echoed.
static void TakeKeys(void) {
    if (keysRead)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
}

// Leaves the terminal as OpenScreen found it.  Safe in a signal handler.
void LeaveScreen(void) {
    if (!screenOpen)
        return;
    screenOpen = 0;
    WriteAll(kLeaveScreen, sizeof kLeaveScreen - 1, true);
    if (keysRead)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &original);
}

static void EnterScreen(void) {
    TakeKeys();
    WriteAll(kEnterScreen, sizeof kEnterScreen - 1, true);
    screenOpen = 1;
}

// Ctrl-Z, or SIGTSTP from elsewhere: the terminal as it was while stopped,
// the screen again, drawn whole, once continued.
static void Suspend(int) {
    int saved = errno;
    LeaveScreen();
    signal(SIGTSTP, SIG_DFL);
    raise(SIGTSTP); // pending until unblocked: the process stops there
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, NULL);
    // Continued.
    Catch(SIGTSTP, Suspend);
    EnterScreen();
    resized = 1;
    errno = saved;
}

// The locale's name as C programs find it: LC_ALL, LC_CTYPE, then LANG,
// the first that is set.
static const char *Locale(void) {
    static const char *const kNames[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char *name : kNames) {
        const char *value = getenv(name);
        if (value != NULL && value[0] != '\0')
            return value;
    }
    return "C";
}

bool OpenScreen(TerminalAbilities *abilities, const char **whyNot) {
    if (!isatty(STDOUT_FILENO))
        return false;
    const char *term = getenv("TERM");
    if (!AbilitiesOf(term, getenv("NO_COLOR"), Locale(), abilities)) {
        *whyNot = term == NULL || term[0] == '\0' ? "no TERM, so no cursor to address"
                                                  : "TERM=dumb cannot address the cursor";
        return false;
    }
    keysRead = tcgetattr(STDIN_FILENO, &original) == 0;
    raw = original;
    raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~(tcflag_t)(IXON | ICRNL);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    Catch(SIGWINCH, NoteResize); // cuts the wait for a key short
    Catch(SIGTSTP, Suspend);
    atexit(LeaveScreen);
    FlushOutput();
    EnterScreen();
    return true;
}

static void LeaveKeys(void) { tcsetattr(STDIN_FILENO, TCSAFLUSH, &original); }

bool OpenKeys(void) {
    if (tcgetattr(STDIN_FILENO, &original) != 0)
        return false;
    keysRead = true;
    raw = original;
    raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO); // Ctrl-C and Ctrl-Z as the terminal takes them
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    atexit(LeaveKeys);
    TakeKeys();
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

// Bytes read but not yet taken as keys: a paste, or keys typed faster than
// they are read, come in one read.
static unsigned char pending[32];
static size_t pendingCount;

// Takes the first key off pending: a character, or a key as terminals send
// it in either of their modes: ESC [ A, ESC O A (up), ESC [ 5 ~ (PgUp),
// ESC [ H, ESC [ 1 ~ (Home)...  An escape alone is the key Esc.
static int TakeKey(void) {
    static const struct {
        const char *sequence; // after ESC [ or ESC O
        int key;
    } kSequences[] = {{"A", kKeyUp},   {"B", kKeyDown},  {"5~", kKeyPageUp}, {"6~", kKeyPageDown},
                      {"H", kKeyHome}, {"1~", kKeyHome}, {"7~", kKeyHome},   {"F", kKeyEnd},
                      {"4~", kKeyEnd}, {"8~", kKeyEnd}};
    size_t length = 1;
    int key = pending[0];
    if (pendingCount >= 3 && pending[0] == 0x1b && (pending[1] == '[' || pending[1] == 'O')) {
        key = kNoKey;
        length = 2;
        for (const auto &known : kSequences) {
            size_t n = strlen(known.sequence);
            if (pendingCount >= 2 + n && memcmp(pending + 2, known.sequence, n) == 0) {
                key = known.key;
                length = 2 + n;
                break;
            }
        }
        // Another sequence: up to its final character, passed over.
        while (key == kNoKey && length < pendingCount &&
               !(pending[length] >= 0x40 && pending[length] <= 0x7e))
            length++;
        if (key == kNoKey && length < pendingCount)
            length++;
    }
    pendingCount -= length;
    memmove(pending, pending + length, pendingCount);
    return key;
}

int ReadKey(uint32_t timeoutMs) {
    if (resized) {
        resized = 0;
        return kKeyResized;
    }
    if (EndRequested())
        return kNoKey;
    if (pendingCount == 0) {
        if (!keysRead) {
            WaitMilliseconds(timeoutMs);
            return resized ? (resized = 0, kKeyResized) : kNoKey;
        }
        struct pollfd input = {STDIN_FILENO, POLLIN, 0};
        int ready = poll(&input, 1, (int)timeoutMs);
        if (ready <= 0)
            return resized ? (resized = 0, kKeyResized) : kNoKey;
        ssize_t count = read(STDIN_FILENO, pending, sizeof pending);
        if (count <= 0) {
            // The terminal is gone: no more keys, only the time.
            keysRead = false;
            return kNoKey;
        }
        pendingCount = (size_t)count;
    }
    // Ctrl-Z, as the terminal would have taken it, also after other keys
    // read at once (typed fast, or pasted).
    int key = TakeKey();
    if (key == 26) {
        raise(SIGTSTP);
        return ReadKey(0);
    }
    return key;
}

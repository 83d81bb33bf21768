// qvgpio-sim: shows and sets the state of the simulated boards behind the
// libqvgpio stand-in, and shows its journal of calls.  Numbers may be given
// in decimal or, with 0x, in hexadecimal.  Every failure is said on standard
// error: a bad argument ends it with status 2, a store it cannot use with 1.
// Asked for help (-h, --help), it prints its usage on standard output.  What
// it prints that cannot be written ends it with 1 and a line.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board_store.h"
#include "number.h"
#include "run.h"

namespace {

// One verb: its name, its arguments and what it does for the usage text,
// how many arguments it takes (-1: one or more), and the function doing it
// with them.
struct Verb {
    const char *name;
    const char *arguments;
    const char *summary;
    int count;
    int (*run)(char **arguments);
};

int Show(char **arguments);
int Journal(char **arguments);
int Reset(char **arguments);
int ResetJournal(char **arguments);
int SetRegister(char **arguments);
int SetCounter(char **arguments);
int SetLinkStatus(char **arguments);

const Verb kVerbs[] = {
    {"show", "ADDRESS", "state of the board at ADDRESS", 1, Show},
    {"journal", "", "every call made, in order", 0, Journal},
    {"reset", "", "forget all boards and the journal", 0, Reset},
    {"reset-journal", "", "forget the journal only", 0, ResetJournal},
    {"set-register", "ADDRESS PORT REGISTER VALUE", "a 16-bit register", 4, SetRegister},
    {"set-counter", "ADDRESS PORT LOW-REGISTER VALUE", "a 32-bit counter in two registers", 4,
     SetCounter},
    {"set-link-status", "ADDRESS LAN VALUE", "LAN 4 is LanA, 6 LanB", 3, SetLinkStatus},
    {"run", "PROGRAM [ARGUMENT...]", "PROGRAM on the simulated boards", -1, RunOnSimulator},
};

void Usage(FILE *out) {
    for (const Verb &verb : kVerbs) {
        char call[64];
        snprintf(call, sizeof call, "qvgpio-sim %s %s", verb.name, verb.arguments);
        fprintf(out, "%s %-55s %s\n", &verb == kVerbs ? "usage:" : "      ", call, verb.summary);
    }
    fputs("The boards live in $QVGPIO_SIM_DIR, or else in $XDG_RUNTIME_DIR/qvgpio-sim or\n"
          "/tmp/qvgpio-sim-UID, a folder of your own.\n",
          out);
}

int BadArgument(const char *format, const char *what, const char *word) {
    fputs("qvgpio-sim: ", stderr);
    fprintf(stderr, format, what, word);
    fputc('\n', stderr);
    return 2;
}

// The argument called name, a number up to maximum; ends the program when it
// is not one.
uint32_t Number(const char *word, const char *name, uint32_t maximum) {
    uint32_t value;
    if (!ParseNumber(word, strlen(word), maximum, &value)) {
        char what[64];
        snprintf(what, sizeof what, "%s must be a number from 0 to 0x%x", name, maximum);
        exit(BadArgument("%s, not \"%s\"", what, word));
    }
    return value;
}

uint8_t Address(const char *word) { return (uint8_t)Number(word, "ADDRESS", 0xff); }

// status once standard output holds all that was printed; 1, said, when
// it failed (a full disk, closed at start).
int Written(int status) {
    int error = fflush(stdout) != 0 ? errno : ferror(stdout) ? EIO : 0;
    if (error == 0)
        return status;
    fprintf(stderr, "qvgpio-sim: standard output: %s\n", strerror(error));
    return 1;
}

int Failed() {
    SayFailure("qvgpio-sim", StoreFailure());
    return 1;
}

std::vector<std::string> Entries(const Folder &folder) {
    std::vector<std::string> names;
    int error = ListFolder(
        &folder,
        [](const char *name, void *names) {
            static_cast<std::vector<std::string> *>(names)->push_back(name);
        },
        &names);
    if (error != 0)
        exit((StoreFailed(&folder, "", error), Failed()));
    std::sort(names.begin(), names.end());
    return names;
}

// Every item of the board's folder, its name and text escaped: they are
// whatever anyone put in the store.
int Show(char **arguments) {
    uint8_t address = Address(arguments[0]);
    Folder store, board;
    StoreOutcome outcome = OpenStore(false, &store);
    if (outcome == kOpened) {
        outcome = OpenBoard(&store, address, false, &board);
        CloseFolder(&store);
    }
    if (outcome != kOpened)
        return outcome == kMissing ? 0 : Failed();
    std::vector<std::string> items = Entries(board);
    CloseFolder(&board);

    int status = 0;
    for (const std::string &item : items) {
        if (item.find('.') != std::string::npos)
            continue; // an item being replaced
        char text[64];
        uint32_t value;
        if (!ReadItem(address, item.c_str(), text, sizeof text) ||
            (ItemMaximum(item.c_str()) != 0 && !ReadNumberItem(address, item.c_str(), &value))) {
            status = Failed();
            continue;
        }
        char shownItem[1024], shownText[4 * sizeof text];
        EscapeText(item.c_str(), shownItem, sizeof shownItem);
        EscapeText(text, shownText, sizeof shownText);
        printf("%s %s\n", shownItem, shownText);
    }
    return Written(status);
}

int Journal(char **) {
    Folder store;
    StoreOutcome outcome = OpenStore(false, &store);
    if (outcome != kOpened)
        return outcome == kMissing ? 0 : Failed();
    int status = 0, fd;
    int error = OpenFile(&store, JOURNAL_FILE, kRead, &fd);
    if (error == 0) {
        char buffer[4096];
        ssize_t length;
        while ((length = read(fd, buffer, sizeof buffer)) > 0)
            fwrite(buffer, 1, (size_t)length, stdout);
        if (length < 0)
            status = (StoreFailed(&store, JOURNAL_FILE, errno), Failed());
        close(fd);
    } else if (error != ENOENT) {
        status = (StoreFailed(&store, JOURNAL_FILE, error), Failed());
    }
    CloseFolder(&store);
    return Written(status);
}

// Removes name from folder; false, said, when it cannot.
bool Remove(const Folder &folder, const std::string &name) {
    int error = RemoveEntry(&folder, name.c_str());
    return error == 0 || error == ENOENT || (StoreFailed(&folder, name.c_str(), error), false);
}

// Removes the journal and, with boards, every board's folder and items.  A
// link in a board's place is removed itself, never followed.
int Clear(bool boards) {
    Folder store;
    StoreOutcome outcome = OpenStore(false, &store);
    if (outcome != kOpened)
        return outcome == kMissing ? 0 : Failed();
    bool removed = Remove(store, JOURNAL_FILE);
    for (const std::string &name : boards ? Entries(store) : std::vector<std::string>()) {
        if (name.rfind("board-", 0) != 0)
            continue;
        Folder board;
        int error = OpenSubfolder(&store, name.c_str(), false, &board);
        if (error == 0) {
            for (const std::string &item : Entries(board))
                removed &= Remove(board, item);
            CloseFolder(&board);
        } else if (error != ELOOP && error != ENOTDIR) {
            removed = (StoreFailed(&store, name.c_str(), error), false);
            continue;
        }
        removed &= Remove(store, name);
    }
    CloseFolder(&store);
    return removed ? 0 : Failed();
}

int Reset(char **) { return Clear(true); }
int ResetJournal(char **) { return Clear(false); }

int SetNumber(uint8_t address, const char *item, uint32_t value) {
    return WriteNumberItem(address, item, value) ? 0 : Failed();
}

int SetRegister(char **arguments) {
    uint8_t address = Address(arguments[0]);
    uint32_t port = Number(arguments[1], "PORT", 0xff);
    uint32_t reg = Number(arguments[2], "REGISTER", 0xffff);
    uint32_t value = Number(arguments[3], "VALUE", 0xffff);
    char item[32];
    snprintf(item, sizeof item, ITEM_REGISTER_FORMAT, port, reg);
    return SetNumber(address, item, value);
}

int SetCounter(char **arguments) {
    uint8_t address = Address(arguments[0]);
    uint32_t port = Number(arguments[1], "PORT", 0xff);
    uint32_t low = Number(arguments[2], "LOW-REGISTER", 0xfffe);
    uint32_t value = Number(arguments[3], "VALUE", 0xffffffff);
    int status = 0;
    for (unsigned half = 0; half < 2 && status == 0; half++) {
        char item[32];
        snprintf(item, sizeof item, ITEM_REGISTER_FORMAT, port, low + half);
        status = SetNumber(address, item, value >> (16 * half) & 0xffff);
    }
    return status;
}

int SetLinkStatus(char **arguments) {
    uint8_t address = Address(arguments[0]);
    uint32_t lan = Number(arguments[1], "LAN", 0xff);
    if (lan != 4 && lan != 6)
        return BadArgument("%s, not %s", "LAN must be 4 (LanA) or 6 (LanB)", arguments[1]);
    uint32_t value = Number(arguments[2], "VALUE", 0xffffffff);
    char item[32];
    snprintf(item, sizeof item, ITEM_LINK_STATUS_FORMAT, lan);
    return SetNumber(address, item, value);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    if (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0) {
        Usage(stdout);
        return Written(0);
    }
    for (const Verb &verb : kVerbs) {
        if (strcmp(argv[1], verb.name) != 0)
            continue;
        if (verb.count >= 0 ? argc - 2 != verb.count : argc - 2 < 1) {
            fprintf(stderr, "qvgpio-sim: %s takes %s\n", verb.name,
                    verb.count == 0 ? "no arguments" : verb.arguments);
            return 2;
        }
        return verb.run(argv + 2);
    }
    fprintf(stderr, "qvgpio-sim: no verb \"%s\"\n", argv[1]);
    Usage(stderr);
    return 2;
}

// qvgpio-sim: shows and sets the state of the simulated boards behind the
// libqvgpio stand-in, and shows its journal of calls.  Numbers may be given
// in decimal or, with 0x, in hexadecimal.
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board_store.h"
#include "run.h"

static const char kUsage[] =
    "usage: qvgpio-sim show ADDRESS            state of the board at ADDRESS\n"
    "       qvgpio-sim journal                 every call made, in order\n"
    "       qvgpio-sim reset                   forget all boards and the journal\n"
    "       qvgpio-sim reset-journal           forget the journal only\n"
    "       qvgpio-sim set-register ADDRESS PORT REGISTER VALUE\n"
    "       qvgpio-sim set-counter ADDRESS PORT LOW-REGISTER VALUE\n"
    "                                          a 32-bit counter in two registers\n"
    "       qvgpio-sim set-link-status ADDRESS LAN VALUE\n"
    "       qvgpio-sim run PROGRAM [ARG...]     PROGRAM on the simulated boards\n"
    "The boards live in $QVGPIO_SIM_DIR, or /tmp/qvgpio-sim.\n";

static std::string Directory() { return StoreDirectory(); }

static bool Number(const char *text, unsigned long maximum, unsigned long *value) {
    char *end;
    *value = strtoul(text, &end, 0);
    return *text != '\0' && *text != '-' && *end == '\0' && *value <= maximum;
}

static int Fail(const char *what) {
    fprintf(stderr, "qvgpio-sim: %s\n", what);
    return 2;
}

static std::vector<std::string> Entries(const std::string &directory) {
    std::vector<std::string> names;
    if (DIR *d = opendir(directory.c_str())) {
        while (struct dirent *entry = readdir(d))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

static int Show(uint8_t address) {
    char folder[16];
    snprintf(folder, sizeof folder, "board-%02x", address);
    for (const std::string &item : Entries(Directory() + "/" + folder)) {
        if (item.find('.') != std::string::npos)
            continue; // an item being replaced
        char text[64];
        ReadItem(address, item.c_str(), text, sizeof text);
        printf("%s %s\n", item.c_str(), text);
    }
    return 0;
}

static int Journal() {
    FILE *journal = fopen((Directory() + "/" JOURNAL_FILE).c_str(), "r");
    if (journal == NULL)
        return 0;
    char buffer[4096];
    size_t length;
    while ((length = fread(buffer, 1, sizeof buffer, journal)) > 0)
        fwrite(buffer, 1, length, stdout);
    fclose(journal);
    return 0;
}

static int ResetJournal() {
    unlink((Directory() + "/" JOURNAL_FILE).c_str());
    return 0;
}

static int Reset() {
    std::string directory = Directory();
    for (const std::string &name : Entries(directory)) {
        std::string path = directory + "/" + name;
        if (name.rfind("board-", 0) == 0) {
            for (const std::string &item : Entries(path))
                unlink((path + "/" + item).c_str());
            rmdir(path.c_str());
        } else if (name == JOURNAL_FILE) {
            unlink(path.c_str());
        }
    }
    return 0;
}

int main(int argc, char **argv) {
    std::vector<unsigned long> n(argc);
    std::string command = argc > 1 ? argv[1] : "";
    auto numbers = [&](int count, const unsigned long *maxima) {
        if (argc != count + 2)
            return false;
        for (int i = 0; i < count; i++)
            if (!Number(argv[i + 2], maxima[i], &n[i]))
                return false;
        return true;
    };
    static const unsigned long kAddress[] = {0xff};
    static const unsigned long kRegister[] = {0xff, 0xff, 0xffff, 0xffff};
    static const unsigned long kCounter[] = {0xff, 0xff, 0xfffe, 0xffffffff};
    static const unsigned long kLink[] = {0xff, 0xff, 0xffffffff};

    if (command == "run" && argc > 2)
        return RunOnSimulator(argv + 2);
    if (command == "show" && numbers(1, kAddress))
        return Show((uint8_t)n[0]);
    if (command == "journal" && argc == 2)
        return Journal();
    if (command == "reset" && argc == 2)
        return Reset();
    if (command == "reset-journal" && argc == 2)
        return ResetJournal();

    char item[32];
    if (command == "set-register" && numbers(4, kRegister)) {
        snprintf(item, sizeof item, ITEM_REGISTER_FORMAT, (unsigned)n[1], (unsigned)n[2]);
        return WriteNumberItem((uint8_t)n[0], item, (uint32_t)n[3]) ? 0 : Fail("cannot write");
    }
    if (command == "set-counter" && numbers(4, kCounter)) {
        bool written = true;
        for (unsigned half = 0; half < 2; half++) {
            snprintf(item, sizeof item, ITEM_REGISTER_FORMAT, (unsigned)n[1],
                     (unsigned)n[2] + half);
            written &=
                WriteNumberItem((uint8_t)n[0], item, (uint32_t)(n[3] >> (16 * half)) & 0xffff);
        }
        return written ? 0 : Fail("cannot write");
    }
    if (command == "set-link-status" && numbers(3, kLink)) {
        snprintf(item, sizeof item, ITEM_LINK_STATUS_FORMAT, (unsigned)n[1]);
        return WriteNumberItem((uint8_t)n[0], item, (uint32_t)n[2]) ? 0 : Fail("cannot write");
    }
    fputs(kUsage, stderr);
    return 2;
}

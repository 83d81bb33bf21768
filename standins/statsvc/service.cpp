// RiDuvOzi.exe: a stand-in for the statistics service.  For each board index
// on its command line it creates the board's shared block, publishes
// plausible statistics in it once a second, and removes its blocks when it
// is stopped (SIGINT, SIGTERM), as the service's blocks vanish with it.
// A setting BOARD:FIELD=VALUE, on the command line or a line of its own on
// standard input, puts a value into a field and holds it there.
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "block.h"
#include "prp_value.h"

namespace {

const char kUsage[] = "usage: RiDuvOzi.exe BOARD-INDEX... [BOARD:FIELD=VALUE...]\n"
                      "Publishes statistics for each board in its shared block once a second.\n"
                      "A setting holds FIELD of BOARD at VALUE; more settings may follow on\n"
                      "standard input, one a line.  Fields: rxGoodOctetsA rxGoodOctetsB rxErrA\n"
                      "rxErrB txOctetsA txOctetsB linkStatusA linkStatusB.\n";

struct Field {
    size_t offset;
    size_t size;
};

// clang-format off
#define FIELD(name) {#name, {PRP_FIELD(name)}}
// clang-format on
const std::map<std::string, Field> kFields = {
    FIELD(rxGoodOctetsA), FIELD(rxGoodOctetsB), FIELD(rxErrA),      FIELD(rxErrB),
    FIELD(txOctetsA),     FIELD(txOctetsB),     FIELD(linkStatusA), FIELD(linkStatusB),
};

struct Board {
    int32_t index;
    StatisticsNameChar name[kStatisticsMapNameSize];
    PrpValue *record;
    std::map<std::string, uint32_t> held; // field -> value
};

volatile sig_atomic_t stopping = 0;

// Settings read from standard input, waiting to be applied.
std::mutex settingsLock;
std::vector<std::string> settingsRead;

void Stop(int) { stopping = 1; }

uint32_t Get(const PrpValue *record, const Field &field) {
    uint32_t value = 0;
    memcpy(&value, (const uint8_t *)record + field.offset, field.size);
    return value;
}

void Put(PrpValue *record, const Field &field, uint32_t value) {
    memcpy((uint8_t *)record + field.offset, &value, field.size);
}

bool ParseNumber(const std::string &text, long long low, long long high, long long *value) {
    if (text.empty())
        return false;
    char *end;
    errno = 0;
    *value = strtoll(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && *value >= low && *value <= high;
}

// BOARD:FIELD=VALUE; false, with a word on standard error, when it is not one.
bool Apply(std::vector<Board> &boards, const std::string &setting) {
    size_t colon = setting.find(':'), equals = setting.find('=');
    long long index, value;
    if (colon == std::string::npos || equals == std::string::npos || equals < colon ||
        !ParseNumber(setting.substr(0, colon), INT32_MIN, INT32_MAX, &index)) {
        fprintf(stderr, "RiDuvOzi.exe: not a setting: %s\n", setting.c_str());
        return false;
    }
    std::string name = setting.substr(colon + 1, equals - colon - 1);
    auto field = kFields.find(name);
    long long maximum = field != kFields.end() && field->second.size == 1 ? 0xff : 0xffffffffLL;
    if (field == kFields.end() ||
        !ParseNumber(setting.substr(equals + 1), INT32_MIN, maximum, &value)) {
        fprintf(stderr, "RiDuvOzi.exe: no such field or value: %s\n", setting.c_str());
        return false;
    }
    for (Board &board : boards) {
        if (board.index == index) {
            board.held[name] = (uint32_t)value;
            Put(board.record, field->second, (uint32_t)value);
            printf("board %d: %s held at %lld\n", board.index, name.c_str(), value);
            fflush(stdout);
            return true;
        }
    }
    fprintf(stderr, "RiDuvOzi.exe: board %lld is not published here\n", index);
    return false;
}

// Traffic of a few busy seconds on both LANs; errors now and then.
void Publish(Board &board, unsigned tick) {
    uint32_t load = 1000u + (uint32_t)(board.index & 0xff) * 10u + tick % 50u;
    const std::pair<const char *, uint32_t> growth[] = {
        {"rxGoodOctetsA", load * 1500u}, {"rxGoodOctetsB", load * 1490u},
        {"txOctetsA", load * 1400u},     {"txOctetsB", load * 1410u},
        {"rxErrA", tick % 7 == 0},       {"rxErrB", tick % 11 == 0},
    };
    for (const auto &[name, step] : growth) {
        if (!board.held.count(name)) {
            const Field &field = kFields.at(name);
            Put(board.record, field, Get(board.record, field) + step);
        }
    }
    for (const char *name : {"linkStatusA", "linkStatusB"})
        if (!board.held.count(name))
            Put(board.record, kFields.at(name), 1); // link up
}

} // namespace

int main(int argc, char **argv) {
    std::vector<Board> boards;
    std::vector<std::string> settings;
    for (int i = 1; i < argc; i++) {
        long long index;
        if (strchr(argv[i], ':') != nullptr)
            settings.push_back(argv[i]);
        else if (ParseNumber(argv[i], INT32_MIN, INT32_MAX, &index))
            boards.push_back({(int32_t)index, {}, nullptr, {}});
        else
            return fputs(kUsage, stderr), 2;
    }
    if (boards.empty())
        return fputs(kUsage, stderr), 2;

    signal(SIGINT, Stop);
    signal(SIGTERM, Stop);

    int status = 0;
    for (Board &board : boards) {
        StatisticsMapName(board.index, board.name);
        board.record = CreateBlock(board.name);
        if (board.record == nullptr) {
            stopping = 1;
            status = 1;
            break;
        }
        printf("board %d: publishing\n", board.index);
    }
    for (const std::string &setting : settings)
        if (!stopping && !Apply(boards, setting))
            stopping = 1, status = 2;
    fflush(stdout);

    std::thread([] {
        for (std::string line; std::getline(std::cin, line);) {
            std::lock_guard<std::mutex> hold(settingsLock);
            settingsRead.push_back(line);
        }
    }).detach(); // at the end of input there are just no more settings

    using Clock = std::chrono::steady_clock;
    auto next = Clock::now();
    for (unsigned tick = 0; !stopping;) {
        if (Clock::now() >= next) {
            for (Board &board : boards)
                Publish(board, tick);
            tick++;
            next += std::chrono::seconds(1);
        }
        std::vector<std::string> lines;
        {
            std::lock_guard<std::mutex> hold(settingsLock);
            lines.swap(settingsRead);
        }
        for (std::string &line : lines) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                Apply(boards, line);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    for (Board &board : boards)
        if (board.record != nullptr)
            RemoveBlock(board.name, board.record);
    return status;
}

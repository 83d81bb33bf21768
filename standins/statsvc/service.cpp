// RiDuvOzi.exe: a stand-in for the statistics service.  For each board index
// on its command line it makes the board's shared block, publishes traffic
// in it once a second, and removes its blocks when a signal stops it, as the
// service's blocks vanish with it.  Settings (see settings.h), on the
// command line or one a line on standard input, hold a field at a value,
// set a counter's rate, or reset a board's counters.  Asked for help (-h,
// --help), it prints its usage on standard output.
#include <signal.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "block.h"
#include "prp_value.h"
#include "settings.h"

namespace {

const char kUsage[] =
    "usage: RiDuvOzi.exe BOARD... [SETTING...]\n"
    "Publishes statistics for each BOARD (a board index, in decimal) in its shared\n"
    "block once a second, until a signal stops it; then removes its blocks.  Both\n"
    "LANs carry nearly the same traffic, as in PRP, with an error now and then, and\n"
    "the links are up (1).  Settings, here or one a line on standard input:\n"
    "  BOARD:FIELD=VALUE    holds FIELD of BOARD at VALUE\n"
    "  BOARD:FIELD+=VALUE   lets the counter FIELD grow by VALUE a second\n"
    "  BOARD:reset          sets every counter of BOARD to 0, as a restarted service\n"
    "VALUE is decimal or 0x hexadecimal: 0 to 4294967295 for the counters\n"
    "rxGoodOctetsA rxGoodOctetsB rxErrA rxErrB txOctetsA txOctetsB, 0 to 255 for\n"
    "linkStatusA linkStatusB.  Blanks may stand around each part; a setting is at\n"
    "most %d bytes.  A rate on one LAN only makes the LANs diverge.\n";

struct Board {
    Block block;
    PrpValue record;                           // the service's own, written whole
    std::optional<uint32_t> rate[kFieldCount]; // a counter's growth a second, once set
    std::string problem;                       // the block's failure last told
};

volatile sig_atomic_t stopping = 0;
void Stop(int) { stopping = 1; }

// Settings read from standard input, waiting to be applied.
std::mutex settingsLock;
std::vector<std::string> settingsRead;

uint32_t Get(const PrpValue &record, const Field &field) {
    uint32_t value = 0;
    memcpy(&value, (const uint8_t *)&record + field.offset, field.size);
    return value;
}

void Put(PrpValue &record, const Field &field, uint32_t value) {
    memcpy((uint8_t *)&record + field.offset, &value, field.size);
}

void Say(const std::string &line) { fprintf(stderr, "RiDuvOzi.exe: %s\n", line.c_str()); }

// Writes the board's record into its block, telling a failure once.
void Write(Board &board) {
    std::string why;
    if (WriteBlock(&board.block, board.record, &why))
        why.clear();
    else if (why != board.problem)
        Say(why);
    board.problem = why;
}

// A setting in the text; false, said, when it cannot be applied.
bool Apply(std::vector<Board> &boards, const std::string &text) {
    Setting setting;
    std::string why;
    Parsed parsed = ParseSetting(text, &setting, &why);
    if (parsed != kTaken)
        return parsed == kBlank || (Say(why), false);
    Board *board = nullptr;
    for (Board &candidate : boards)
        if (candidate.block.boardIndex == setting.board)
            board = &candidate;
    if (board == nullptr) {
        Say("board " + std::to_string(setting.board) + " is not published here");
        return false;
    }
    std::string done;
    if (setting.action == Setting::kReset) {
        for (const Field &field : kFields)
            if (IsCounter(field))
                Put(board->record, field, 0);
        done = "counters reset";
    } else {
        const Field &field = kFields[setting.field];
        std::string value = std::to_string(setting.value);
        if (setting.action == Setting::kRate) {
            board->rate[setting.field] = setting.value;
            done = std::string(field.name) + " grows by " + value + " a second";
        } else {
            Put(board->record, field, setting.value);
            if (IsCounter(field))
                board->rate[setting.field] = 0;
            done = std::string(field.name) + " held at " + value;
        }
    }
    Write(*board); // before it is said, so that what is said is in the block
    printf("board %d: %s\n", setting.board, done.c_str());
    fflush(stdout);
    return true;
}

// A second of a busy network as PRP carries it: every frame goes out on
// both LANs, so both count nearly the same octets.  LanB misses a few frames
// each second (0.2 to 0.6 per cent), and now and then a frame arrives
// damaged on one LAN and counts as an error there instead.
PrpValue DefaultTraffic(int32_t boardIndex, unsigned tick) {
    const uint32_t kFrame = 1500;
    uint32_t load = 1250000u + (uint32_t)(boardIndex & 0xff) * 10000u + tick % 50u * 5000u;
    uint32_t missedOnB = load / 500 * (1 + tick % 3);
    bool errorA = tick % 7 == 0, errorB = tick % 11 == 0;
    PrpValue step = {};
    step.rxGoodOctetsA = (int32_t)(load - (errorA ? kFrame : 0));
    step.rxGoodOctetsB = (int32_t)(load - missedOnB - (errorB ? kFrame : 0));
    step.rxErrA = errorA;
    step.rxErrB = errorB;
    step.txOctetsA = step.txOctetsB = (int32_t)(load / 10 * 9);
    return step;
}

void Publish(Board &board, unsigned tick) {
    PrpValue traffic = DefaultTraffic(board.block.boardIndex, tick);
    for (int i = 0; i < kFieldCount; i++) {
        const Field &field = kFields[i];
        if (IsCounter(field)) {
            uint32_t step = board.rate[i] ? *board.rate[i] : Get(traffic, field);
            Put(board.record, field, Get(board.record, field) + step);
        }
    }
    Write(board);
}

// Lines of standard input, each kept to one byte more than a setting may
// have, so that a line of any length costs no more.
void ReadSettings() {
    std::string line;
    auto queue = [&line] {
        std::lock_guard<std::mutex> hold(settingsLock);
        settingsRead.push_back(line);
        line.clear();
    };
    for (int c; (c = getchar()) != EOF;) {
        if (c == '\n')
            queue();
        else if (line.size() <= kLongestSetting)
            line += (char)c;
    }
    if (!line.empty())
        queue();
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0)
            return printf(kUsage, kLongestSetting), 0;
    std::vector<int32_t> indices;
    std::vector<std::string> settings;
    for (int i = 1; i < argc; i++) {
        int32_t index;
        if (strchr(argv[i], ':') != nullptr) {
            settings.push_back(argv[i]);
        } else if (!ParseBoardIndex(argv[i], &index)) {
            Say(std::string("not a board index: \"") + argv[i] + "\"");
            return fprintf(stderr, kUsage, kLongestSetting), 2;
        } else if (std::find(indices.begin(), indices.end(), index) != indices.end()) {
            Say("board " + std::to_string(index) + " given twice");
            return 2;
        } else {
            indices.push_back(index);
        }
    }
    if (indices.empty())
        return fprintf(stderr, kUsage, kLongestSetting), 2;

    CatchEndingSignals(Stop);
    std::vector<Board> boards(indices.size());
    int status = 0;
    for (size_t i = 0; i < boards.size() && status == 0; i++) {
        Board &board = boards[i];
        std::string why;
        if (!OpenBlock(indices[i], &board.block, &why)) {
            Say(why);
            boards.resize(i); // holding nothing of this board or those after
            status = 1;
            break;
        }
        board.record = {};
        board.record.linkStatusA = board.record.linkStatusB = 1; // link up
        Write(board);
        printf("board %d: publishing\n", indices[i]);
    }
    for (const std::string &setting : settings)
        if (status == 0 && !Apply(boards, setting))
            status = 2;
    fflush(stdout);

    if (status == 0) {
        std::thread(ReadSettings).detach(); // at the end of input there are just no more
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
            for (const std::string &line : lines)
                Apply(boards, line);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    for (Board &board : boards)
        RemoveBlock(&board.block);
    return status;
}

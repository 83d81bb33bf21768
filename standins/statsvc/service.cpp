// RiDuvOzi.exe: a stand-in for the statistics service.  For each board index
// on its command line it makes the board's shared block, publishes traffic
// in it once a second, and removes its blocks when a signal stops it, as the
// service's blocks vanish with it.  Settings (see settings.h), on the
// command line or one a line on standard input, hold a field at a value,
// set a counter's rate, or reset a board's counters; like everything else in
// a record, they change it only when the service publishes.  Asked for help
// (-h, --help), it prints its usage on standard output; status 1 and a line
// on standard error when that fails.
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "block.h"
#include "block_name.h"
#include "prp_value.h"
#include "settings.h"

namespace {

const char kUsage[] =
    "usage: RiDuvOzi.exe BOARD... [SETTING...]\n"
    "Publishes statistics for each BOARD (a board index, in decimal) in its shared\n"
    "block once a second, until a signal stops it; then removes its blocks.  Both\n"
    "LANs carry nearly the same traffic, as in PRP, without errors, and the links\n"
    "are up (1).  Settings, here or one a line on standard input:\n"
    "  BOARD:FIELD=VALUE    holds FIELD of BOARD at VALUE\n"
    "  BOARD:FIELD+=VALUE   lets the counter FIELD grow by VALUE a second\n"
    "  BOARD:reset          sets every counter of BOARD to 0, as a restarted service\n"
    "VALUE is decimal or 0x hexadecimal: 0 to 4294967295 for the counters\n"
    "rxGoodOctetsA rxGoodOctetsB rxErrA rxErrB txOctetsA txOctetsB, 0 to 255 for\n"
    "linkStatusA linkStatusB.  Blanks may stand around each part; a setting is at\n"
    "most %d bytes.  A rate on one LAN only makes the LANs diverge.  A setting\n"
    "takes effect at the next publication (here: at the first), and is said on\n"
    "standard output once it is in the block.\n";

struct Board {
    Block block;
    PrpValue record;                           // the service's own, written whole
    std::optional<uint32_t> rate[kFieldCount]; // a counter's growth a second, once set
    std::string problem;                       // the block's failure last told
};

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopping = 0;
void Stop(int) { stopping = 1; }

// Settings read from standard input, waiting to be applied.  Only a few are
// held: input that comes faster than the service applies it waits in its
// pipe, and its writer with it, instead of filling the service's memory;
// and a signal ends the service after the one setting being applied, not
// after a backlog.  Plain arrays, which need no destroying, since the
// reader may still be at work when main returns.
struct Line {
    size_t length;
    char text[kLongestSetting + 1]; // one byte more than a setting may have
};
enum { kLinesHeld = 256 };
std::mutex settingsLock;
Line settingsRead[kLinesHeld];
size_t firstRead, linesRead;

uint32_t Get(const PrpValue &record, const Field &field) {
    uint32_t value = 0;
    memcpy(&value, (const uint8_t *)&record + field.offset, field.size);
    return value;
}

void Put(PrpValue &record, const Field &field, uint32_t value) {
    memcpy((uint8_t *)&record + field.offset, &value, field.size);
}

void Say(const std::string &line) { fprintf(stderr, "RiDuvOzi.exe: %s\n", line.c_str()); }

// 0 once standard output holds all that was printed; 1, said, when it
// failed (a full disk, closed at start).
int OutputStatus() {
    int error = fflush(stdout) != 0 ? errno : ferror(stdout) ? EIO : 0;
    if (error == 0)
        return 0;
    Say(std::string("standard output: ") + strerror(error));
    return 1;
}

// Writes the board's record into its block, telling a failure once.
void Write(Board &board) {
    std::string why;
    if (WriteBlock(&board.block, board.record, &why))
        why.clear();
    else if (why != board.problem)
        Say(why);
    board.problem = why;
}

// The setting in text, for one of the boards published; kRefused, said,
// when it is no setting or is for another board.
Parsed Check(const std::vector<int32_t> &indices, const std::string &text, Setting *setting) {
    std::string why;
    Parsed parsed = ParseSetting(text, setting, &why);
    if (parsed == kTaken &&
        std::find(indices.begin(), indices.end(), setting->board) == indices.end()) {
        why = "board " + std::to_string(setting->board) + " is not published here";
        parsed = kRefused;
    }
    if (parsed == kRefused)
        Say(why);
    return parsed;
}

// Applies a setting Check took to the board's record, which the next
// publication writes; what is to be said once it is in the block.
std::string Apply(std::vector<Board> &boards, const Setting &setting) {
    Board *board = &boards[0];
    for (Board &candidate : boards)
        if (candidate.block.boardIndex == setting.board)
            board = &candidate;
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
    return "board " + std::to_string(setting.board) + ": " + done;
}

// A second of a busy, healthy network as PRP carries it: every frame goes
// out on both LANs, so both count nearly the same octets, LanB missing a
// few frames each second (0.2 to 0.6 per cent); no errors, which a healthy
// board does not count (the alerts would fire on them).
PrpValue DefaultTraffic(int32_t boardIndex, unsigned tick) {
    uint32_t load = 1250000u + (uint32_t)(boardIndex & 0xff) * 10000u + tick % 50u * 5000u;
    uint32_t missedOnB = load / 500 * (1 + tick % 3);
    PrpValue step = {};
    step.rxGoodOctetsA = (int32_t)load;
    step.rxGoodOctetsB = (int32_t)(load - missedOnB);
    step.txOctetsA = step.txOctetsB = (int32_t)(load / 10 * 9);
    return step;
}

// A second of the board's traffic, at the rates in force.
void CountASecond(Board &board, unsigned tick) {
    PrpValue traffic = DefaultTraffic(board.block.boardIndex, tick);
    for (int i = 0; i < kFieldCount; i++) {
        const Field &field = kFields[i];
        if (IsCounter(field)) {
            uint32_t step = board.rate[i] ? *board.rate[i] : Get(traffic, field);
            Put(board.record, field, Get(board.record, field) + step);
        }
    }
}

// Says what was done, once it is in the blocks; a reader that reads nothing
// holds the service here, until a signal stops it.
void SayDone(const std::vector<std::string> &said) {
    for (size_t i = 0; i < said.size() && !stopping; i++)
        printf("%s\n", said[i].c_str());
    fflush(stdout);
}

// Lines of standard input, each kept to one byte more than a setting may
// have, so that a line of any length costs no more.  While the settings held
// are as many as may be, it waits for room.
void ReadSettings() {
    Line line = {};
    auto keep = [&line] {
        for (;;) {
            {
                std::lock_guard<std::mutex> hold(settingsLock);
                if (linesRead < kLinesHeld) {
                    settingsRead[(firstRead + linesRead++) % kLinesHeld] = line;
                    line.length = 0;
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    for (int c; (c = getchar()) != EOF;) {
        if (c == '\n')
            keep();
        else if (line.length < sizeof line.text)
            line.text[line.length++] = (char)c;
    }
    if (line.length > 0)
        keep();
}

// The setting read first, taken out of the settings held; false when none
// is held.
bool TakeSetting(std::string *text) {
    std::lock_guard<std::mutex> hold(settingsLock);
    if (linesRead == 0)
        return false;
    const Line &line = settingsRead[firstRead];
    text->assign(line.text, line.length);
    firstRead = (firstRead + 1) % kLinesHeld;
    linesRead--;
    return true;
}

// Opens the board's block.  One held by another service may be held by one
// that is ending, as when a service is restarted: it is tried again for 2
// seconds, unless a signal stops this service first.
BlockOutcome OpenBoard(int32_t boardIndex, Block *block, std::string *why) {
    auto end = Clock::now() + std::chrono::seconds(2);
    BlockOutcome outcome;
    while ((outcome = OpenBlock(boardIndex, block, why)) == kBlockHeld && !stopping &&
           Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return outcome;
}

// Publishes the boards, whose blocks are opened into boards, until a signal
// stops it; the status to end with.  The first publication has every
// counter at 0 and the links up, but as the command line's settings have
// them; each one after it a second of traffic more, then the settings read
// meanwhile: a value held, or a reset, is what the publication shows, a
// rate counts from it on.  Nothing changes a block between publications.
int Serve(const std::vector<int32_t> &indices, const std::vector<Setting> &settings,
          std::vector<Board> &boards) {
    std::vector<std::string> said;
    for (int32_t index : indices) {
        boards.emplace_back(); // within the room reserved, so that it throws nothing
        Board &board = boards.back();
        std::string why;
        if (OpenBoard(index, &board.block, &why) != kBlockOpened) {
            boards.pop_back();
            if (stopping)
                return 0;
            Say(why);
            return 1;
        }
        board.record = {};
        board.record.linkStatusA = board.record.linkStatusB = 1; // link up
        said.push_back("board " + std::to_string(index) + ": publishing");
    }
    for (const Setting &setting : settings)
        said.push_back(Apply(boards, setting));
    for (Board &board : boards)
        Write(board);
    SayDone(said);

    // At the end of input there are just no more settings.
    StartReading(ReadSettings);
    auto next = Clock::now() + std::chrono::seconds(1);
    std::string text;
    for (unsigned tick = 0; !stopping; tick++) {
        for (auto now = Clock::now(); !stopping && now < next; now = Clock::now())
            std::this_thread::sleep_for(
                std::min<Clock::duration>(next - now, std::chrono::milliseconds(20)));
        if (stopping)
            break;
        for (Board &board : boards)
            CountASecond(board, tick);
        // As many as may be held, so that a flood does not hold up the
        // publication.
        said.clear();
        for (int taken = 0; !stopping && taken < kLinesHeld && TakeSetting(&text); taken++) {
            Setting setting;
            if (Check(indices, text, &setting) == kTaken)
                said.push_back(Apply(boards, setting));
        }
        for (Board &board : boards)
            Write(board);
        SayDone(said);
        next += std::chrono::seconds(1);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0)
            return printf(kUsage, kLongestSetting), OutputStatus();
    std::vector<int32_t> indices;
    std::vector<std::string> texts;
    for (int i = 1; i < argc; i++) {
        int32_t index;
        if (strchr(argv[i], ':') != nullptr) {
            texts.push_back(argv[i]);
        } else if (!ParseBoardIndex(argv[i], strlen(argv[i]), &index)) {
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
    // All of the command line is checked before any block is made.
    std::vector<Setting> settings;
    for (const std::string &text : texts) {
        Setting setting;
        Parsed parsed = Check(indices, text, &setting);
        if (parsed == kRefused)
            return 2;
        if (parsed == kTaken)
            settings.push_back(setting);
    }
    std::string why;
    if (!RoomForBlocks(indices.size(), &why)) {
        Say(why);
        return 1;
    }

    CatchEndingSignals(Stop);
    std::vector<Board> boards;
    boards.reserve(indices.size());
    int status;
    try {
        status = Serve(indices, settings, boards);
    } catch (const std::exception &failure) { // such as memory running out
        Say(failure.what());
        status = 1;
    }
    for (Board &board : boards)
        RemoveBlock(&board.block);
    return status;
}

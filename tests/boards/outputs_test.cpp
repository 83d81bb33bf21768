// One board's story, told by every output from the same publications: a
// publisher that writes on its tick (and, in some rows, between ticks, or
// cuts its block short), read and rounded as a watch does, then said by the
// screen's heading, a line, the metrics, the events and check_prp_hsr.
// Every output must tell the same verdict.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../watchboards/fields.h"
#include "answer.h"
#include "board_block.h"
#include "event_lines.h"
#include "metrics.h"
#include "samples.h"

namespace test {
namespace {

// The service publishes 237 ms past each second; the reader starts at 0,
// and sees each publication at its next read, 300 ms past the second.
const uint64_t kTickMs = 237;

// The ticks published by ms: the first, at kTickMs, is 1.
uint64_t Ticks(uint64_t ms) { return ms < kTickMs ? 0 : (ms - kTickMs) / 1000 + 1; }

struct Published {
    BlockState state;
    Counters counters;
};
using Publisher = std::function<Published(uint64_t ms)>;

// Board 3's traffic in each row: octets and errors a second of each LAN,
// grown at each tick.
Counters Steady(uint64_t ticks, uint32_t rxA, uint32_t rxB, uint32_t errA = 0) {
    return {(uint32_t)(rxA * ticks),
            (uint32_t)(rxB * ticks),
            (uint32_t)(90000 * ticks),
            (uint32_t)(90000 * ticks),
            (uint32_t)(errA * ticks),
            0,
            1,
            1};
}

struct Row {
    const char *what;
    Publisher board3;
    uint64_t untilMs;
    // The verdict: the state, and its troubles as a person reads them.
    const char *state;
    std::vector<std::string> troubles;
    const char *plugin; // OK, WARNING, CRITICAL
    const char *fields; // NAME=VALUE of board 3's last line
    const char *events; // every event said of board 3, without their times
};

// Board 4 beside it publishes on every tick, as the service does.
Published Neighbour(uint64_t ms) { return {kBlockWhole, Steady(Ticks(ms), 125000, 125000)}; }

const Row kRows[] = {
    {"LanB lost and back: the link's trouble, and no word of the mark",
     [](uint64_t ms) {
         uint64_t t = Ticks(ms);
         Counters c = Steady(t, 125000, 125000);
         if (t >= 3 && t < 5) { // LanB carries nothing while down
             c.rxGoodOctetsB = 125000 * 2;
             c.linkStatusB = 0;
         } else if (t >= 5) {
             c.rxGoodOctetsB = (uint32_t)(125000 * (t - 2));
         }
         return Published{kBlockWhole, c};
     },
     3900,
     "live",
     {"LanB down"},
     "CRITICAL",
     "linkStatusB=0 rxDivergence= divergent=0 linkLossesB=1 linkDownSecondsB=1",
     "LanB down\n"},
    {"and back: time down from the publication that showed it down to the one that showed it up",
     [](uint64_t ms) {
         uint64_t t = Ticks(ms);
         Counters c = Steady(t, 125000, 125000);
         c.linkStatusB = t >= 3 && t < 5 ? 0 : 1;
         return Published{kBlockWhole, c};
     },
     7600,
     "live",
     {},
     "OK",
     "linkStatusB=1 divergent=0 linkLossesB=1 linkDownSecondsB=2",
     "LanB down\nLanB up after 2.0 s\n"},
    {"a link written down and up between two publications: a publication's moment each",
     [](uint64_t ms) {
         Counters c = Steady(Ticks(ms), 125000, 125000);
         c.linkStatusB = ms >= 2650 && ms < 4650 ? 0 : 1;
         return Published{kBlockWhole, c};
     },
     7600,
     "live",
     {},
     "OK",
     "intervalMs=1000 rxRateA=1000000 linkLossesB=1 linkDownSecondsB=2 resets=0",
     "LanB down\nLanB up after 2.0 s\n"},
    {"LanA and LanB apart",
     [](uint64_t ms) {
         return Published{kBlockWhole, Steady(Ticks(ms), 125000, 100000)};
     },
     4600,
     "live",
     {"rx +20.0%"},
     "WARNING",
     "rxDivergence=20.0 divergent=1",
     ""}, // as it was at the first round: no change
    {"errors",
     [](uint64_t ms) {
         return Published{kBlockWhole, Steady(Ticks(ms), 125000, 125000, 5)};
     },
     4600,
     "live",
     {"LanA 5 err/s"},
     "WARNING",
     "rxErrDeltaA=5 divergent=0",
     ""},
    {"a block cut short for a while, over a round: short, nothing more",
     [](uint64_t ms) {
         return Published{ms >= 3300 && ms < 4100 ? kBlockShort : kBlockWhole,
                          Steady(Ticks(ms), 125000, 125000)};
     },
     6600,
     "live",
     {},
     "OK",
     "linkStatusA=1 linkStatusB=1 linkLossesA=0 linkLossesB=0 resets=0 intervalMs=1000",
     "short\nback after 1 s\n"},
    {"gone",
     [](uint64_t ms) {
         return Published{ms >= 3000 ? kBlockGone : kBlockWhole, Steady(Ticks(ms), 125000, 125000)};
     },
     5600,
     "gone",
     {"gone"},
     "CRITICAL",
     "linkStatusA= rxRateA= divergent= resets=0",
     "gone\n"},
    {"a reset: a reset, no traffic",
     [](uint64_t ms) {
         uint64_t t = Ticks(ms);
         return Published{kBlockWhole, t < 3 ? Steady(t + 30000, 125000, 125000)
                                             : Steady(t - 3, 125000, 125000)};
     },
     4900,
     "live",
     {},
     "OK",
     "resets=1 intervalMs=1000 rxRateA=1000000",
     "reset\n"},
    {"a board of 10G with 2000000 errors a second, under -s 1G",
     [](uint64_t ms) {
         return Published{kBlockWhole, Steady(Ticks(ms), 1250000000, 1250000000, 2000000)};
     },
     5600,
     "live",
     {"LanA 2.0M err/s"},
     "WARNING",
     "lanSpeed=10000000000 resets=0 rxErrDeltaA=2000000",
     "speed 10G\n"},
    {"unchanged while its neighbour publishes: silent",
     [](uint64_t) {
         return Published{kBlockWhole, Steady(1, 125000, 125000)};
     },
     6600,
     "silent",
     {"silent 5s"},
     "WARNING",
     "rxRateA=0 divergent=0",
     "silent\n"},
};

// What each output says of board 3.
struct Told {
    std::string heading, line, metrics, events, plugin, json;
    std::vector<std::string> lines, neighbour;
};

Told Drive(const Row &row, const char *name = "") {
    static Watch watch;
    static NamedBoards named;
    static BoardSettings settings = Defaults();
    StartNamedBoards(&named);
    memset(&watch, 0, sizeof watch);
    watch.named = &named;
    watch.settings = &settings;
    watch.noteEvents = true;
    watch.count = 2;
    StartBoard(&watch.boards[0], 3, kGigabit);
    StartBoard(&watch.boards[1], 4, kGigabit);
    watch.boards[0].name = name;
    watch.order[0] = 0;
    watch.order[1] = 1;
    StartClock(&watch.clock, 0, false);
    Publisher publishers[] = {row.board3, Neighbour};
    PrpValue read[2];
    BlockState readState[2] = {kBlockGone, kBlockGone};
    Told told;
    FigureContext context = {&settings, 0};
    for (uint64_t ms = 0; ms <= row.untilMs; ms = NextDueMs(&watch.clock, WatchPhase(&watch))) {
        Due due = DueAt(&watch.clock, ms, WatchPhase(&watch));
        for (int slot = 0; slot < 2 && due != kDueNothing; slot++) {
            if (due == kDueRead && !WantsRead(&watch.boards[slot], ms))
                continue;
            Published now = publishers[slot](ms);
            PrpValue record = Record(now.counters);
            bool again = now.state == kBlockWhole && readState[slot] == kBlockWhole &&
                         memcmp(&record, &read[slot], sizeof record) == 0;
            read[slot] = record;
            readState[slot] = now.state;
            ReadBoard(&watch.boards[slot], now.state, &record, again, ms);
        }
        if (due != kDueRound)
            continue;
        CloseWatchRound(&watch, ms);
        context.nowMs = ms;
        Text text = GrowingText();
        AppendEvents(&text, watch.events, watch.eventCount, ms, ms, kTabSeparated, kForReaders);
        for (std::istringstream in(text.length != 0 ? text.chars : "");
             std::getline(in, told.line);)
            if (told.line.find(" board 3 ") != std::string::npos)
                told.events += told.line.substr(told.line.find(" board 3 ") + 9) + "\n";
        EmptyText(&text);
        AppendBoardLine(&text, &watch.boards[0], "T", &context, kTabSeparated);
        told.lines.push_back(text.chars);
        EmptyText(&text);
        AppendBoardLine(&text, &watch.boards[1], "T", &context, kTabSeparated);
        told.neighbour.push_back(text.chars);
        free(text.chars);
    }
    told.line = told.lines.back();
    Text json = GrowingText();
    AppendBoardLine(&json, &watch.boards[0], "T", &context, kJson);
    told.json = json.chars;
    free(json.chars);

    ViewSettings view = {settings, false, false};
    static Grid grid;
    ClearGrid(&grid, 1, 80);
    ShownBoard shown = {&watch.boards[0], nullptr, nullptr};
    PutBoardBlock(&grid, 0, 0, 80, &shown, &context, &view, false);
    Text text = GrowingText();
    GridAsText(&grid, &text);
    told.heading = std::string(text.chars, text.length - 1);
    EmptyText(&text);
    const Board *boards[] = {&watch.boards[0]};
    AppendMetrics(&text, boards, 1, &context);
    told.metrics = text.chars;
    EmptyText(&text);

    CheckOptions options;
    char program[] = "check_prp_hsr", *argv[] = {program, nullptr};
    ParseCheckOptions(1, argv, &options);
    watch.count = 1; // board 3 alone
    AppendAnswer(&text, &watch, &options);
    told.plugin = std::string(text.chars, strcspn(text.chars, "|\n"));
    free(text.chars);
    return told;
}

using test::Fields;

TEST(Outputs, TellOneVerdict) {
    for (const Row &row : kRows) {
        Told told = Drive(row);
        std::string heading = "Board 3", plugin = std::string("PRP-HSR ") + row.plugin;
        for (const std::string &trouble : row.troubles) {
            heading += " · " + trouble;
            plugin +=
                (plugin.find(" - ") == std::string::npos ? " - board 3 " : ", board 3 ") + trouble;
        }
        if (row.troubles.empty()) {
            heading += std::string(" ") + row.state;
            plugin += " - 1 board ";
        }
        EXPECT_EQ(told.heading.substr(0, heading.size()), heading) << row.what;
        EXPECT_EQ(told.plugin, row.troubles.empty() ? plugin : plugin + " ") << row.what;
        EXPECT_EQ(Fields(told.line, std::string("state=") + row.state),
                  std::string("state=") + row.state)
            << row.what;
        EXPECT_NE(told.metrics.find(std::string("prp_hsr_board_state{board=\"3\",state=\"") +
                                    row.state + "\"} 1\n"),
                  std::string::npos)
            << row.what;
        EXPECT_EQ(Fields(told.line, row.fields), row.fields) << row.what;
        EXPECT_EQ(told.events, row.events) << row.what;
    }
}

// A board known by its name: so on the screen, in the events, the plugin's
// line, JSON and the metrics; a name's quotes and backslashes escaped where
// they would end a string.
TEST(Outputs, ABoardByItsName) {
    Told told = Drive(kRows[0], "Bay 3 \"feeder\" \\ east");
    EXPECT_EQ(told.heading.substr(0, 46), "Board 3 (Bay 3 \"feeder\" \\ east) \xc2\xb7 LanB down");
    EXPECT_EQ(told.plugin, "PRP-HSR CRITICAL - board 3 (Bay 3 \"feeder\" \\ east) LanB down ");
    EXPECT_EQ(told.events, "(Bay 3 \"feeder\" \\ east) LanB down\n");
    EXPECT_NE(told.json.find(",\"board\":3,\"name\":\"Bay 3 \\\"feeder\\\" \\\\ east\","),
              std::string::npos)
        << told.json;
    EXPECT_NE(told.metrics.find("\nprp_hsr_board_info{board=\"3\",name=\"Bay 3 \\\"feeder\\\" "
                                "\\\\ east\"} 1\n"),
              std::string::npos)
        << told.metrics;
    EXPECT_NE(Drive(kRows[0]).metrics.find("\nprp_hsr_board_info{board=\"3\",name=\"\"} 1\n"),
              std::string::npos);
}

// A change written between two publications is no publication of its own:
// every round holds one publication of each board, at the same rate, its
// neighbour's too; and a round comes a second after the one before.
TEST(Outputs, AChangeBetweenPublicationsMovesNoRound) {
    Told told = Drive(kRows[2]);
    for (size_t i = 0; i < told.lines.size(); i++) {
        EXPECT_EQ(Fields(told.lines[i], "intervalMs=1000 rxRateA=1000000"),
                  "intervalMs=1000 rxRateA=1000000")
            << "line " << i;
        EXPECT_EQ(Fields(told.neighbour[i], "intervalMs=1000 rxRateA=1000000"),
                  "intervalMs=1000 rxRateA=1000000")
            << "line " << i;
    }
    // Publications seen at 300 ms past each second: rounds at 800 ms, 1800
    // ms ... 6800 ms, the first with its rates.
    EXPECT_EQ(told.lines.size(), 7u);
}

} // namespace
} // namespace test

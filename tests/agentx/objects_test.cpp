// The lre objects prp-hsr-agentx serves, from boards as the boards library
// has them: which boards have a row, the walk a manager sees, GET and
// GETNEXT of OIDs served, absent, between and beyond.  Every expected OID
// and value is written out from the MIB's numbers and the records sampled,
// not taken from the code.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "objects.h"
#include "options.h"
#include "samples.h"

namespace {

using test::Counters;

std::vector<SubId> Oid(const std::string &text) {
    std::vector<SubId> oid;
    for (const char *c = text.c_str(); *c != '\0';) {
        char *end;
        oid.push_back((SubId)strtoul(c, &end, 10));
        c = *end == '.' ? end + 1 : end;
    }
    return oid;
}

std::string Text(const SubId *oid, int length) {
    std::string text;
    for (int i = 0; i < length; i++)
        text += (i > 0 ? "." : "") + std::to_string(oid[i]);
    return text;
}

// A value as snmpwalk -On writes it.
std::string Shown(const ObjectValue &value) {
    switch (value.type) {
    case kInteger32:
        return "INTEGER: " + std::to_string(value.number);
    case kCounter32:
        return "Counter32: " + std::to_string(value.number);
    case kOctetString:
        return "STRING: \"" + std::string(value.text, value.length) + "\"";
    }
    return "?";
}

// The boards of every case, in the order a watch of named boards has them
// (not that of their indexes).
class Objects : public testing::Test {
  protected:
    enum { kBoards = 9 };
    Board boards[kBoards];
    AgentRows rows;
    BoardSettings settings = test::Defaults();

    // Two publications a second apart: what the second counted is the
    // board's total.
    void Publish(Board *board, int32_t index, Counters first, Counters second) {
        StartBoard(board, index, test::kGigabit);
        test::Sample(board, kBlockWhole, first, 0, &settings);
        test::Sample(board, kBlockWhole, second, 1000, &settings);
    }

    void SetUp() override {
        // Board 7: LanB down, LanA counted 17 - 10 = 7 errors.
        Publish(&boards[0], 7, {0, 0, 0, 0, 10, 3, 1, 1}, {1000, 1000, 0, 0, 17, 3, 1, 0});
        // Board 3: totals past 32 bits, set as a long run would leave them:
        // 2^32 + 5 reads 5, 2^32 - 1 reads 4294967295.
        Publish(&boards[1], 3, {0, 0, 0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 2, 255});
        boards[1].lan[kLanA].total[kRxErrors] = 4294967296ull + 5;
        boards[1].lan[kLanB].total[kRxErrors] = 4294967295ull;
        // Board 0: faster than its counters can follow, so no totals.
        Publish(&boards[2], 0, {0, 0, 0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 1, 1});
        boards[2].tooFast = true;
        // Index + 1 not a positive Integer32: no row.
        Publish(&boards[3], -1, {}, {});
        Publish(&boards[4], 2147483647, {}, {});
        // Never sampled, gone since: no row.
        StartBoard(&boards[5], 5, test::kGigabit);
        Publish(&boards[6], 9, {}, {});
        PrpValue none = {};
        ReadBoard(&boards[6], kBlockGone, &none, false, 2000);
        // The last row there can be; and a block cut short keeps its row.
        Publish(&boards[7], 2147483646, {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
        Publish(&boards[8], 11, {0, 0, 0, 0, 1, 2, 1, 1}, {0, 0, 0, 0, 1, 2, 1, 1});
        ReadBoard(&boards[8], kBlockShort, &none, false, 2000);
        Gather(kBoards);
    }

    void Gather(int count) {
        const Board *list[kBoards] = {};
        for (int i = 0; i < count; i++)
            list[i] = &boards[i];
        FigureContext context = {&settings, 1500};
        GatherRows(&rows, list, count, &context);
    }

    // The instance after the OID, "oid = value", or "" for none.
    std::string Next(const std::string &oid, bool inclusive = false) {
        std::vector<SubId> asked = Oid(oid);
        Instance next;
        if (!NextObject(&rows, asked.data(), asked.size(), inclusive, &next))
            return "";
        return Text(next.oid, next.length) + " = " + Shown(next.value);
    }
};

// What snmpwalk of .1.0.62439 shows, with the board faster than its
// counters and the one cut short among them: every OID is the MIB's.
TEST_F(Objects, WalkOfEveryObject) {
    const char *const kWalk[] = {
        "1.0.62439.2.21.0.0.2.0 = INTEGER: 5",
        "1.0.62439.2.21.0.1.0.1.1.2.1 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.2.4 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.2.8 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.2.12 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.2.2147483647 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.4.1 = STRING: \"board 0\"",
        "1.0.62439.2.21.0.1.0.1.1.4.4 = STRING: \"board 3\"",
        "1.0.62439.2.21.0.1.0.1.1.4.8 = STRING: \"board 7\"",
        "1.0.62439.2.21.0.1.0.1.1.4.12 = STRING: \"board 11\"",
        "1.0.62439.2.21.0.1.0.1.1.4.2147483647 = STRING: \"board 2147483646\"",
        // up(1), down(2): any status but 0 is up.
        "1.0.62439.2.21.0.1.0.1.1.9.1 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.9.4 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.9.8 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.9.12 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.9.2147483647 = INTEGER: 2",
        "1.0.62439.2.21.0.1.0.1.1.10.1 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.10.4 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.10.8 = INTEGER: 2",
        "1.0.62439.2.21.0.1.0.1.1.10.12 = INTEGER: 1",
        "1.0.62439.2.21.0.1.0.1.1.10.2147483647 = INTEGER: 2",
        // Board 0 counts nothing: its instances are absent, not 0.
        "1.0.62439.2.21.1.1.0.1.1.11.4 = Counter32: 5",
        "1.0.62439.2.21.1.1.0.1.1.11.8 = Counter32: 7",
        "1.0.62439.2.21.1.1.0.1.1.11.12 = Counter32: 0",
        "1.0.62439.2.21.1.1.0.1.1.11.2147483647 = Counter32: 0",
        "1.0.62439.2.21.1.1.0.1.1.12.4 = Counter32: 4294967295",
        "1.0.62439.2.21.1.1.0.1.1.12.8 = Counter32: 0",
        "1.0.62439.2.21.1.1.0.1.1.12.12 = Counter32: 0",
        "1.0.62439.2.21.1.1.0.1.1.12.2147483647 = Counter32: 0",
    };
    std::vector<std::string> walked;
    for (std::string line = Next("1.0.62439"); !line.empty() && walked.size() < 100;
         line = Next(line.substr(0, line.find(' '))))
        walked.push_back(line);
    EXPECT_EQ(walked, std::vector<std::string>(std::begin(kWalk), std::end(kWalk)));
}

TEST_F(Objects, Get) {
    const struct {
        const char *oid;
        Found found;
        const char *value;
    } cases[] = {
        {"1.0.62439.2.21.0.0.2.0", kFoundValue, "INTEGER: 5"},
        {"1.0.62439.2.21.0.1.0.1.1.9.8", kFoundValue, "INTEGER: 1"},
        {"1.0.62439.2.21.1.1.0.1.1.11.8", kFoundValue, "Counter32: 7"},
        {"1.0.62439.2.21.0.1.0.1.1.4.2147483647", kFoundValue, "STRING: \"board 2147483646\""},
        // The scalar's object, and instances beside or below .0.
        {"1.0.62439.2.21.0.0.2", kNoSuchInstance, ""},
        {"1.0.62439.2.21.0.0.2.0.0", kNoSuchInstance, ""},
        // Rows that are not there: gone (9), never sampled (5), negative,
        // 0, and a column's own OID; an index with more after it.
        {"1.0.62439.2.21.0.1.0.1.1.9.10", kNoSuchInstance, ""},
        {"1.0.62439.2.21.0.1.0.1.1.9.0", kNoSuchInstance, ""},
        {"1.0.62439.2.21.0.1.0.1.1.9", kNoSuchInstance, ""},
        {"1.0.62439.2.21.0.1.0.1.1.9.8.1", kNoSuchInstance, ""},
        // Board 0's totals are not known.
        {"1.0.62439.2.21.1.1.0.1.1.11.1", kNoSuchInstance, ""},
        // What the record cannot fill: lreManufacturerName, lreNodeType,
        // the index column, lreCntTxA; and OIDs that name no object.
        {"1.0.62439.2.21.0.0.1.0", kNoSuchObject, ""},
        {"1.0.62439.2.21.0.1.0.1.1.3.8", kNoSuchObject, ""},
        {"1.0.62439.2.21.0.1.0.1.1.1.8", kNoSuchObject, ""},
        {"1.0.62439.2.21.1.1.0.1.1.2.8", kNoSuchObject, ""},
        {"1.0.62439.2.21", kNoSuchObject, ""},
        {"1.0.62439.2.21.0.1.0.1.1", kNoSuchObject, ""},
        {"1.3.6.1.2.1.1.1.0", kNoSuchObject, ""},
    };
    for (const auto &c : cases) {
        std::vector<SubId> oid = Oid(c.oid);
        ObjectValue value;
        Found found = GetObject(&rows, oid.data(), oid.size(), &value);
        EXPECT_EQ(found, c.found) << c.oid;
        if (found == kFoundValue && c.found == kFoundValue) {
            EXPECT_EQ(Shown(value), c.value) << c.oid;
        }
    }
}

// GETNEXT from anywhere: before, inside and after each object, from OIDs
// longer than any served, from absent instances; with AgentX's inclusive
// start, the OID itself when it is served.
TEST_F(Objects, GetNext) {
    const struct {
        const char *oid;
        bool inclusive;
        const char *next;
    } cases[] = {
        {"", false, "1.0.62439.2.21.0.0.2.0 = INTEGER: 5"},
        {"1.0.62439.2.21.0.0.2", false, "1.0.62439.2.21.0.0.2.0 = INTEGER: 5"},
        {"1.0.62439.2.21.0.0.2.0", true, "1.0.62439.2.21.0.0.2.0 = INTEGER: 5"},
        {"1.0.62439.2.21.0.0.2.0", false, "1.0.62439.2.21.0.1.0.1.1.2.1 = INTEGER: 1"},
        {"1.0.62439.2.21.0.0.2.0.5", false, "1.0.62439.2.21.0.1.0.1.1.2.1 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.1.99", false, "1.0.62439.2.21.0.1.0.1.1.2.1 = INTEGER: 1"},
        // Between rows, on a row with more after it, past the last row.
        {"1.0.62439.2.21.0.1.0.1.1.9.5", false, "1.0.62439.2.21.0.1.0.1.1.9.8 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.9.4.7", false, "1.0.62439.2.21.0.1.0.1.1.9.8 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.9.8", true, "1.0.62439.2.21.0.1.0.1.1.9.8 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.9.5", true, "1.0.62439.2.21.0.1.0.1.1.9.8 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.9.2147483647", false,
         "1.0.62439.2.21.0.1.0.1.1.10.1 = INTEGER: 1"},
        // Columns not served are passed over.
        {"1.0.62439.2.21.0.1.0.1.1.5", false, "1.0.62439.2.21.0.1.0.1.1.9.1 = INTEGER: 1"},
        {"1.0.62439.2.21.0.1.0.1.1.10.2147483647", false,
         "1.0.62439.2.21.1.1.0.1.1.11.4 = Counter32: 5"},
        // Board 0 (index 1) has no totals: its instance is skipped.
        {"1.0.62439.2.21.1.1.0.1.1.11", false, "1.0.62439.2.21.1.1.0.1.1.11.4 = Counter32: 5"},
        {"1.0.62439.2.21.1.1.0.1.1.11.1", true, "1.0.62439.2.21.1.1.0.1.1.11.4 = Counter32: 5"},
        {"1.0.62439.2.21.1.1.0.1.1.11.2147483647", false,
         "1.0.62439.2.21.1.1.0.1.1.12.4 = Counter32: 4294967295"},
        // Nothing after the last.
        {"1.0.62439.2.21.1.1.0.1.1.12.2147483647", false, ""},
        {"1.0.62439.2.22", false, ""},
        {"1.3.6.1", false, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Next(c.oid, c.inclusive), c.next) << c.oid << (c.inclusive ? " inclusive" : "");
}

// With no board there, the count is 0 and the tables are empty.
TEST_F(Objects, NoRows) {
    Gather(0);
    EXPECT_EQ(Next("1.0.62439"), "1.0.62439.2.21.0.0.2.0 = INTEGER: 0");
    EXPECT_EQ(Next("1.0.62439.2.21.0.0.2.0"), "");
}

// The command line: what is taken, and what ends it with status 2.
TEST(AgentOptions, CommandLines) {
    const struct {
        std::vector<const char *> arguments;
        int status;
        const char *socket;
        int boards;
        uint64_t speed;
    } cases[] = {
        {{}, -1, nullptr, 0, 1000000000},
        {{"-x", "/run/agentx/master", "3", "-1"}, -1, "/run/agentx/master", 2, 1000000000},
        {{"-xtcp:localhost:705"}, -1, "tcp:localhost:705", 0, 1000000000},
        {{"--agentx-socket=/a", "-s", "10G"}, -1, "/a", 0, 10000000000},
        {{"-h"}, 0, nullptr, 0, 1000000000},
        {{"-x"}, 2, nullptr, 0, 1000000000},
        {{"-x", ""}, 2, nullptr, 0, 1000000000},
        {{"-s", "10g"}, 2, nullptr, 0, 1000000000},
        {{"-q"}, 2, nullptr, 0, 1000000000},
        {{"-hq"}, 0, nullptr, 0, 1000000000}, // together, as getopt takes them: -h first
        {{"-qh"}, 2, nullptr, 0, 1000000000},
        {{"--socket", "/a"}, 2, nullptr, 0, 1000000000},
        {{"board3"}, 2, nullptr, 0, 1000000000},
    };
    for (const auto &c : cases) {
        std::vector<char *> argv = {(char *)"prp-hsr-agentx"};
        for (const char *argument : c.arguments)
            argv.push_back((char *)argument);
        argv.push_back(nullptr);
        static AgentOptions options;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int status = ParseAgentOptions((int)argv.size() - 1, argv.data(), &options);
        testing::internal::GetCapturedStdout();
        std::string said = testing::internal::GetCapturedStderr();
        std::string line = c.arguments.empty() ? "" : c.arguments[0];
        EXPECT_EQ(status, c.status) << line;
        if (status == 2) {
            EXPECT_NE(said.find("\nusage: prp-hsr-agentx [-h] [-s [BOARD=]SPEED] [-x SOCKET] "
                                "[--names FILE] [boardIndex...]\n"),
                      std::string::npos)
                << said;
            continue;
        }
        EXPECT_EQ(said, "") << line;
        if (status != -1)
            continue;
        EXPECT_STREQ(options.socket, c.socket) << line;
        EXPECT_EQ(options.named.boardCount, c.boards) << line;
        EXPECT_EQ(options.named.lanBitsPerSecond, c.speed) << line;
    }
}

// An argument refused is said on one line, whatever it holds.
TEST(AgentOptions, RefusedArgumentEscaped) {
    char *argv[] = {(char *)"prp-hsr-agentx", (char *)"-\x1b[2J", nullptr};
    static AgentOptions options;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ParseAgentOptions(2, argv, &options), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "prp-hsr-agentx: unknown option: -\\033\n"
              "usage: prp-hsr-agentx [-h] [-s [BOARD=]SPEED] [-x SOCKET] "
              "[--names FILE] [boardIndex...]\n");
}

} // namespace

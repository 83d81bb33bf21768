// WatchBoards' metrics file, sample by sample: 64-bit totals across a 32-bit
// wrap, nothing added by a reset, a board gone keeping its totals.  Every
// value is worked out by hand in the comments.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "metrics.h"
#include "samples.h"

namespace test {
namespace {

std::string Metrics(const Board *boards, int count) {
    Text text = GrowingText();
    BoardSettings settings = Defaults();
    FigureContext context = {&settings, 0};
    const Board *list[8];
    for (int i = 0; i < count; i++)
        list[i] = &boards[i];
    AppendMetrics(&text, list, count, &context);
    std::string file = text.chars;
    free(text.chars);
    return file;
}

// The file's lines of one metric, the help and type lines left out.
std::string Family(const std::string &file, const std::string &name) {
    std::string lines;
    for (size_t at = 0; (at = file.find("\n" + name + "{", at)) != std::string::npos; at++)
        lines += file.substr(at + 1, file.find('\n', at + 1) - at);
    return lines;
}

TEST(Metrics, TotalsAcrossAWrapAndAResetAndABoardGone) {
    Board boards[2];
    StartBoard(&boards[0], 7, kGigabit);
    StartBoard(&boards[1], -1, kGigabit); // never seen
    BoardSettings settings = Defaults();
    const struct {
        uint64_t ms;
        BlockState state;
        Counters counters;
    } samples[] = {
        {0, kBlockWhole, {4294967000u, 10, 4294000000u, 20, 4294967295u, 3, 1, 0}},
        // rxGoodOctetsA wraps: (4294967296 - 4294967000) + 200 = 496;
        // txOctetsA wraps: (4294967296 - 4294000000) + 5000 = 972296;
        // rxErrA wraps: 1 + 1 = 2.
        {1000, kBlockWhole, {200, 110, 5000, 120, 1, 4, 1, 1}},
        // rxGoodOctetsB back to 0: a reset, which adds nothing anywhere.
        {2000, kBlockWhole, {300, 0, 6000, 220, 2, 5, 1, 1}},
        // On: 100 more rx A, 50 rx B, 1000 tx A, 30 tx B, 1 error on A.
        {3000, kBlockWhole, {400, 50, 7000, 250, 3, 5, 1, 1}},
        {4000, kBlockGone, {}},
    };
    for (const auto &s : samples) {
        Sample(&boards[0], s.state, s.counters, s.ms, &settings);
        Sample(&boards[1], kBlockGone, {}, s.ms, &settings);
    }
    std::string file = Metrics(boards, 2);
    // rx A: 496 + 100 = 596; rx B: 100 + 50 = 150; tx A: 972296 + 1000 =
    // 973296; tx B: 100 + 30 = 130; errors A: 2 + 1 = 3, B: 1.
    EXPECT_EQ(Family(file, "prp_hsr_receive_good_bytes_total"),
              "prp_hsr_receive_good_bytes_total{board=\"7\",lan=\"A\"} 596\n"
              "prp_hsr_receive_good_bytes_total{board=\"7\",lan=\"B\"} 150\n");
    EXPECT_EQ(Family(file, "prp_hsr_transmit_bytes_total"),
              "prp_hsr_transmit_bytes_total{board=\"7\",lan=\"A\"} 973296\n"
              "prp_hsr_transmit_bytes_total{board=\"7\",lan=\"B\"} 130\n");
    EXPECT_EQ(Family(file, "prp_hsr_receive_errors_total"),
              "prp_hsr_receive_errors_total{board=\"7\",lan=\"A\"} 3\n"
              "prp_hsr_receive_errors_total{board=\"7\",lan=\"B\"} 1\n");
    // Gone: no link status, which is unknown; the resets stay.
    EXPECT_EQ(Family(file, "prp_hsr_link_status"), "");
    EXPECT_EQ(Family(file, "prp_hsr_resets_total"), "prp_hsr_resets_total{board=\"7\"} 1\n"
                                                    "prp_hsr_resets_total{board=\"-1\"} 0\n");
    EXPECT_EQ(Family(file, "prp_hsr_board_state"),
              "prp_hsr_board_state{board=\"7\",state=\"live\"} 0\n"
              "prp_hsr_board_state{board=\"7\",state=\"stale\"} 0\n"
              "prp_hsr_board_state{board=\"7\",state=\"silent\"} 0\n"
              "prp_hsr_board_state{board=\"7\",state=\"short\"} 0\n"
              "prp_hsr_board_state{board=\"7\",state=\"gone\"} 1\n"
              "prp_hsr_board_state{board=\"7\",state=\"unreadable\"} 0\n"
              "prp_hsr_board_state{board=\"-1\",state=\"live\"} 0\n"
              "prp_hsr_board_state{board=\"-1\",state=\"stale\"} 0\n"
              "prp_hsr_board_state{board=\"-1\",state=\"silent\"} 0\n"
              "prp_hsr_board_state{board=\"-1\",state=\"short\"} 0\n"
              "prp_hsr_board_state{board=\"-1\",state=\"gone\"} 1\n"
              "prp_hsr_board_state{board=\"-1\",state=\"unreadable\"} 0\n");
    EXPECT_NE(file.find("\nprp_hsr_boards 0\n"), std::string::npos); // board 7 gone too
    // Each family once, help and type first, counters as counters.
    EXPECT_NE(file.find("# HELP prp_hsr_receive_good_bytes_total Good octets received since "
                        "WatchBoards started.\n# TYPE prp_hsr_receive_good_bytes_total counter\n"),
              std::string::npos);
    EXPECT_NE(file.find("# TYPE prp_hsr_link_status gauge\n"), std::string::npos);
    EXPECT_NE(file.find("# TYPE prp_hsr_board_state gauge\n"), std::string::npos);
}

} // namespace
} // namespace test

// WatchBoards' command line: what each option sets, and what is refused
// with status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys.h"
#include "options.h"
#include "system.h"

namespace {

int Parse(std::vector<std::string> arguments, ViewOptions *options) {
    arguments.insert(arguments.begin(), "WatchBoards");
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return ParseOptions((int)arguments.size(), argv.data(), options);
}

TEST(Options, Defaults) {
    ViewOptions options;
    EXPECT_EQ(Parse({}, &options), -1);
    EXPECT_EQ(options.named.lanBitsPerSecond, 1000000000u);
    EXPECT_EQ(options.view.boards.staleMs, 5000u);
    EXPECT_EQ(options.view.boards.markTenths, 50u);
    EXPECT_TRUE(options.view.graphs);
    EXPECT_FALSE(options.view.bytes);
    EXPECT_FALSE(options.lines);
    EXPECT_EQ(options.samples, 0u);
    EXPECT_EQ(options.named.boardCount, 0);
}

TEST(Options, WhatEachSets) {
    ViewOptions o;
    EXPECT_EQ(Parse({"-n", "3", "0", "1", "0", "-5", "-2147483648"}, &o), -1);
    EXPECT_EQ(o.samples, 3u);
    EXPECT_EQ(std::vector<int32_t>(o.named.boards, o.named.boards + o.named.boardCount),
              (std::vector<int32_t>{0, 1, -5, INT32_MIN})); // given twice, shown once
    EXPECT_EQ(Parse({"--mark=2.5", "-t7", "--lan-speed", "100M"}, &o), -1);
    EXPECT_EQ(o.view.boards.markTenths, 25u);
    EXPECT_EQ(o.view.boards.staleMs, 7000u);
    EXPECT_EQ(o.named.lanBitsPerSecond, 100000000u);
    EXPECT_EQ(Parse({"-s", "10G", "-b", "-G"}, &o), -1);
    EXPECT_EQ(o.named.lanBitsPerSecond, 10000000000u);
    EXPECT_TRUE(o.view.bytes);
    EXPECT_FALSE(o.view.graphs);
    EXPECT_EQ(Parse({"--json"}, &o), -1);
    EXPECT_EQ(o.format, kJson);
    EXPECT_TRUE(o.lines);
    EXPECT_EQ(Parse({"--", "7"}, &o), -1);
    EXPECT_EQ(o.named.boardCount, 1);
    // Short options together, as the synopsis shows them; the last may take
    // the rest, or the next argument, as its value.
    EXPECT_EQ(Parse({"-bG", "-m2.5", "-n", "4"}, &o), -1);
    EXPECT_TRUE(o.view.bytes);
    EXPECT_FALSE(o.view.graphs);
    EXPECT_EQ(o.view.boards.markTenths, 25u);
    EXPECT_EQ(Parse({"-lm2.5", "-jn", "4"}, &o), -1);
    EXPECT_EQ(o.format, kJson);
    EXPECT_EQ(o.samples, 4u);
    // A board's own speed holds whatever the order; of several, the last.
    EXPECT_EQ(Parse({"-s", "8=100M", "-s", "10G", "-s", "8=200M", "-s", "-3=1M"}, &o), -1);
    EXPECT_EQ(SpeedOf(&o.named, 8), 200000000u);
    EXPECT_EQ(SpeedOf(&o.named, -3), 1000000u);
    EXPECT_EQ(SpeedOf(&o.named, 9), 10000000000u);
    EXPECT_EQ(o.named.boardCount, 0); // a speed adds no board
    // The events take JSON and the mark, beside the metrics file too.
    EXPECT_EQ(Parse({"--events", "-j", "-m", "2", "--textfile", "a.prom"}, &o), -1);
    EXPECT_TRUE(o.events);
    EXPECT_EQ(o.format, kJson);
}

TEST(Options, RefusedWithStatus2) {
    const std::vector<std::vector<std::string>> refused = {
        {"-x"},
        {"--colour"},
        {"-"},
        {"abc"},
        {"12abc"},
        {"2147483648"},
        {"-2147483649"},
        {"-n"},
        {"-n", "0"},
        {"-n", "x"},
        {"--mark", "101"},
        {"--mark=-1"},
        {"-m", "2.55"},
        {"-t", "0"},
        {"-t", "86401"},
        {"-s", "0"},
        {"-s", "1.5G"},
        {"-s", "G"},
        {"--bytes=1"},
        {"--json=yes"},
        {"-bx"},
        {"-bn"},
        {"-Gm", "x"},
        {"-s", "8="},
        {"-s", "=1G"},
        {"-s", "x=1G"},
        {"-s", "8=1G=2G"},
        {"-s", "40G"}, // a 32-bit counter wraps between two publications
        {"-s", "3=33G"},
        {"--textfile", "a.prom", "-j"},
        {"--events", "-l"},
        {"--events", "--textfile", "a.prom", "-b"},
        {"-b", "-l"}, // lines have no screen's options
        {"-j", "-G"},
    };
    for (const auto &arguments : refused) {
        ViewOptions options;
        EXPECT_EQ(Parse(arguments, &options), 2) << arguments[0];
    }
}

TEST(Options, TooManyBoards) {
    std::vector<std::string> arguments;
    for (int board = 0; board <= kMostBoards; board++)
        arguments.push_back(std::to_string(board));
    ViewOptions options;
    EXPECT_EQ(Parse(arguments, &options), 2);
}

// The keys, one after another on a screen of blocks two across, ten a
// page: what each changes.
TEST(Keys, OneAfterAnother) {
    ViewSettings settings = {{5000, 50}, false, true};
    ScreenState screen = {};
    screen.firstBoard = 3;
    Placement shown = {false, true, 2, 10};
    // Each key after a drawing: whole says that it asks for the screen drawn
    // whole.
    const struct {
        int key;
        bool goesOn;
        const char *after; // bytes graphs mark first whole trouble order as keys typed/goTo/said
    } keys[] = {
        {'b', true, "1 1 50 3 0 0 0 0 0 /0/"},
        {'g', true, "1 0 50 3 0 0 0 0 0 /0/"},
        {'+', true, "1 0 100 3 0 0 0 0 0 /0/"},
        {'-', true, "1 0 50 3 0 0 0 0 0 /0/"},
        {kKeyUp, true, "1 0 50 1 0 0 0 0 0 /0/"}, // a row of two
        {'j', true, "1 0 50 3 0 0 0 0 0 /0/"},
        {kKeyPageDown, true, "1 0 50 13 0 0 0 0 0 /0/"},
        {kKeyHome, true, "1 0 50 0 0 0 0 0 0 /0/"},
        {'t', true, "1 0 50 0 0 1 0 0 0 /0/"},
        {'s', true, "1 0 50 0 0 1 1 0 0 /0/"},
        {'d', true, "1 0 50 0 0 1 1 2 0 /0/"},
        {12, true, "1 0 50 0 1 1 1 2 0 /0/"},
        {'?', true, "1 0 50 0 0 1 1 2 1 /0/"},
        {kKeyResized, true, "1 0 50 0 1 1 1 2 1 /0/"},
        {3, false, "1 0 50 0 0 1 1 2 1 /0/"},  // Ctrl-C ends it, even on the keys
        {'q', true, "1 0 50 0 0 1 1 2 0 /0/"}, // any other key leaves the keys
        {'1', true, "1 0 50 0 0 1 1 2 0 1/0/"},
        {'2', true, "1 0 50 0 0 1 1 2 0 12/0/"},
        {13, true, "1 0 50 0 0 1 1 2 0 /12/"}, // Enter: to board 12
        {'7', true, "1 0 50 0 0 1 1 2 0 7/12/"},
        {27, true, "1 0 50 0 0 1 1 2 0 /12/"}, // Esc: not
        {'x', true, "1 0 50 0 0 1 1 2 0 /12/"},
        // Whatever is typed, a terminal of another size (or back from
        // Ctrl-Z) is drawn whole, and Ctrl-C and q end it.
        {'4', true, "1 0 50 0 0 1 1 2 0 4/12/"},
        {kKeyResized, true, "1 0 50 0 1 1 1 2 0 4/12/"},
        {12, true, "1 0 50 0 1 1 1 2 0 4/12/"},
        {3, false, "1 0 50 0 0 1 1 2 0 4/12/"},
        {'q', false, "1 0 50 0 0 1 1 2 0 4/12/"},
        {127, true, "1 0 50 0 0 1 1 2 0 /12/"}, // Backspace
        // A number beyond a board index: no board, said until the next key.
        {'9', true, "1 0 50 0 0 1 1 2 0 9/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 99/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 9999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 99999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 999999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 9999999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 99999999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 999999999/12/"},
        {'9', true, "1 0 50 0 0 1 1 2 0 9999999999/12/"},
        {13, true, "1 0 50 0 0 1 1 2 0 /0/no board 9999999999"},
        {kKeyResized, true, "1 0 50 0 1 1 1 2 0 /0/no board 9999999999"},
        {'b', true, "0 0 50 0 0 1 1 2 0 /0/"},
        {'q', false, "0 0 50 0 0 1 1 2 0 /0/"},
    };
    for (const auto &k : keys) {
        screen.whole = false; // drawn
        EXPECT_EQ(Obey(k.key, &settings, &screen, &shown), k.goesOn) << k.key;
        char after[128];
        snprintf(after, sizeof after, "%d %d %u %d %d %d %d %d %d %s/%d/%s", settings.bytes,
                 settings.graphs, settings.boards.markTenths, screen.firstBoard, screen.whole,
                 screen.troubleOnly, screen.troubleOrder, (int)screen.as, screen.keys,
                 screen.goingTo, screen.goTo ? (int)screen.goToBoard : 0, screen.notThere);
        EXPECT_STREQ(after, k.after) << k.key;
    }
}

// From a mark the option set, + and - go to the steps beside it; below the
// lowest, - leaves it where it is: it never raises it.
TEST(Keys, MarkSteps) {
    const uint32_t steps[][3] = {{50, 100, 20},  {25, 50, 20}, {1000, 1000, 500},
                                 {10, 20, 10},   {5, 10, 5},   {0, 10, 0}};
    for (const auto &s : steps)
        EXPECT_EQ(NextMark(s[0], true) * 10000 + NextMark(s[0], false), s[1] * 10000 + s[2]);
}

} // namespace

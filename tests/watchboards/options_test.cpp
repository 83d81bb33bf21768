// WatchBoards' command line: what each option sets, and what is refused
// with status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

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
    EXPECT_EQ(options.settings.lanBitsPerSecond, 1000000000u);
    EXPECT_EQ(options.settings.staleMs, 5000u);
    EXPECT_EQ(options.settings.markTenths, 50u);
    EXPECT_TRUE(options.settings.graphs);
    EXPECT_FALSE(options.settings.bytes);
    EXPECT_FALSE(options.lines);
    EXPECT_EQ(options.samples, 0u);
    EXPECT_EQ(options.boardCount, 0);
}

TEST(Options, WhatEachSets) {
    ViewOptions o;
    EXPECT_EQ(Parse({"-n", "3", "0", "1", "0", "-5", "-2147483648"}, &o), -1);
    EXPECT_EQ(o.samples, 3u);
    EXPECT_EQ(std::vector<int32_t>(o.boards, o.boards + o.boardCount),
              (std::vector<int32_t>{0, 1, -5, INT32_MIN})); // given twice, shown once
    EXPECT_EQ(Parse({"--mark=2.5", "-t7", "--lan-speed", "100M"}, &o), -1);
    EXPECT_EQ(o.settings.markTenths, 25u);
    EXPECT_EQ(o.settings.staleMs, 7000u);
    EXPECT_EQ(o.settings.lanBitsPerSecond, 100000000u);
    EXPECT_EQ(Parse({"-s", "10G", "-b", "-G", "--json"}, &o), -1);
    EXPECT_EQ(o.settings.lanBitsPerSecond, 10000000000u);
    EXPECT_TRUE(o.settings.bytes);
    EXPECT_FALSE(o.settings.graphs);
    EXPECT_EQ(o.format, kJson);
    EXPECT_TRUE(o.lines);
    EXPECT_EQ(Parse({"--", "7"}, &o), -1);
    EXPECT_EQ(o.boardCount, 1);
    // Short options together, as the synopsis shows them; the last may take
    // the rest, or the next argument, as its value.
    EXPECT_EQ(Parse({"-bG", "-lm2.5", "-jn", "4"}, &o), -1);
    EXPECT_TRUE(o.settings.bytes);
    EXPECT_FALSE(o.settings.graphs);
    EXPECT_EQ(o.settings.markTenths, 25u);
    EXPECT_EQ(o.format, kJson);
    EXPECT_EQ(o.samples, 4u);
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

TEST(Options, MarkKeysStep) {
    EXPECT_EQ(NextMark(50, true), 100u);
    EXPECT_EQ(NextMark(50, false), 20u);
    EXPECT_EQ(NextMark(25, true), 50u); // from a mark set by the option
    EXPECT_EQ(NextMark(25, false), 20u);
    EXPECT_EQ(NextMark(1000, true), 1000u);
    EXPECT_EQ(NextMark(10, false), 10u);
    // Below the lowest step, - leaves the mark where it is: it never raises it.
    EXPECT_EQ(NextMark(0, false), 0u);
    EXPECT_EQ(NextMark(5, false), 5u);
    EXPECT_EQ(NextMark(0, true), 10u);
}

} // namespace

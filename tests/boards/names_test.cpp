// A names file as the boards library reads it: what it takes, and each way
// a line is refused, with its file and line.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "names.h"

namespace {

std::string Read(const std::string &contents, BoardNames *names) {
    char path[] = "/tmp/board-names-XXXXXX";
    int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, contents.data(), contents.size()), (ssize_t)contents.size());
    close(fd);
    char chars[1024];
    Text why = TEXT_IN(chars);
    bool read = ReadBoardNames(path, names, &why);
    unlink(path);
    std::string said = chars;
    size_t at = said.find(path);
    return read ? "" : at == 0 ? "FILE" + said.substr(strlen(path)) : said;
}

TEST(Names, WhatAFileMayHold) {
    std::string accents;
    for (int i = 0; i < 64; i++)
        accents += "\xc3\xa9"; // é: 64 characters, 128 bytes
    const struct {
        std::string contents;
        const char *refused; // "" where it is taken
        int32_t board;
        const char *name; // of board, where taken
    } cases[] = {
        {"3 Bay 3 feeder\n", "", 3, "Bay 3 feeder"},
        {"# the boards\n\n  3 \t Bay 3 feeder  \r\n-1 Spare\n", "", -1, "Spare"},
        {"7 \"Relay\" \\ 2", "", 7, "\"Relay\" \\ 2"},
        {"5 " + accents + "\n", "", 5, accents.c_str()},
        {"5 " + accents + "e\n", "FILE:1: a name of more than 64 characters", 0, ""},
        {"3\n", "FILE:1: no name after the board index", 0, ""},
        {"3 a\n\nx Bay\n", "FILE:3: not a board index", 0, ""},
        {"3 a\x1b[2Jb\n", "FILE:1: a control character in a name", 0, ""},
        {"3 a\xc2\x85" "b\n", "FILE:1: a control character in a name", 0, ""}, // NEL
        {"3 a\xe2\x80\xa8" "b\n", "FILE:1: a control character in a name", 0, ""}, // U+2028
        {"3 a\x7f\n", "FILE:1: a control character in a name", 0, ""},
        {"3 \xff\n", "FILE:1: a name that is not UTF-8", 0, ""},
        {"3 \xc0\xaf\n", "FILE:1: a name that is not UTF-8", 0, ""},        // overlong '/'
        {"3 \xed\xa0\x80\n", "FILE:1: a name that is not UTF-8", 0, ""},    // a surrogate
        {"3 \xf4\x90\x80\x80\n", "FILE:1: a name that is not UTF-8", 0, ""}, // beyond U+10FFFF
        {"3 a\n4 b\n3 c\n", "FILE:3: a board named twice", 0, ""},
    };
    for (const auto &c : cases) {
        static BoardNames names;
        EXPECT_EQ(Read(c.contents, &names), c.refused) << c.contents;
        if (c.refused[0] == '\0') {
            EXPECT_STREQ(NameOf(&names, c.board), c.name) << c.contents;
        }
    }
    BoardNames names;
    EXPECT_EQ(Read("3 a\n", &names), "");
    EXPECT_STREQ(NameOf(&names, 4), ""); // unnamed
    EXPECT_STREQ(NameOf(nullptr, 3), "");
    char chars[256];
    Text why = TEXT_IN(chars);
    EXPECT_FALSE(ReadBoardNames("/nonexistent/boards", &names, &why));
    EXPECT_STREQ(chars, "/nonexistent/boards: No such file or directory");
}

} // namespace

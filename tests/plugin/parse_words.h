// check_prp_hsr's command line from words, as a test gives it.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"

// Puts the program's name before the words and reads them into options;
// what ParseCheckOptions returns (-1: a check to make).  The words stay the
// caller's: the options point into them.
inline int ParseWords(std::vector<std::string> *words, CheckOptions *options) {
    words->insert(words->begin(), "check_prp_hsr");
    std::vector<char *> argv;
    for (std::string &word : *words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return ParseCheckOptions((int)words->size(), argv.data(), options);
}

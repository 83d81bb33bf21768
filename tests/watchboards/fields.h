// The fields of a tab-separated line that a test names.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "lines.h"

namespace test {

// The fields of a line named in wanted ("NAME=VALUE ..."), found by their
// names in the header's columns, written as wanted is: "(none)" for a name
// that has no field.
inline std::string Fields(const std::string &line, const std::string &wanted) {
    Text header = GrowingText();
    AppendHeaderLine(&header, kTabSeparated);
    std::vector<std::string> names, values;
    std::istringstream in(std::string(header.chars, header.length - 1));
    free(header.chars);
    for (std::string name; std::getline(in, name, '\t');)
        names.push_back(name);
    size_t start = 0;
    for (size_t tab; (tab = line.find_first_of("\t\n", start)) != std::string::npos;
         start = tab + 1)
        values.push_back(line.substr(start, tab - start));
    std::istringstream pairs(wanted);
    std::string found;
    for (std::string pair; pairs >> pair;) {
        std::string name = pair.substr(0, pair.find('='));
        size_t column = std::find(names.begin(), names.end(), name) - names.begin();
        found += (found.empty() ? "" : " ") + name + "=" +
                 (column < values.size() ? values[column] : "(none)");
    }
    return found;
}

} // namespace test

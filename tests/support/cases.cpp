#include "cases.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace test {

namespace {

std::string Trim(const std::string &text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back("");
    return parts;
}

std::vector<std::string> Words(const std::string &text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// \n, \t, \s, \p, \e, \a, \\, \#; any other backslash stands for itself.
std::string Unescape(const std::string &text) {
    static const std::string kEscaped = "ntspea\\#", kPlain = std::string("\n\t |\x1b\a\\") + kAnyNumber;
    std::string plain;
    for (size_t i = 0; i < text.size(); i++) {
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        size_t escape = next != '\0' ? kEscaped.find(next) : std::string::npos;
        if (text[i] == '\\' && escape != std::string::npos) {
            plain += kPlain[escape];
            i++;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// ${NAME} and ${NAME@A,B,...}, until none is left; an unknown name is a
// problem of the table.
std::string Expand(std::string text, const std::map<std::string, std::string> &texts,
                   std::string *problem) {
    for (size_t at; (at = text.find("${")) != std::string::npos;) {
        size_t end = text.find('}', at);
        if (end == std::string::npos) {
            *problem = "no } after ${ in " + text;
            return text;
        }
        std::string inside = text.substr(at + 2, end - at - 2);
        size_t mark = inside.find('@');
        auto found = texts.find(inside.substr(0, mark));
        if (found == texts.end()) {
            *problem = "nothing defined as " + inside.substr(0, mark);
            return text;
        }
        std::string replacement = found->second;
        if (mark != std::string::npos) {
            std::vector<std::string> arguments = Split(inside.substr(mark + 1), ',');
            for (size_t i = arguments.size(); i-- > 0;) {
                // In one pass, as the Windows runner's bash replaces: an
                // argument that holds a placeholder is not looked into.
                std::string placeholder = "@" + std::to_string(i + 1);
                for (size_t p = 0; (p = replacement.find(placeholder, p)) != std::string::npos;
                     p += arguments[i].size())
                    replacement.replace(p, placeholder.size(), arguments[i]);
            }
        }
        text.replace(at, end - at + 1, replacement);
    }
    return text;
}

} // namespace

std::vector<Case> ReadCases(const std::string &path, const std::string &platform,
                            const std::map<std::string, std::string> &given) {
    std::ifstream table(path);
    std::vector<Case> cases;
    if (!table) {
        cases.push_back(Case{});
        cases.back().name = "table";
        cases.back().problem = "cannot read " + path;
        return cases;
    }
    std::map<std::string, std::string> texts = given;
    std::vector<std::vector<std::string>> board;
    std::vector<std::string> service;
    bool included = true, lastIncluded = false;
    int number = 0;
    for (std::string line; std::getline(table, line);) {
        number++;
        std::string where = path + ":" + std::to_string(number) + ": ";
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        std::string problem;
        std::string expanded = Expand(trimmed, texts, &problem);
        std::vector<std::string> words = Words(expanded);
        std::string keyword = words[0];
        std::string rest = Trim(expanded.substr(keyword.size()));

        if (line[0] == ' ' || line[0] == '\t') { // goes with the case above
            if (!lastIncluded)
                continue;
            Case &c = cases.back();
            if (keyword == "errors") {
                c.errorsChecked = true;
                c.errors = Unescape(rest);
            } else if (keyword == "stdout" && (rest == "full" || rest == "closed")) {
                c.standardOutput = rest;
            } else if ((keyword == "lines" || keyword == "json") && words.size() >= 2) {
                c.linesKind = keyword;
                c.lineCount = std::stoi(words[1]);
                for (size_t i = 2; i < words.size(); i++) {
                    size_t equals = words[i].find('=');
                    c.fields.emplace_back(words[i].substr(0, equals),
                                          Unescape(words[i].substr(equals + 1)));
                }
            } else if (keyword == "perfdata" && words.size() == 2) {
                c.perfdata = words[1];
            } else if (keyword == "file" && words.size() >= 3) {
                std::string line = Trim(rest.substr(words[1].size()));
                c.fileLines.emplace_back(words[1], Unescape(line));
            } else {
                problem = "unknown: " + keyword;
            }
            if (!problem.empty())
                c.problem = where + problem;
            continue;
        }
        if (keyword == "define") {
            size_t equals = trimmed.find(" = ");
            texts[Trim(trimmed.substr(6, equals - 6))] = Trim(trimmed.substr(equals + 3));
            continue;
        }
        if (keyword == "board") {
            board.clear();
            for (const std::string &command : Split(rest, ';'))
                if (!Words(command).empty())
                    board.push_back(Words(command));
            continue;
        }
        if (keyword == "service") {
            service.assign(words.begin() + 1, words.end());
            continue;
        }
        if (keyword == "platforms") {
            included = rest == "all" || rest == platform;
            continue;
        }

        std::vector<std::string> fields = Split(expanded, '|');
        lastIncluded = included;
        if (!included)
            continue;
        Case c;
        c.board = board;
        c.service = service;
        c.name = Trim(fields[0]);
        if (fields.size() != 6) {
            c.problem = where + "not 6 fields";
            cases.push_back(c);
            continue;
        }
        for (const std::string &word : Words(fields[1]))
            c.command.push_back(word == "''" ? "" : Unescape(word));
        c.input = Unescape(Trim(fields[2]));
        std::string output = Trim(fields[3]);
        if (output == "*") {
            c.compare = Case::kNotCompared;
        } else if (!output.empty() && output[0] == '~') {
            c.compare = Case::kBeginning;
            output.erase(0, 1);
        }
        c.output = Unescape(output);
        c.status = Trim(fields[4]);
        std::string calls = Trim(fields[5]);
        if (!calls.empty())
            for (const std::string &call : Split(calls, ';'))
                c.calls.push_back(Trim(call));
        if (!problem.empty())
            c.problem = where + problem;
        cases.push_back(c);
    }
    return cases;
}

std::string AnyNumbersMarked(const std::string &output, const std::string &wanted) {
    std::string marked;
    size_t at = 0;
    for (size_t i = 0; i < wanted.size() && at < output.size(); i++) {
        if (wanted[i] == kAnyNumber && isdigit((unsigned char)output[at])) {
            while (at < output.size() && isdigit((unsigned char)output[at]))
                at++;
            marked += kAnyNumber;
        } else if (output[at] == wanted[i]) {
            marked += output[at++];
        } else {
            break;
        }
    }
    return marked + output.substr(at);
}

} // namespace test

#include "outside/unlha32/UnlhaCommandLine.h"

#include "outside/unlha32/LhaNames.h"

namespace lha {

namespace {

std::vector<std::string> Words(const std::string& line, bool& balanced) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    balanced = !quoted;
    return words;
}

}  // namespace

bool UnlhaCommandLine::Parse(const std::string& line, std::string& error) {
    bool balanced = true;
    const std::vector<std::string> words = Words(line, balanced);
    if (!balanced) {
        error = "unbalanced quotes";
        return false;
    }
    std::size_t i = 0;
    if (i == words.size() || words[i].size() != 1) {
        error = "no command";
        return false;
    }
    command = words[i++][0];
    if (command != 'a') {
        error = "unknown command";
        return false;
    }
    for (; i < words.size() && words[i].size() > 1 && words[i][0] == '-'; ++i) {
        const std::string& s = words[i];
        if (s == "-+" || s == "-n" || s == "-n1") continue;
        if (s == "-z" || s == "-z1") {
            store = true;
        } else if (s == "-h0" || s == "-h1" || s == "-h2") {
            headerLevel = s[2] - '0';
        } else {
            error = "unknown switch " + s;
            return false;
        }
    }
    if (headerLevel != 2) {
        error = "only level-2 headers are written";
        return false;
    }
    if (i == words.size()) {
        error = "no archive";
        return false;
    }
    archive = ForwardSlashes(words[i++]);
    if (i < words.size()) {
        const std::string base = ForwardSlashes(words[i]);
        if (!base.empty() && base.back() == '/') {
            baseFolder = base;
            ++i;
        }
    }
    for (; i < words.size(); ++i) patterns.push_back(ForwardSlashes(words[i]));
    if (patterns.empty()) {
        error = "no files";
        return false;
    }
    for (const std::string& p : patterns) {
        if (p.find('/') != std::string::npos) {
            error = "a pattern names a file in another folder: " + p;
            return false;
        }
    }
    return true;
}

}  // namespace lha

// The command line of Unlha: the command letter, its switches, the archive,
// the base folder (the path that ends with '/' or '\') and the patterns of
// the files to pack in it. Quotes group words with blanks; they are not
// part of the word.
#pragma once

#include <string>
#include <vector>

namespace lha {

struct UnlhaCommandLine {
    char command = 0;           // 'a'
    bool store = false;         // -z: -lh0- instead of -lh5-
    int headerLevel = 2;        // -h0, -h1, -h2
    std::string archive;        // Shift_JIS, '/' between folders
    std::string baseFolder;     // with its trailing '/', or empty for the current folder
    std::vector<std::string> patterns;

    // False with `error` set for a line that is not understood.
    bool Parse(const std::string& line, std::string& error);
};

}  // namespace lha

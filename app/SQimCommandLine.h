// The command line of qim, read before any window exists (the home and
// settings-file searches it uses are in config/SQimHomeSearch.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/SQimHomeSearch.h"

// What the command line asks for.
struct SQimStartOptions {
    std::string home;
    std::string iniPath;
    bool receiveAtStart = true;
    bool settingsAtStart = false;
    int mailboxTypeRequest = 0;  // 0, 143 (/4) or 110 (/3)
    int instanceMode = 0;        // 0, 1 (/DOUBLE), 2 (/DOUBLEX)
    std::string mailto;
    // Linux additions.
    bool help = false;
    bool version = false;
    std::string screenshot;  // hidden: grab the main window into this file and quit
    bool noDialogs = false;  // hidden: boxes go to standard error, questions take the safe answer
};

// Parses argv[1..] (in the terminal's encoding, UTF-8). The switches are
// examined from the last argument to the first, so of two conflicting ones the
// leftmost wins; "-X" is taken as "/X". `previousHome` is the home directory
// before the start-up search ("QimHome"). False, with a message in `error`
// (UTF-8), when an argument cannot be used.
bool ParseQimCommandLine(const std::vector<std::string>& args, const SStartEnvironment& env,
                         const std::string& previousHome, SQimStartOptions& options, std::string& error);

// The command the frame gets once the main window is set up: qimcmd::Compose
// for a mailto address, else qimcmd::Receive, else qimcmd::NetworkSettings,
// else none (0).
int FirstActionCommand(const std::string& mailto, bool receiveAtStart, bool settingsAtStart);

// /4 and /3: the receive port to store, or 0 when it already fits the request.
int RequestedPop3Port(int mailboxTypeRequest, int pop3Port);

// The text of --help (UTF-8).
const char* QimUsageText();
// "Qim <version> (qimcmmns <major>.<minor>)": what --version prints and the about box shows.
std::string QimVersionText();
// Prints the text of --help or --version on standard output when asked for;
// false when neither was.
bool PrintInformation(const SQimStartOptions& options);

// What start-up reads before any window exists: the home directory search,
// the settings-file search and the command line. The environment comes through
// SStartEnvironment, so every rule can be tried with a made-up one.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Environment variables and the working directory, in Shift_JIS.
class SStartEnvironment {
public:
    virtual ~SStartEnvironment() = default;
    // nullopt when unset or empty.
    virtual std::optional<std::string> Variable(const char* name) const = 0;
    // nullopt when it cannot be read.
    virtual std::optional<std::string> WorkingDirectory() const = 0;
};

// The process's own environment. A value without a Shift_JIS form cannot name
// a folder of Qim: it counts as unset, with a warning on standard error.
class SProcessEnvironment : public SStartEnvironment {
public:
    std::optional<std::string> Variable(const char* name) const override;
    std::optional<std::string> WorkingDirectory() const override;
};

// A non-empty `argument` is the home directory; else QIMHOME; else HOME joined
// with "QimHome"; else the working directory joined with "QimHome"; else
// `previous` stays.
std::string SearchQimHome(const std::string& argument, const SStartEnvironment& env, const std::string& previous);
// QIMINI; else QIMINIHOME joined with "QIM.INI"; else `home` joined with "QIM.INI".
std::string SearchQimIni(const std::string& home, const SStartEnvironment& env);

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

// The command the frame gets once the main window is set up: compose (411)
// for a mailto address, else receive (413), else the network settings (431),
// else none (0).
int FirstActionCommand(const std::string& mailto, bool receiveAtStart, bool settingsAtStart);

// /4 and /3: the receive port to store, or 0 when it already fits the request.
int RequestedPop3Port(int mailboxTypeRequest, int pop3Port);

// The text of --help (UTF-8).
const char* QimUsageText();
// Prints the text of --help or --version on standard output when asked for;
// false when neither was.
bool PrintInformation(const SQimStartOptions& options);

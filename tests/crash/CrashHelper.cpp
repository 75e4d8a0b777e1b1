// The store's and the settings' writers as commands of their own, for the
// kill test (crash_safety.py), and the check of a folder after a kill:
//   crash_helper move SRC DST        every mail of SRC moved into DST
//   crash_helper renumber FOLDER     the mails renumbered by date
//   crash_helper gaps FOLDER         the gaps between numbers closed
//   crash_helper settings FILE N     N rounds of writes into [Qim] of FILE
//   crash_helper check-settings FILE the file reads, each key old or new
//   crash_helper check FOLDER        the folder opened as a window opens it:
//                                    its cache lists each mail once, as the
//                                    mail's own header says
// Exit status 0 when the work or the check succeeded, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "common/SpProfile.h"
#include "platform/DialogService.h"
#include "store/SMailCommands.h"
#include "store/SMemCacheFolder.h"

namespace {

constexpr int kSettingKeys = 20;

std::string SettingKey(int i) {
    char key[16];
    std::snprintf(key, sizeof key, "Key%02d", i);
    return key;
}

// A value long enough that a file cut short would show: the round and 60 'x'.
std::string SettingValue(int round) { return "Round" + std::to_string(round) + "-" + std::string(60, 'x'); }

int Settings(const char* file, int rounds) {
    SpProfile profile("Qim", file);
    for (int round = 1; round <= rounds; ++round)
        if (!profile.WriteString(SettingKey(round % kSettingKeys).c_str(), SettingValue(round))) return 1;
    return 0;
}

int CheckSettings(const char* file) {
    SpProfile profile("Qim", file);
    for (int i = 0; i < kSettingKeys; ++i) {
        std::string value;
        profile.GetString(SettingKey(i).c_str(), value, 256, "<missing>");
        const bool wellFormed = value.rfind("Round", 0) == 0 && value.size() > 61 &&
                                value.compare(value.size() - 61, 61, "-" + std::string(60, 'x')) == 0;
        if (!wellFormed) {
            std::fprintf(stderr, "%s: %s=%s\n", file, SettingKey(i).c_str(), value.c_str());
            return 1;
        }
    }
    return 0;
}

int Check(const char* path) {
    SMemCacheFolder folder;
    folder.SetFolder(path);
    std::set<int> listed;
    int problems = 0;
    for (const SQimMailData& record : folder.Records()) {
        SHeaderData header;
        if (!listed.insert(record.number).second) {
            std::fprintf(stderr, "%s: mail %d listed twice\n", path, record.number);
            ++problems;
        } else if (!SQimCacheFolder::ReadHeaderData(folder.MailPath(record.number).c_str(), header)) {
            std::fprintf(stderr, "%s: mail %d listed but not there\n", path, record.number);
            ++problems;
        } else if (header.subject != record.header.subject || header.from != record.header.from) {
            std::fprintf(stderr, "%s: mail %d listed as \"%s\", is \"%s\"\n", path, record.number,
                         record.header.subject.c_str(), header.subject.c_str());
            ++problems;
        }
    }
    for (int number : folder.MailNumbers())
        if (!listed.count(number)) {
            std::fprintf(stderr, "%s: mail %d not listed\n", path, number);
            ++problems;
        }
    return problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    platform::HeadlessDialogService dialogs;
    SMailCommands commands(dialogs);
    if (command == "move" && argc == 4) {
        SMemCacheFolder source;
        source.SetFolder(argv[2]);
        std::vector<int> all = source.MailNumbers();
        return commands.MoveMails(source, all, argv[3]).size() == all.size() ? 0 : 1;
    }
    if ((command == "renumber" || command == "gaps") && argc == 3) {
        SMemCacheFolder folder;
        folder.SetFolder(argv[2]);
        if (command == "renumber") commands.RenumberByDate(folder);
        else commands.CloseGaps(folder);
        return Check(argv[2]);
    }
    if (command == "settings" && argc == 4) return Settings(argv[2], std::atoi(argv[3]));
    if (command == "check-settings" && argc == 3) return CheckSettings(argv[2]);
    if (command == "check" && argc == 3) return Check(argv[2]);
    std::fputs("usage: crash_helper move SRC DST | renumber FOLDER | gaps FOLDER | settings FILE N | "
               "check-settings FILE | check FOLDER\n", stderr);
    return 2;
}

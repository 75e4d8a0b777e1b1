// The soak: ROUNDS receives from a POP3 server and a sort of the inbox by
// rule set 1 after each, in one process, with its resident memory after
// every round. Before each round the next MESSAGES/ROUNDS message files of
// SOURCE are moved into the server's maildir (MAILDIR/new), so the server
// always has fresh mail. The home's QIM.INI holds the account and the rules.
//   soak_receive_sort HOME MAILDIR SOURCE ROUNDS
// Prints one line a round: round, mails received, mails sorted, inbox mails,
// VmRSS in KB; exits 1 when a round fails.
#include <QCoreApplication>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/QimGlobals.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "filters/SAMFProfile.h"
#include "filters/SAutoMoveFiles.h"
#include "platform/DialogService.h"
#include "pop3/SReceiveRun.h"
#include "store/SMemCacheFolder.h"

namespace fs = std::filesystem;

namespace {

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Progress goes nowhere: the soak watches only the outcome and the memory.
class QuietProgress : public SPop3Observer {
public:
    void ShowStatus(const std::string&) override {}
    void ShowFrom(const std::string&) override {}
    void ShowSubject(const std::string&) override {}
    void ShowSecurity(const std::string&) override {}
    bool AskPassword() override { return false; }
    void Notify(const SNotice&) override {}
    void ReportLogin(int) override {}
    void Ended(int, bool) override {}
};

// The next `count` files of `source` into the maildir, owned as the maildir is.
int Deliver(std::vector<fs::path>& pending, std::size_t count, const fs::path& maildir) {
    struct stat owner {};
    if (::stat(maildir.c_str(), &owner) != 0) return -1;
    int moved = 0;
    while (count-- > 0 && !pending.empty()) {
        const fs::path from = pending.back();
        pending.pop_back();
        const fs::path to = maildir / "new" / from.filename();
        fs::rename(from, to);
        if (::chown(to.c_str(), owner.st_uid, owner.st_gid) != 0) return -1;
        ++moved;
    }
    return moved;
}

int InboxMails(const std::string& home) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(home)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !name.empty() &&
            std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            ++count;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: soak_receive_sort HOME MAILDIR SOURCE ROUNDS\n");
        return 2;
    }
    const std::string home = argv[1];
    const fs::path maildir = argv[2];
    const int rounds = std::atoi(argv[4]);
    std::vector<fs::path> pending;
    for (const auto& entry : fs::directory_iterator(argv[3])) pending.push_back(entry.path());
    std::sort(pending.rbegin(), pending.rend());
    const std::size_t perRound = (pending.size() + rounds - 1) / rounds;

    QCoreApplication app(argc, argv);
    SetQimHome(home);
    SetQimIniPath(home + "/QIM.INI");
    SUserInetData inet;
    inet.Read();
    inet.password = "secret";
    SSettingData& settings = GetSettingData();
    settings.Read();
    SAMFProfile profile(SSortRuleSet::Local1);
    if (!profile.Load() || profile.rules.empty()) {
        std::fprintf(stderr, "no rule set 1 in %s/QIM.INI\n", home.c_str());
        return 1;
    }
    platform::HeadlessDialogService dialogs;
    platform::SetDialogService(&dialogs);
    QuietProgress progress;
    std::printf("round\treceived\tsorted\tinbox\trss_kb\n");
    std::printf("0\t0\t0\t0\t%ld\n", ResidentKb());
    for (int round = 1; round <= rounds; ++round) {
        if (Deliver(pending, perRound, maildir) < 0) {
            std::fprintf(stderr, "round %d: could not fill the maildir\n", round);
            return 1;
        }
        SReceiveRun run(home, inet, settings);
        const SReceiveOutcome outcome = RunReceive(run, progress);
        if (outcome.failed || outcome.result != qimpop3::kResultOk) {
            std::fprintf(stderr, "round %d: the receive failed (%d)\n", round, outcome.result);
            return 1;
        }
        const int received = outcome.Arrived() ? outcome.lastNew - outcome.firstNew + 1 : 0;
        SAutoMoveFiles sort(dialogs);
        if (!sort.Start(home, home, profile.rules)) {
            std::fprintf(stderr, "round %d: the sort did not start\n", round);
            return 1;
        }
        while (sort.RunStep()) {
        }
        if (sort.Failed()) {
            std::fprintf(stderr, "round %d: the sort failed\n", round);
            return 1;
        }
        std::printf("%d\t%d\t%d\t%d\t%ld\n", round, received, sort.TotalMoved(), InboxMails(home), ResidentKb());
        std::fflush(stdout);
    }
    return 0;
}

#include "app/SQimInstance.h"

#include <pwd.h>
#include <unistd.h>

#include <string>

#include "config/QimGlobals.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SMailtoUrl.h"
#include "app/SQimCommandLine.h"
#include "common/AppNames.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "platform/qt/LocalInstance.h"

std::string QimInstanceName() {
    std::string user;
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) user = pw->pw_name;
    if (user.empty()) user = std::to_string(geteuid());
    return std::string(GetAppClassName()) + "-" + user;
}

bool SLocalRunningCopy::Exists() { return platform::InstanceAnswers(QimInstanceName(), timeoutMs_); }

std::optional<std::string> SLocalRunningCopy::HomeDirectory() {
    return platform::AskInstance(QimInstanceName(), std::to_string(qimreq::HomeDirectory), timeoutMs_);
}

void SLocalRunningCopy::Activate() { platform::AskInstance(QimInstanceName(), kActivateRequest, timeoutMs_); }

bool SLocalRunningCopy::HandOverMailto(const std::string& mailto) {
    const std::optional<std::string> answer =
        platform::AskInstance(QimInstanceName(), kMailtoRequest + MailtoRequestLine(mailto), timeoutMs_);
    return answer && *answer == "1";
}

bool ApplyInstanceRule(int instanceMode, const std::string& home, SRunningCopy& running, const std::string& mailto) {
    if (instanceMode == kInstanceDouble) return true;
    if (!running.Exists()) return true;
    if (instanceMode == kInstanceDoubleX) {
        std::optional<std::string> theirs = running.HomeDirectory();
        if (theirs && !theirs->empty() && !IsSameDir(*theirs, AbsoluteDirectory(home))) return true;
    }
    if (!mailto.empty() && running.HandOverMailto(mailto)) return false;
    QimMessageBox(nullptr, LoadQimString(qimstr::TwoCopies).c_str(), platform::MessageIcon::Exclamation);
    running.Activate();
    return false;
}

std::string AbsoluteDirectory(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::optional<std::string> cwd = SProcessEnvironment().WorkingDirectory();
    if (!cwd) return path;
    std::string full;
    MakeFullPath(full, *cwd, path.empty() ? "." : path);
    return full;
}

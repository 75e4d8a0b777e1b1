#include "imap/QimPFolderNameCheck.h"

#include <algorithm>
#include <vector>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "imap/SQimPFolderList.h"
#include "store/SStoreDialogs.h"

namespace qimimap {

namespace {

// The typed name made full under the root, as the folder list writes paths.
std::string FullPathOf(const std::string& typed) {
    std::string full(kQimPRoot);
    if (typed == ".") return full;
    std::size_t start = 0;
    if (typed.size() >= 2 && typed[0] == '.' && (typed[1] == '\\' || typed[1] == '/')) start = 2;
    full.push_back('\\');
    full.append(typed, start, std::string::npos);
    return full;
}

}  // namespace

bool NamesListedFolder(const std::vector<std::string>& listed, const std::string& typed) {
    std::vector<std::string> want, have;
    // Names compared as the server compares them: exactly, whatever separator
    // was typed and with a trailing one or not.
    if (!QimPComponents(FullPathOf(typed), want)) return false;
    for (const std::string& path : listed) {
        if (!QimPComponents(path, have) || have.size() < want.size()) continue;
        if (std::equal(want.begin(), want.end(), have.begin())) return true;
    }
    return false;
}

}  // namespace qimimap

SQimPFolderNameVerdict CheckServerFolderName(const SQimPFolderList& list, const std::string& typed,
                                             platform::DialogService& dialogs, platform::ParentWindow parent) {
    SQimPFolderNameVerdict verdict;
    std::vector<std::string> listed;
    if (!list.Exists() || !list.Read(listed)) return verdict;
    if (qimimap::NamesListedFolder(listed, typed)) return verdict;
    std::string text = LoadStringCmmnDll(cmmnstr::FolderNotFound);
    text.append("\n\n");
    text.append(LoadStringCmmnDll(cmmnstr::EnterAgain));
    SStoreDialogs boxes(dialogs, parent);
    if (boxes.Message(text, platform::MessageIcon::Exclamation, platform::MessageButtons::YesNo) ==
        platform::MessageAnswer::Yes) {
        verdict.accept = false;
        verdict.refocus = true;
    }
    return verdict;
}

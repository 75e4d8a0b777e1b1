#include "imap/SMakeIniFilesMail.h"

#include <cstdio>

#include "common/FilePath.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/IniFilesPlace.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "send/SAttachmentList.h"
#include "send/SComposeEditor.h"
#include "send/SEMailHeader.h"
#include "send/SMakeMimeMail.h"
#include "send/SendCodes.h"

bool CopyFileOver(const std::string& from, const std::string& to) {
    std::string dir, name, temporary;
    SplitFilePath(to, dir, name);
    if (dir.empty()) dir.assign(1, '.');
    if (!platform::CreateTempFile(dir.c_str(), ".qimcopy-", temporary)) return false;
    FILE* in = platform::OpenFile(from.c_str(), "rb");
    FILE* out = in ? platform::OpenFile(temporary.c_str(), "wb") : nullptr;
    bool ok = in && out;
    char buffer[8192];
    while (ok) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n > 0 && std::fwrite(buffer, 1, n, out) != n) ok = false;
        if (n < sizeof buffer) {
            if (std::ferror(in)) ok = false;
            break;
        }
    }
    if (in) std::fclose(in);
    if (out && std::fclose(out) != 0) ok = false;
    if (ok) ok = platform::ReplaceFile(temporary.c_str(), to.c_str());
    if (!ok) platform::RemoveFile(temporary.c_str());
    return ok;
}

namespace {

// A folder of its own in the system's temporary folder, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string file;
        const std::string base = platform::TempDirectory();
        // The unique name of a file, taken for the folder.
        if (platform::CreateTempFile(base.c_str(), "qimini-", file) && platform::RemoveFile(file.c_str()) &&
            platform::CreateDirectory(file.c_str()))
            path_ = file;
    }
    ~ScratchFolder() {
        if (!path_.empty()) platform::RemoveTree(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::vector<SNotice> SMakeIniFilesMail::TakeNotices() {
    std::vector<SNotice> taken;
    taken.swap(notices_);
    return taken;
}

bool SMakeIniFilesMail::Make(const std::string& path) {
    if (!list_.Make()) {
        notices_.push_back(list_.Problem());
        return false;
    }
    for (const std::string& name : list_.LeftOut())
        notices_.push_back(
            SNotice::Program(qimstr::IniListFileLeftOut, {name}, platform::MessageIcon::Exclamation));

    SEMailMimeHeader header;
    header.from = address_;
    header.to = address_;
    header.subject = qimimap::kIniFilesSubject;
    header.xMailer = kQimMailer;
    // The text names the files, for whoever opens the mailbox with another program.
    std::string text = LoadQimString(qimstr::IniFilesMailText);
    text.append("\n");
    SAttachmentList attachments;
    // The composer names a part after its file: a main settings file found
    // under another name (QIMINI) goes as a copy named QIM.INI.
    ScratchFolder scratch;
    for (const SIniFile& file : list_.Files()) {
        text.append(file.name).append("\n");
        std::string dir, name;
        SplitFilePath(file.path, dir, name);
        if (name == file.name) {
            attachments.push_back(file.path);
            continue;
        }
        std::string copy;
        MergeFilePath(copy, scratch.Path(), file.name);
        if (scratch.Path().empty() || !CopyFileOver(file.path, copy)) {
            notices_.push_back(SNotice::Program(qimstr::IniFileReadError, {file.name}));
            return false;
        }
        attachments.push_back(copy);
    }
    SComposeText editor(text);
    SMakeMimeMail maker(header, editor, &attachments, nullptr);
    if (!maker.Make()) return false;
    if (!CopyFileOver(maker.FilePath(), path)) {
        notices_.push_back(SNotice::Program(qimstr::TempFileNotWritten));
        return false;
    }
    return true;
}

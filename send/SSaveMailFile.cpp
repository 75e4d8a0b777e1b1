#include "send/SSaveMailFile.h"

#include <cstdio>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/QimMessageBox.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "send/SHalfwayHeader.h"
#include "send/SMakeMimeMail.h"
#include "store/SMailCommands.h"

using platform::MessageIcon;

bool SSaveMailFile::Save(const std::string& folderPath) {
    SMailCommands store(platform::Dialogs(), owner_);
    const std::string path = store.StoreMail(folderPath, ".", [this](const std::string& target) {
        if (Write(target)) return true;
        // Half a mail would show up in the folder as if it were one.
        platform::RemoveFile(target.c_str());
        return false;
    });
    if (path.empty()) {
        QimMessageBox(owner_, LoadQimString(qimstr::CannotSaveMail).c_str(), MessageIcon::Stop);
        return false;
    }
    saved_ = path;
    if (onStored) onStored(folderPath);
    return true;
}

bool SSaveMailFile::AppendEditorText(const std::string& path, const SComposeEditor& editor) {
    FILE* fp = platform::OpenFile(path.c_str(), "ab");
    if (!fp) return false;
    bool ok = true;
    for (int i = 0; ok && i < editor.LineCount(); ++i) {
        const std::string line = editor.Line(i) + "\r\n";
        ok = std::fwrite(line.data(), 1, line.size(), fp) == line.size();
    }
    if (std::fclose(fp) != 0) ok = false;
    return ok;
}

bool SSaveSentMail::Write(const std::string& path) {
    return header_.WriteHeaderText(path.c_str(), true) && AppendEditorText(path, editor_);
}

bool SSaveSentMailFile::Write(const std::string& path) {
    if (mode_ == Mode::Move) return platform::MoveFile(messageFile_.c_str(), path.c_str());
    return platform::CopyFileNoReplace(messageFile_.c_str(), path.c_str());
}

bool SSaveDraftMail::Write(const std::string& path) {
    SHalfwayHeader header;
    header.TakeFields(header_);
    header.contentType = SMakeMimeMailFile::TextContentType(editor_);
    const bool ok = header.BuildDraft(mode_, attachments_) && header.WriteHeaderText(path.c_str(), true) &&
                    AppendEditorText(path, editor_);
    if (!ok) QimMessageBox(owner_, LoadQimString(qimstr::CannotSave).c_str(), MessageIcon::Stop);
    return ok;
}

bool StoreSentCopy(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer) {
    if (fcc.kind == kSaveNone) return true;
    return writer.Save(fcc.FullPath());
}

std::string DraftSavedQuestion(const std::string& folderName) {
    std::string text;
    if (!folderName.empty()) {
        const std::string format = LoadQimString(qimstr::SavedInFolder);
        std::vector<char> buffer(format.size() + folderName.size() + 1);
        std::snprintf(buffer.data(), buffer.size(), format.c_str(), folderName.c_str());
        text = buffer.data();
    }
    return text + LoadQimString(qimstr::DraftSaved) + "\n" + LoadQimString(qimstr::CloseThisWindow);
}

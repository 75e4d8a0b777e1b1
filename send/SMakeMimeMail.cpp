#include "send/SMakeMimeMail.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/FilePath.h"
#include "common/JapaneseCodes.h"
#include "common/QimMessageBox.h"
#include "common/SMimeBase64.h"
#include "common/SMimePart.h"
#include "platform/NativePath.h"
#include "platform/TextFile.h"
#include "send/SAttachmentPartHeader.h"
#include "send/SendCodes.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

// Closes a stdio stream and reports whether everything reached the file.
bool CloseChecked(FILE* fp) {
    const bool ok = std::ferror(fp) == 0;
    return std::fclose(fp) == 0 && ok;
}

}  // namespace

SMakeMimeMailFile::SMakeMimeMailFile(SEMailMimeHeader& header, SComposeEditor& editor,
                                     platform::ParentWindow owner)
    : boundary_(MakeBoundary()), owner_(owner), header_(header), editor_(editor) {}

std::string SMakeMimeMailFile::TextContentType(const SComposeEditor& editor) {
    for (int i = 0; i < editor.LineCount(); ++i) {
        const std::string line = editor.Line(i);
        if (!IsUSAscii(reinterpret_cast<const unsigned char*>(line.c_str()))) return SMimePart::MimeCTIso2020Jp();
    }
    return SMimePart::MimeCTUsAscii();
}

bool SMakeMimeMailFile::WriteHeader() {
    if (!header_.Build()) return Fail(qimstr::HeaderTooLong);
    if (!file_.Path() || !header_.WriteHeaderText(file_.Path(), true)) return Fail(qimstr::TempFileNotWritten);
    return true;
}

bool SMakeMimeMailFile::AppendEditorLines(FILE* fp) {
    for (int i = 0; i < editor_.LineCount(); ++i) {
        const std::string line = editor_.Line(i) + "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), fp) != line.size()) return false;
    }
    return true;
}

bool SMakeMimeMailFile::Fail(unsigned id) {
    QimMessageBox(owner_, LoadQimString(id).c_str(), MessageIcon::Stop);
    file_.Delete();
    return false;
}

bool SMakePlainTextMimeMail::Make() {
    header_.mimeVersion = SMimePart::MimeVers1P0();
    header_.contentType = TextContentType(editor_);
    if (!WriteHeader()) return false;
    FILE* fp = platform::OpenFile(file_.Path(), "ab");
    if (!fp) return Fail(qimstr::TempFileNotOpened);
    const bool written = AppendEditorLines(fp);
    if (!CloseChecked(fp) || !written) return Fail(qimstr::TempFileNotWritten);
    return true;
}

SMakeMimeMail::SMakeMimeMail(SEMailMimeHeader& header, SComposeEditor& editor, SAttachmentList* attachments,
                             platform::ParentWindow owner)
    : SMakeMimeMailFile(header, editor, owner), attachments_(attachments ? attachments : &ownList_) {}

bool SMakeMimeMail::WriteTextPart() {
    platform::TextFile text;
    if (!text.Open(file_.Path(), "a")) return Fail(qimstr::TempFileNotOpened);
    const std::string partHeader = "\n--" + boundary_ + "\n" + SMimePart::MimeContentType() +
                                   TextContentType(editor_) + "\n\n";
    if (!text.Puts(partHeader.c_str()) || !text.Close()) return Fail(qimstr::TempFileNotWritten);
    FILE* fp = platform::OpenFile(file_.Path(), "ab");
    if (!fp) return Fail(qimstr::TempFileNotOpened);
    const bool written = AppendEditorLines(fp);
    if (!CloseChecked(fp) || !written) return Fail(qimstr::TempFileNotWritten);
    return true;
}

bool SMakeMimeMail::WriteFilePart(const std::string& path) {
    if (onEncoding) onEncoding(path);
    std::string native;
    const int in = platform::ToNativePath(path.c_str(), native) ? ::open(native.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (in < 0) return Fail(qimstr::AttachmentNotOpened);
    std::string dir;
    SMimePart part;
    SplitFilePath(path, dir, part.name);
    part.type = kMimeTypeApplication;
    part.subtype = kMimeSubtypeOctetStream;
    part.encoding = kMimeEncodingBase64;
    platform::TextFile text;
    bool ok = text.Open(file_.Path(), "a");
    if (!ok) {
        ::close(in);
        return Fail(qimstr::TempFileNotOpened);
    }
    // The name goes out in the forms every reader understands (Content-Type,
    // Content-Disposition with RFC 2231); without the flag, as a bare part.
    const std::string fields = encodeName_ ? qimsend::AttachmentPartHeader(part.name) : SMimePart::HeaderStr(part, false);
    std::string partHeader = "\n--";
    partHeader.append(boundary_).append("\n").append(fields).append("\n");
    ok = text.Puts(partHeader.c_str()) && text.Flush();
    if (ok) ok = SMimeBase64().EncodeFileBody(in, text.Handle());
    ::close(in);
    if (!text.Close() || !ok) return Fail(qimstr::TempFileNotWritten);
    return true;
}

bool SMakeMimeMail::Make() {
    header_.contentType = std::string(SMimePart::MimeCTMultipartMixed()) + "; boundary=\"" + boundary_ + "\"";
    header_.mimeVersion = SMimePart::MimeVers1P0();
    if (!WriteHeader() || !WriteTextPart()) return false;
    for (const std::string& path : *attachments_)
        if (!WriteFilePart(path)) return false;
    platform::TextFile text;
    if (!text.Open(file_.Path(), "a")) return Fail(qimstr::TempFileNotOpened);
    const std::string closing = "\n--" + boundary_ + "--\n";
    if (!text.Puts(closing.c_str()) || !text.Close()) return Fail(qimstr::TempFileNotWritten);
    return true;
}

bool SMakeBinaryMimeMail::Make() {
    SAttachmentList& list = Attachments();
    if (list.empty()) {
        if (!ChooseAttachments(list, owner_)) {
            QimMessageBox(owner_, LoadQimString(qimstr::SendAborted).c_str(), MessageIcon::Exclamation);
            return false;
        }
        if (onAttachmentsChosen) onAttachmentsChosen();
    }
    std::uint64_t total = 0;
    if (!AttachmentsTotalSize(list, total)) return Fail(qimstr::AttachmentSizeUnknown);
    const std::string sizeText = AttachmentSizeText(total);
    if (askSize && EncodedKB(total) > kLargeAttachmentKB) {
        char text[1024];
        std::snprintf(text, sizeof text, LoadQimString(qimstr::AttachmentsLarge).c_str(), sizeText.c_str());
        if (QimMessageBox(owner_, text, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
            return false;
    }
    if (!SMakeMimeMail::Make()) return false;
    if (!confirm) return true;
    char format[1024];
    LoadQimString(qimstr::SendWithAttachments, format, sizeof format);
    const std::string listText = AttachmentListText(list);
    std::string text(std::snprintf(nullptr, 0, format, listText.c_str()) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, listText.c_str());
    text.pop_back();
    text += "\r\n" + sizeText;
    if (QimMessageBox(owner_, text.c_str(), MessageIcon::Question, MessageButtons::YesNoCancel) != MessageAnswer::Yes) {
        file_.Delete();
        return false;
    }
    return true;
}

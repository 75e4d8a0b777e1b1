#include "send/SHalfwayHeader.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/JString.h"
#include "common/SHeaderField.h"
#include "common/SMHUnfoldDecode.h"
#include "common/SMimePart.h"
#include "platform/TextFile.h"
#include "send/SendCodes.h"

namespace {

// A line holds the whole attachment record, so a long one is never split.
constexpr int kDraftLineSize = kAttachRecordSize + 100;

// Collects the fields of an unsent mail while its header is read.
class DraftFieldReader : public SMHUnfoldDecode {
public:
    DraftFieldReader(SHalfwayHeader& header, SAttachmentList& attachments)
        : header_(header), attachments_(attachments) {}
    ~DraftFieldReader() override = default;

    bool Action(const char* field) override {
        struct Target {
            const char* name;
            std::string SEMailHeader::*member;
        };
        static const Target kTargets[] = {
            {"To:", &SEMailHeader::to},           {"Cc:", &SEMailHeader::cc},
            {"Bcc:", &SEMailHeader::bcc},         {"Subject:", &SEMailHeader::subject},
            {"Reply-To:", &SEMailHeader::replyTo}, {"Sender:", &SEMailHeader::sender},
            {"In-Reply-To:", &SEMailHeader::inReplyTo}, {"References:", &SEMailHeader::references},
        };
        if (HeaderFieldText(field, kAttachFilesField, value_)) {
            if (!ReadAttachFilesValue(value_, attachments_, used_)) refused_ = true;
            return true;
        }
        for (const Target& t : kTargets) {
            if (!HeaderFieldText(field, t.name, value_)) continue;
            std::string& target = header_.*(t.member);
            if (!target.empty() && !value_.empty()) target += ", ";
            target += value_;
            break;
        }
        return true;
    }
    bool refused_ = false;

private:
    SHalfwayHeader& header_;
    SAttachmentList& attachments_;
    std::string value_;
    std::size_t used_ = 0;
};

}  // namespace

void SHalfwayHeader::TakeFields(const SEMailHeader& h) {
    from = h.from;
    sender = h.sender;
    replyTo = h.replyTo;
    to = h.to;
    cc = h.cc;
    bcc = h.bcc;
    subject = h.subject;
    extraHeader = h.extraHeader;
    xMailer = h.xMailer;
    inReplyTo = h.inReplyTo;
    references = h.references;
    clientAddr = h.clientAddr;
}

bool SHalfwayHeader::BuildDraft(int mode, const SAttachmentList& attachments) {
    headerText_.clear();
    date = CurrentInetDate();
    messageId.clear();
    struct Field {
        const char* name;
        const std::string* value;
    };
    const Field fields[] = {
        {"Date: ", &date},       {"From: ", &from},          {"Subject: ", &subject}, {"Sender: ", &sender},
        {"To: ", &to},           {"Cc: ", &cc},              {"Bcc: ", &bcc},         {"Reply-To: ", &replyTo},
        {"In-Reply-To: ", &inReplyTo}, {"References: ", &references},
    };
    for (const Field& f : fields)
        if (!f.value->empty() && !AddLine(f.name, *f.value)) return false;
    if (!extraHeader.empty()) {
        std::size_t start = 0;
        while (start <= extraHeader.size()) {
            std::size_t end = extraHeader.find('\n', start);
            if (end == std::string::npos) end = extraHeader.size();
            std::string line = extraHeader.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") != std::string::npos && !AddExtraLine(line)) return false;
            start = end + 1;
        }
    }
    if (!xMailer.empty() && !AddLine("X-Mailer: ", xMailer)) return false;
    if (mode != kDraftModeNoMime) {
        if (!AddLine("MIME-Version: ", mimeVersion.empty() ? SMimePart::cpszMimeVers1P0 : mimeVersion)) return false;
        if (!contentType.empty() && !AddLine("Content-Type: ", contentType)) return false;
    }
    // The paths go as they are: they are this machine's names, not text for a reader.
    if (!attachments.empty()) return AppendText(AttachFilesHeaderLine(attachments) + "\r\n");
    return true;
}

bool SHalfwayHeader::ReadDraft(const char* path, SAttachmentList& attachments) {
    FILE* fp = platform::OpenFile(path, "r");
    if (!fp) return false;
    to.clear();
    cc.clear();
    bcc.clear();
    subject.clear();
    replyTo.clear();
    sender.clear();
    inReplyTo.clear();
    references.clear();
    DraftFieldReader reader(*this, attachments);
    reader.SetDecode(true);
    reader.Init();
    std::vector<char> buffer(kDraftLineSize + 1);
    char* line = buffer.data();
    while (std::fgets(line, static_cast<int>(buffer.size()), fp)) {
        if (std::strcmp(line, "\r\n") == 0 || std::strcmp(line, "\n") == 0) break;
        reader.Execute(line);
    }
    const bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    reader.Finish();
    return !failed;
}

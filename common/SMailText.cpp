#include "common/SMailText.h"

#include <strings.h>

#include <cstdio>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SCharsetText.h"
#include "common/SHeaderWords.h"
#include "common/SHtmlText.h"
#include "common/SMimeEntity.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"

namespace {

// CR LF and lone CR to LF; a NUL would cut the text short on screen.
void AppendText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += '\n';
        } else if (c != '\0') {
            out += c;
        }
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
}

struct Render {
    bool attachmentLines = true;
};

void AppendHeader(std::string& out, const SMimeEntity& entity) {
    for (const auto& [name, value] : entity.Fields()) {
        out += DecodeHeaderUtf8(name);
        out += ": ";
        out += DecodeHeaderUtf8(value);
        out += '\n';
    }
}

std::string AttachedLine(const SMimeEntity& entity) {
    std::string line = platform::Cp932ToUtf8Lossy(LoadStringCmmnDll(cmmnstr::AttachmentOmitted));
    const std::string name = entity.FileName();
    line += ' ';
    line += name.empty() ? entity.Type() + "/" + entity.Subtype() : name;
    line += '\n';
    return line;
}

bool IsText(const SMimeEntity& e, const char* subtype) { return e.Type() == "text" && e.Subtype() == subtype; }

void AppendBody(std::string& out, const SMimeEntity& entity, int depth, const Render& how);

void AppendPart(std::string& out, std::string_view bytes, int depth, const Render& how) {
    AppendBody(out, SMimeEntity(bytes), depth, how);
}

void AppendBody(std::string& out, const SMimeEntity& entity, int depth, const Render& how) {
    if (entity.IsMultipart() && depth < SMimeEntity::kMaxDepth) {
        const std::vector<std::string_view> parts = entity.Parts();
        if (entity.Subtype() == "alternative" && !parts.empty()) {
            // The plain text when there is one, else the HTML, else the first.
            std::string_view chosen = parts.front();
            int rank = 0;
            for (std::string_view part : parts) {
                const SMimeEntity e(part);
                const int r = IsText(e, "plain") ? 3 : IsText(e, "html") ? 2 : e.IsMultipart() ? 1 : 0;
                if (r > rank) {
                    rank = r;
                    chosen = part;
                }
            }
            AppendPart(out, chosen, depth + 1, how);
            return;
        }
        bool first = true;
        for (std::string_view part : parts) {
            if (!first && !out.empty() && out.back() == '\n' && out.size() >= 2 && out[out.size() - 2] != '\n')
                out += '\n';
            first = false;
            AppendPart(out, part, depth + 1, how);
        }
        return;
    }
    if (entity.Type() == "message" && entity.Subtype() == "rfc822" && depth < SMimeEntity::kMaxDepth) {
        const std::string inner = entity.DecodedBody();
        const SMimeEntity message(inner);
        AppendHeader(out, message);
        out += '\n';
        AppendBody(out, message, depth + 1, how);
        return;
    }
    const bool attachment = entity.IsAttachmentDisposition() && !entity.FileName().empty();
    if (entity.Type() == "text" && !attachment) {
        const std::string text = TextToUtf8(entity.Charset(), entity.DecodedBody());
        AppendText(out, entity.Subtype() == "html" ? HtmlToText(text) : text);
        return;
    }
    if (how.attachmentLines) out += AttachedLine(entity);
}

}  // namespace

std::string SMailView::Field(std::string_view name) const {
    for (const auto& [n, v] : fields)
        if (n.size() == name.size() && strncasecmp(n.c_str(), name.data(), name.size()) == 0) return v;
    return std::string();
}

SMailView MailViewUtf8(std::string_view bytes, bool attachmentLines) {
    const SMimeEntity mail(bytes);
    SMailView view;
    for (const auto& [name, value] : mail.Fields()) view.fields.emplace_back(DecodeHeaderUtf8(name), DecodeHeaderUtf8(value));
    // Mail without MIME is text as it stands (Shift_JIS as stored, or a guess).
    if (!mail.Field("MIME-Version") && !mail.Field("Content-Type")) {
        AppendText(view.body, TextToUtf8(std::string(), mail.RawBody()));
        return view;
    }
    Render how;
    how.attachmentLines = attachmentLines;
    AppendBody(view.body, mail, 0, how);
    return view;
}

std::string MailTextUtf8(std::string_view bytes) {
    const SMailView view = MailViewUtf8(bytes);
    std::string out;
    for (const auto& [name, value] : view.fields) {
        out += name;
        out += ": ";
        out += value;
        out += '\n';
    }
    out += '\n';
    out += view.body;
    return out;
}

namespace {

bool ReadMailFile(const char* sjisPath, std::string& data, std::size_t limit, bool& cut) {
    FILE* fp = platform::OpenFile(sjisPath, "rb");
    if (!fp) return false;
    char block[1 << 16];
    cut = false;
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, fp)) > 0;) {
        if (data.size() + got > limit) {
            data.append(block, limit - data.size());
            cut = true;
            break;
        }
        data.append(block, got);
    }
    const bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    return !failed;
}

}  // namespace

bool MailFileTextUtf8(const char* sjisPath, std::string& utf8, std::size_t limit) {
    std::string data;
    bool cut = false;
    if (!ReadMailFile(sjisPath, data, limit, cut)) return false;
    utf8 = MailTextUtf8(data);
    if (cut) utf8 += "...\n";
    return true;
}

bool MailFileViewUtf8(const char* sjisPath, SMailView& view, std::size_t limit, bool attachmentLines) {
    std::string data;
    bool cut = false;
    if (!ReadMailFile(sjisPath, data, limit, cut)) return false;
    view = MailViewUtf8(data, attachmentLines);
    if (cut) view.body += "...\n";
    return true;
}

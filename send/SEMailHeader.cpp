#include "send/SEMailHeader.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "common/SHeaderField.h"
#include "config/QimLayoutSettings.h"
#include "common/InetDate.h"
#include "common/JString.h"
#include "common/SHeaderMime.h"
#include "common/SMHUnfoldDecode.h"
#include "platform/TextFile.h"
#include "send/SAddressText.h"
#include "send/SendCodes.h"

namespace {

constexpr int kReplyLineSize = 1000;
constexpr std::size_t kHostNameSize = 128;
constexpr long kJapanOffsetSeconds = 9 * 3600;

// A field value is one line: a line end typed or pasted into it would start
// a header line of its own.
std::string OneLine(const std::string& value) {
    std::string out = value;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// The lines of the extra header text; empty lines would end the header early.
std::vector<std::string> ExtraLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t\r") != std::string::npos) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A host name fit for the right side of a message id.
bool UsableHost(const std::string& host) {
    if (host.empty() || host.size() > kHostNameSize) return false;
    for (unsigned char c : host)
        if (c <= ' ' || c >= 0x7F || c == '<' || c == '>' || c == '@' || c == '"' || c == '\\') return false;
    return true;
}

std::string LocalHostName() {
    char name[kHostNameSize + 1] = {};
    if (gethostname(name, kHostNameSize) != 0) return std::string();
    return name;
}

// Collects the fields a reply needs while the header is read.
class ReplyFieldReader : public SMHUnfoldDecode {
public:
    explicit ReplyFieldReader(SReplyFields& fields) : fields_(fields) {}
    ~ReplyFieldReader() override = default;

    bool Action(const char* field) override {
        struct Target {
            const char* name;
            std::string SReplyFields::*member;
        };
        static const Target kTargets[] = {
            {"From:", &SReplyFields::from},         {"Subject:", &SReplyFields::subject},
            {"Message-Id:", &SReplyFields::messageId}, {"Reply-To:", &SReplyFields::replyTo},
            {"Date:", &SReplyFields::date},         {"To:", &SReplyFields::to},
            {"Cc:", &SReplyFields::cc},             {"Bcc:", &SReplyFields::bcc},
            {"In-Reply-To:", &SReplyFields::inReplyTo}, {"References:", &SReplyFields::references},
        };
        std::string value;
        for (const Target& t : kTargets) {
            if (!HeaderFieldText(field, t.name, value)) continue;
            fields_.*(t.member) += value;
            break;
        }
        return true;
    }

private:
    SReplyFields& fields_;
};

bool ReadReplyHeader(const char* path, SReplyFields& fields, bool decode) {
    FILE* fp = platform::OpenFile(path, "r");
    if (!fp) return false;
    fields = SReplyFields();
    ReplyFieldReader reader(fields);
    reader.SetDecode(decode);
    reader.Init();
    char line[kReplyLineSize + 1];
    while (std::fgets(line, sizeof line, fp)) {
        if (std::strcmp(line, "\r\n") == 0 || std::strcmp(line, "\n") == 0) break;
        reader.Execute(line);
    }
    const bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    reader.Finish();
    fields.replyAddress = fields.replyTo.empty() ? fields.from : fields.replyTo;
    return !failed;
}

}  // namespace

std::string FoldHeaderLine(const std::string& line) {
    if (line.size() < static_cast<std::size_t>(kHeaderFoldLength)) return line;
    std::string out;
    std::size_t segment = 0;
    while (line.size() - segment >= static_cast<std::size_t>(kHeaderFoldColumn)) {
        std::size_t cut = std::string::npos;
        for (std::size_t i = segment; i < segment + kHeaderFoldColumn; ++i) {
            const char c = line[i];
            if (c == ',' || c == ' ' || c == '\t') cut = i;
        }
        if (cut == std::string::npos) break;
        out.append(line, segment, cut + 1 - segment);
        out += "\r\n\t";
        segment = cut + 1;
    }
    out.append(line, segment, std::string::npos);
    return out;
}

std::string MakeMessageId(const std::string& senderAddress, const std::string& clientAddr) {
    std::string host;
    const std::string address = AddressPart(senderAddress);
    if (const std::size_t at = address.rfind('@'); at != std::string::npos) host = address.substr(at + 1);
    if (!UsableHost(host)) host = clientAddr;
    if (!UsableHost(host)) host = LocalHostName();
    if (!UsableHost(host)) host = "qim.invalid";
    // The time and 64 bits of the system's random source: two machines, or
    // two mails in one second, do not meet.
    std::random_device source;
    const unsigned long long random =
        (static_cast<unsigned long long>(source()) << 32) ^ static_cast<unsigned long long>(source());
    // The counter, for those who keep it on, stays part of the id.
    std::string counted;
    int counter = 0;
    if (TakeMessageNumber(counter)) counted = std::to_string(counter) + ".";
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char id[96 + kHostNameSize];
    std::snprintf(id, sizeof id, "<%04d%02d%02d%02d%02d%02d.%s%016llx@%s>", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, counted.c_str(), random, host.c_str());
    return id;
}

std::string CurrentInetDate() {
    const std::time_t japan = std::time(nullptr) + kJapanOffsetSeconds;
    std::tm t{};
    gmtime_r(&japan, &t);
    return DateToInetDate(t);
}

std::string MakeBoundary() {
    const std::time_t t = std::time(nullptr);
    std::minstd_rand random(static_cast<unsigned>(t));
    char boundary[kBoundarySize];
    std::snprintf(boundary, sizeof boundary, "QimKuGiRi-%ld=_%c", static_cast<long>(t),
                  static_cast<char>('A' + random() % 26));
    return boundary;
}

bool SEMailHeader::AppendLine(const std::string& line) {
    if (headerText_.size() + line.size() >= static_cast<std::size_t>(kHeaderTextSize)) return false;
    headerText_ += line;
    return true;
}

bool SEMailHeader::AppendText(const std::string& text) { return AppendLine(text); }

bool SEMailHeader::AddLine(const char* name, const std::string& value) {
    return AppendLine(FoldHeaderLine(name + OneLine(value)) + "\r\n");
}

bool SEMailHeader::AddExtraLine(const std::string& line) { return AppendLine(line + "\r\n"); }

bool SEMailHeader::Build() {
    headerText_.clear();
    date = CurrentInetDate();
    messageId = MakeMessageId(from, clientAddr);
    struct Field {
        const char* name;
        const std::string* value;
    };
    const Field before[] = {
        {"Date: ", &date},       {"From: ", &from},         {"Subject: ", &subject},
        {"Sender: ", &sender},   {"To: ", &to},             {"Cc: ", &cc},
        {"Reply-To: ", &replyTo}, {"In-Reply-To: ", &inReplyTo}, {"References: ", &references},
        {"Message-Id: ", &messageId},
    };
    for (const Field& f : before)
        if (!f.value->empty() && !AddLine(f.name, *f.value)) return false;
    for (const std::string& line : ExtraLines(extraHeader))
        if (!AddExtraLine(line)) return false;
    if (!xMailer.empty() && !AddLine("X-Mailer: ", xMailer)) return false;
    if (!cryptVersion.empty() && !AddLine(kCryptVersionField, cryptVersion)) return false;
    return AddClosingLines();
}

bool SEMailHeader::ReadReplyFields(const char* path, SReplyFields& fields) {
    return ReadReplyHeader(path, fields, false);
}

bool SEMailHeader::WriteHeaderText(const char* path, bool withEmptyLine) const {
    FILE* fp = platform::OpenFile(path, "wb");
    if (!fp) return false;
    bool ok = std::fwrite(headerText_.data(), 1, headerText_.size(), fp) == headerText_.size();
    if (ok && withEmptyLine) ok = std::fwrite("\r\n", 1, 2, fp) == 2;
    if (std::fclose(fp) != 0) ok = false;
    return ok;
}

bool SEMailHeader::CheckHeader() const {
    std::string value;
    if (!FindHeaderField(headerText_, "From:", value) || !FindHeaderField(headerText_, "Date:", value)) return false;
    return FindHeaderField(headerText_, "To:", value) || FindHeaderField(headerText_, "Cc:", value) ||
           bcc.find_first_not_of(" \t") != std::string::npos;
}

void SEMailHeader::CollectRecipients() {
    recipients_.clear();
    cursor_ = 0;
    for (const char* name : {"To:", "Cc:"})
        for (const std::string& value : FindHeaderFields(headerText_, name))
            for (std::string& address : SplitAddresses(value)) recipients_.push_back(std::move(address));
    for (std::string& address : SplitAddresses(bcc)) recipients_.push_back(std::move(address));
}

std::string SEMailHeader::FromAddress() const { return AddressPart(from); }

bool SEMailMimeHeader::AddLine(const char* name, const std::string& value) {
    std::string encoded;
    if (!SHeaderMime::EncodeALine((name + OneLine(value)).c_str(), encoded)) return false;
    return AppendLine(encoded + "\r\n");
}

bool SEMailMimeHeader::AddExtraLine(const std::string& line) { return AddLine("", line); }

bool SEMailMimeHeader::AddClosingLines() {
    if (!mimeVersion.empty() && !AddLine("MIME-Version: ", mimeVersion)) return false;
    if (!contentType.empty() && !AddLine("Content-Type: ", contentType)) return false;
    return true;
}

bool SEMailMimeHeader::ReadReplyFields(const char* path, SReplyFields& fields) {
    return ReadReplyHeader(path, fields, true);
}

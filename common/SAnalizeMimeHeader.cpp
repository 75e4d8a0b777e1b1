#include "common/SAnalizeMimeHeader.h"

#include "common/SMimeEntity.h"
#include "platform/CodePage.h"

#include <cstring>
#include <vector>

#include "common/JString.h"
#include "common/MbChar.h"
#include "common/SHeaderMime.h"
#include "common/SMimeLineReader.h"
#include "common/SStrTok.h"

namespace {

// The value of a field line: after the colon and its blanks, without the line end.
std::string FieldValue(const char* field) {
    const char* colon = std::strchr(field, ':');
    if (!colon) return std::string();
    ++colon;
    while (*colon == ' ' || *colon == '\t') ++colon;
    std::string value(colon);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    return value;
}

constexpr char kParamDelimiters[] = "; \t\r\n";

struct Named {
    const char* name;
    int code;
};

struct TypeRow {
    const char* name;
    int type;
    std::vector<Named> subtypes;
};

const std::vector<TypeRow>& TypeTable() {
    static const std::vector<TypeRow> table = {
        {"application",
         kMimeTypeApplication,
         {{"octet-stream", kMimeSubtypeOctetStream},
          {"postscript", kMimeSubtypePostscript},
          {"pgp-encrypted", kMimeSubtypePgpEncrypted},
          {"pgp-signature", kMimeSubtypePgpSignature},
          {"pgp-keys", kMimeSubtypePgpKeys}}},
        {"Text", kMimeTypeText, {{"plain", kMimeSubtypePlain}}},
        {"Multipart",
         kMimeTypeMultipart,
         {{"Mixed", kMimeSubtypeMixed},
          {"parallel", kMimeSubtypeParallel},
          {"digest", kMimeSubtypeDigest},
          {"alternative", kMimeSubtypeAlternative},
          {"encrypted", kMimeSubtypeEncrypted}}},
        {"Image", kMimeTypeImage, {{"gif", kMimeSubtypeGif}, {"jpeg", kMimeSubtypeJpeg}, {"x-bmp", kMimeSubtypeXBmp}}},
        {"Audio", kMimeTypeAudio, {{"basic", kMimeSubtypeBasic}}},
        {"Video", kMimeTypeVideo, {{"mpeg", kMimeSubtypeMpeg}}},
        {"Message", kMimeTypeMessage, {{"rfc822", kMimeSubtypeRfc822}}},
    };
    return table;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A token without blanks around it and without its line end; a null token is empty.
std::string Trimmed(const char* token) {
    if (!token) return "";
    while (IsBlank(*token)) ++token;
    std::string text = token;
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

// Digits at `p` as a number (large values held at a ceiling, so no input overflows).
int SmallNumber(const char*& p) {
    constexpr int kCeiling = 1000000;
    int n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) n = n < kCeiling ? n * 10 + (*p - '0') : kCeiling;
    return n;
}

bool EndsWith(const std::string& text, const char* tail) {
    std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// A long name that the composer folded reads back as encoded words separated by
// a blank; without quotes, each of them is a parameter token of its own.
void TakeFollowingWords(SStrTok* tokens, std::string& value) {
    const char* start = value.c_str();
    while (IsBlank(*start)) ++start;
    if (*start == '"') return;
    while (EndsWith(value, kMimeHeaderSuffix)) {
        const char* rest = tokens->Rest();
        if (!rest) return;
        while (IsBlank(*rest)) ++rest;
        if (std::strncmp(rest, "=?", 2) != 0) return;
        const char* word = tokens->TokenQuote(kParamDelimiters);
        if (!word) return;
        value += word;
    }
}

}  // namespace

SAnalizeMimeHeader::SAnalizeMimeHeader() {
    SetDecode(false);
    SAnalizeMimeHeader::Init();
}

SAnalizeMimeHeader::~SAnalizeMimeHeader() {
    // The last field still counts if nobody called Finish.
    if (!IsFinished()) Finish();
}

void SAnalizeMimeHeader::Init() {
    SMHUnfoldDecode::Init();
    versionMajor_ = 0;
    versionMinor_ = 0;
    boundary_.clear();
    part_ = SMimePart();
    contentType_.clear();
    disposition_.clear();
}

bool SAnalizeMimeHeader::Action(const char* field) {
    if (!field) return true;
    std::string copy = field;
    SStrTok tokens(copy.data());
    const char* name = tokens.Token(": ");
    if (!name) return true;
    if (jstraicmp(name, "MIME-Version") == 0) {
        AnalizeVersion(tokens.Rest());
    } else if (jstraicmp(name, "Content-Transfer-Encoding") == 0) {
        AnalizeEncoding(tokens);
    } else if (jstraicmp(name, "Content-Description") == 0) {
        if (part_.name.empty()) AnalizeDescription(tokens.Rest());
    } else if (jstraicmp(name, "Content-Type") == 0) {
        // The first Content-Type counts, as every reader takes it.
        if (!contentType_.empty()) return true;
        contentType_ = FieldValue(field);
        AnalizeContentType(tokens);
        TakeModernParams();
    } else if (jstraicmp(name, "Content-Disposition") == 0) {
        if (disposition_.empty()) disposition_ = FieldValue(field);
        TakeModernParams();
    }
    return true;
}

void SAnalizeMimeHeader::TakeModernParams() {
    // Content-Disposition filename, RFC 2231 names (name*=, continuations)
    // and quoted encoded words: the name today's mail programs write.
    // The Content-Type name counts only where the type's own reading takes one.
    std::string fileName = SMimeEntity::FileNameOf(std::string(), disposition_);
    const bool readsName = part_.type == kMimeTypeApplication || part_.type == kMimeTypeImage ||
                           part_.type == kMimeTypeAudio || part_.type == kMimeTypeVideo ||
                           (part_.type == kMimeTypeText && part_.subtype == kMimeSubtypePlain);
    if (fileName.empty() && readsName && (!part_.name.empty() || contentType_.find("name*") != std::string::npos))
        fileName = SMimeEntity::FileNameOf(contentType_, std::string());
    if (!fileName.empty()) part_.name = platform::Utf8ToCp932Lossy(fileName);
    if (part_.type == kMimeTypeMultipart && boundary_.empty()) {
        std::string boundary;
        if (SMimeEntity::ParamOf(contentType_, "boundary", boundary)) boundary_ = boundary;
    }
}

void SAnalizeMimeHeader::AnalizeVersion(const char* value) {
    if (!value) return;
    while (IsBlank(*value)) ++value;
    versionMajor_ = SmallNumber(value);
    versionMinor_ = 0;
    if (*value == '.') versionMinor_ = SmallNumber(++value);
}

void SAnalizeMimeHeader::AnalizeEncoding(SStrTok& tokens) {
    const char* token = tokens.Token(" \t\r\n");
    if (token && jstraicmp(token, "Base64") == 0)
        part_.encoding = kMimeEncodingBase64;
    else if (token && jstraicmp(token, "Quoted-Printable") == 0)
        part_.encoding = kMimeEncodingQuotedPrintable;
    else
        part_.encoding = kMimeEncodingNone;
}

void SAnalizeMimeHeader::AnalizeDescription(const char* value) {
    if (!value) return;
    std::string line(value, std::strcspn(value, "\r\n"));
    GetName(line.c_str(), part_.name, true, true);
}

void SAnalizeMimeHeader::AnalizeContentType(SStrTok& tokens) {
    const std::string typeName = Trimmed(tokens.Token("/ "));
    if (typeName.empty()) {
        part_.type = kMimeTypeAbsent;
        return;
    }
    const TypeRow* row = nullptr;
    for (const TypeRow& candidate : TypeTable()) {
        if (jstraicmp(typeName.c_str(), candidate.name) == 0) row = &candidate;
    }
    if (!row) {
        part_.type = kMimeTypeOther;
        return;
    }
    part_.type = row->type;
    if (row->type == kMimeTypeText) part_.charset = kMimeCharsetUsAscii;

    const std::string subtypeName = Trimmed(tokens.Token(row->type == kMimeTypeMultipart ? "; " : kParamDelimiters));
    part_.subtype = subtypeName.empty() ? kMimeSubtypeAbsent : kMimeSubtypeOther;
    for (const Named& subtype : row->subtypes) {
        if (!subtypeName.empty() && jstraicmp(subtypeName.c_str(), subtype.name) == 0) part_.subtype = subtype.code;
    }

    switch (row->type) {
        case kMimeTypeApplication:
        case kMimeTypeImage:
        case kMimeTypeAudio:
        case kMimeTypeVideo:
            TakeParam(&tokens, "Name=", part_.name, true);
            break;
        case kMimeTypeText:
            // The parameters of any other text are not read.
            if (part_.subtype == kMimeSubtypePlain) AnalizeTextParams(tokens);
            break;
        case kMimeTypeMultipart:
            TakeParam(&tokens, "boundary=", boundary_);
            break;
        default:
            break;
    }
}

void SAnalizeMimeHeader::AnalizeTextParams(SStrTok& tokens) {
    static constexpr char kCharset[] = "Charset=";
    static constexpr char kName[] = "Name=";
    while (char* token = tokens.TokenQuote(kParamDelimiters)) {
        if (jstrnaicmp(token, kCharset, sizeof kCharset - 1) == 0) {
            std::string charset;
            if (GetName(token + sizeof kCharset - 1, charset, false, false) &&
                jstraicmp(charset.c_str(), SMimePart::cpszMimeCSIso2020Jp) == 0)
                part_.charset = kMimeCharsetIso2022Jp;
        } else if (jstrnaicmp(token, kName, sizeof kName - 1) == 0) {
            std::string value = token + sizeof kName - 1;
            TakeFollowingWords(&tokens, value);
            GetName(value.c_str(), part_.name, true, false);
        }
    }
}

bool SAnalizeMimeHeader::GetName(const char* text, std::string& out, bool decode, bool toEnd) {
    if (!text) return false;
    while (IsBlank(*text)) ++text;
    std::string value;
    if (*text == '"') {
        const char* close = jstrchr(text + 1, '"');
        if (!close) return false;
        value.assign(text + 1, close);
    } else if (toEnd) {
        value = text;
    } else {
        value.assign(text, std::strcspn(text, ": \t\r\n"));
    }
    if (decode) {
        std::vector<char> decoded(value.size() + 1);
        if (SHeaderMime::DecodeALineSjis(value.c_str(), decoded.data())) value = decoded.data();
    }
    out = value;
    return true;
}

bool SAnalizeMimeHeader::TakeParam(SStrTok* tokens, const char* key, std::string& out, bool decode) {
    if (!tokens || !key) return false;
    const int keyLength = static_cast<int>(std::strlen(key));
    while (char* token = tokens->TokenQuote(kParamDelimiters)) {
        if (jstrnaicmp(token, key, keyLength) != 0) continue;
        std::string value = token + keyLength;
        if (decode) TakeFollowingWords(tokens, value);
        return GetName(value.c_str(), out, decode, false);
    }
    return false;
}

bool SAnalizeMimeHeaderFile::AnalizeMimeHeader(FILE* file, long end) {
    Init();
    const long start = file ? std::ftell(file) : -1;
    SMimeLineReader reader(start < 0 ? nullptr : file, start < 0 ? 0 : start);
    while ((end == -1 || reader.Position() < end) && reader.Next()) {
        if (reader.Text()[0] == '\n') break;
        Execute(reader.Text());
    }
    Finish();
    bodyStart_ = reader.Position();
    return true;
}

bool SAnalizeMimeHeaderFile::AnalizeMimeHeader(const char* path) {
    FILE* file = OpenMessageFile(path);
    if (!file) return false;
    AnalizeMimeHeader(file);
    std::fclose(file);
    return true;
}

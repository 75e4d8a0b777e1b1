#include "common/SMimePart.h"

#include <cstring>

#include "common/MbChar.h"
#include "common/SHeaderMime.h"

namespace {

struct KnownPair {
    int type;
    int subtype;
    const char* text;
};

constexpr KnownPair kKnownPairs[] = {
    {kMimeTypeImage, kMimeSubtypeGif, "image/gif"},
    {kMimeTypeImage, kMimeSubtypeJpeg, "image/jpeg"},
    {kMimeTypeImage, kMimeSubtypeXBmp, "image/X-BMP"},
    {kMimeTypeAudio, kMimeSubtypeBasic, "audio/basic"},
    {kMimeTypeVideo, kMimeSubtypeMpeg, "video/mpeg"},
    {kMimeTypeMessage, kMimeSubtypeRfc822, "message/rfc822"},
    {kMimeTypeMessage, kMimeSubtypePartial, "message/partial"},
    {kMimeTypeMessage, kMimeSubtypeExternalBody, "message/external-body"},
    {kMimeTypeMultipart, kMimeSubtypeMixed, "multipart/mixed"},
    {kMimeTypeMultipart, kMimeSubtypeParallel, "multipart/parallel"},
    {kMimeTypeMultipart, kMimeSubtypeDigest, "multipart/digest"},
    {kMimeTypeMultipart, kMimeSubtypeAlternative, "multipart/alternative"},
};

// A name as it may stand in a header line: a file on Linux may be named with a
// line break, which would otherwise start header lines of its own in the mail
// sent. Control bytes never occur inside a Shift_JIS character.
std::string HeaderName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    }
    return safe;
}

// The name as encoded words, the raw name when it cannot be encoded. The
// encoder folds with CR LF and a blank; these header texts end their lines with
// LF for the text stream, which would turn a CR LF into CR CR LF.
std::string EncodedName(const std::string& name) {
    std::string encoded;
    if (!SHeaderMime::EncodeALine(name.c_str(), encoded)) encoded = name;
    std::string lines;
    lines.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\r' && i + 1 < encoded.size() && encoded[i + 1] == '\n') continue;
        lines += encoded[i];
    }
    return lines;
}

}  // namespace

std::string SMimePart::TypeSubtypeStr(const SMimePart& part, bool withName) {
    for (const KnownPair& known : kKnownPairs) {
        if (part.type == known.type && part.subtype == known.subtype) return known.text;
    }
    if (part.type == kMimeTypeText && part.subtype == kMimeSubtypePlain) {
        std::string text = "text/plain";
        if (part.charset == kMimeCharsetIso2022Jp) text += std::string("; charset=") + cpszMimeCSIso2020Jp;
        if (part.charset == kMimeCharsetUsAscii) text += std::string("; charset=") + cpszMimeCSUsAscii;
        return text;
    }
    std::string text = cpszMimeCTOctetStream;
    if (withName && !part.name.empty()) {
        const std::string name = HeaderName(part.name);
        std::string encoded = EncodedName(name);
        if (encoded != name)
            text += "; name=" + encoded;
        else
            text += "; name=\"" + name + "\"";
    }
    return text;
}

std::string SMimePart::HeaderStr(const SMimePart& part, bool withName) {
    std::string text = std::string(cpszMimeContentType) + TypeSubtypeStr(part, withName) + "\n";
    if (part.encoding == kMimeEncodingBase64)
        text += std::string(cpszMimeContentTransferEncoding) + cpszMimeCTEBase64 + "\n";
    else if (part.encoding == kMimeEncodingQuotedPrintable)
        text += std::string(cpszMimeContentTransferEncoding) + cpszMimeCTEQuotedPrintable + "\n";
    if (!part.name.empty()) text += std::string(cpszMimeDescription) + EncodedName(HeaderName(part.name)) + "\n";
    return text;
}

std::string SMimePart::SafeFileName() const {
    // The last component, found character by character so that the second byte
    // of a double-byte character is never taken for a '\'.
    const char* p = name.c_str();
    const char* last = p;
    while (std::size_t len = MbCharLen(p)) {
        if (len == 1 && (*p == '/' || *p == '\\')) last = p + 1;
        p += len;
    }
    std::string file;
    for (p = last; std::size_t len = MbCharLen(p); p += len) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (len == 1 && (c < 0x20 || c == 0x7F)) continue;
        file.append(p, len);
    }
    if (file == "." || file == "..") file.clear();
    return file;
}

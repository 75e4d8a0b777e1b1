// The description of one MIME part of a message: its name and the numeric codes
// of its transfer encoding, type, subtype and character set; the fixed header
// texts of MIME; and the header lines that describe a part when a message is
// composed. A plain record, copied by value.
#pragma once

#include <string>

// Content-Transfer-Encoding of a part.
enum SMimeEncoding : int {
    kMimeEncodingNone = 0,  // 7bit, 8bit, binary or absent
    kMimeEncodingBase64 = 1,
    kMimeEncodingQuotedPrintable = 2,
    kMimeEncodingOther = 3,
};

// Top-level media type of a part.
enum SMimeType : int {
    kMimeTypeAbsent = 0,
    kMimeTypeApplication = 1,
    kMimeTypeAudio = 2,
    kMimeTypeImage = 3,
    kMimeTypeMessage = 4,
    kMimeTypeMultipart = 5,
    kMimeTypeText = 6,
    kMimeTypeVideo = 7,
    kMimeTypeOther = 8,
};

// Media subtype of a part.
enum SMimeSubtype : int {
    kMimeSubtypeAbsent = 0,
    kMimeSubtypeOther = 1,
    kMimeSubtypeOctetStream = 2,
    kMimeSubtypePostscript = 3,
    kMimeSubtypePgpEncrypted = 4,
    kMimeSubtypePgpSignature = 5,
    kMimeSubtypePgpKeys = 6,
    kMimeSubtypeBasic = 7,
    kMimeSubtypeGif = 8,
    kMimeSubtypeJpeg = 9,
    kMimeSubtypeXBmp = 10,
    kMimeSubtypeRfc822 = 11,
    kMimeSubtypePartial = 12,
    kMimeSubtypeExternalBody = 13,
    kMimeSubtypeMixed = 14,
    kMimeSubtypeParallel = 15,
    kMimeSubtypeDigest = 16,
    kMimeSubtypeAlternative = 17,
    kMimeSubtypeEncrypted = 18,
    kMimeSubtypePlain = 19,
    kMimeSubtypeMpeg = 20,
};

// Character set of a text part.
enum SMimeCharset : int {
    kMimeCharsetAbsent = 0,
    kMimeCharsetUsAscii = 1,  // also what a text part without a known charset gets
    kMimeCharsetIso2022Jp = 2,
};

struct SMimePart {
    std::string name;  // file name from a name parameter, or the part's description (Shift_JIS)
    int encoding = kMimeEncodingNone;
    int type = kMimeTypeAbsent;
    int subtype = kMimeSubtypeAbsent;
    int charset = kMimeCharsetAbsent;

    bool operator==(const SMimePart&) const = default;

    // Header names and values that the composer writes.
    static constexpr char cpszMimeVersion[] = "MIME-Version: ";
    static constexpr char cpszMimeContentType[] = "Content-Type: ";
    static constexpr char cpszMimeContentTransferEncoding[] = "Content-Transfer-Encoding: ";
    static constexpr char cpszMimeDescription[] = "Content-Description: ";
    static constexpr char cpszMimeVers1P0[] = "1.0";
    static constexpr char cpszMimeCTMultipartMixed[] = "multipart/mixed";
    static constexpr char cpszMimeCTOctetStream[] = "application/octet-stream";
    static constexpr char cpszMimeCTIso2020Jp[] = "text/plain; charset=ISO-2022-JP";
    static constexpr char cpszMimeCTUsAscii[] = "text/plain; charset=US-ASCII";
    static constexpr char cpszMimeCSIso2020Jp[] = "ISO-2022-JP";
    static constexpr char cpszMimeCSUsAscii[] = "US-ASCII";
    // Transfer encodings.
    static constexpr char cpszMimeCTE7Bit[] = "7bit";
    static constexpr char cpszMimeCTEQuotedPrintable[] = "quoted-printable";
    static constexpr char cpszMimeCTEBase64[] = "base64";
    static constexpr char cpszMimeCTE8Bit[] = "8bit";
    static constexpr char cpszMimeCTEBinary[] = "binary";
    // Types.
    static constexpr char cpszMimeCTAudio[] = "audio";
    static constexpr char cpszMimeCTApplication[] = "application";
    static constexpr char cpszMimeCTImage[] = "image";
    static constexpr char cpszMimeCTMessage[] = "message";
    static constexpr char cpszMimeCTMultipart[] = "multipart";
    static constexpr char cpszMimeCTText[] = "text";
    static constexpr char cpszMimeCTVideo[] = "video";
    // Subtypes.
    static constexpr char cpszMimeCSTOctetStream[] = "octet-stream";
    static constexpr char cpszMimeCSTPostscript[] = "postscript";
    static constexpr char cpszMimeCSTPgpEncrypted[] = "pgp-encrypted";
    static constexpr char cpszMimeCSTPgpSignature[] = "pgp-signature";
    static constexpr char cpszMimeCSTPgpKeys[] = "pgp-keys";
    static constexpr char cpszMimeCSTBasic[] = "basic";
    static constexpr char cpszMimeCSTRfc822[] = "rfc822";
    static constexpr char cpszMimeCSTPartial[] = "partial";
    static constexpr char cpszMimeCSTExternalBody[] = "external-body";
    static constexpr char cpszMimeCSTMixed[] = "mixed";
    static constexpr char cpszMimeCSTEncrypted[] = "encrypted";
    static constexpr char cpszMimeCSTParallel[] = "parallel";
    static constexpr char cpszMimeCSTDigest[] = "digest";
    static constexpr char cpszMimeCSTAlternative[] = "alternative";
    static constexpr char cpszMimeCSTPlain[] = "plain";
    static constexpr char cpszMimeCSTGif[] = "gif";
    static constexpr char cpszMimeCSTJpeg[] = "jpeg";
    static constexpr char cpszMimeCSTXBmp[] = "X-BMP";
    static constexpr char cpszMimeCSTMpeg[] = "mpeg";

    static const char* MimeVersion() { return cpszMimeVersion; }
    static const char* MimeContentType() { return cpszMimeContentType; }
    static const char* MimeContentTransferEncoding() { return cpszMimeContentTransferEncoding; }
    static const char* MimeDescription() { return cpszMimeDescription; }
    static const char* MimeVers1P0() { return cpszMimeVers1P0; }
    static const char* MimeCTMultipartMixed() { return cpszMimeCTMultipartMixed; }
    static const char* MimeCTOctetStream() { return cpszMimeCTOctetStream; }
    static const char* MimeCTIso2020Jp() { return cpszMimeCTIso2020Jp; }
    static const char* MimeCTUsAscii() { return cpszMimeCTUsAscii; }

    // The Content-Type value of the part: the known type/subtype pairs as they
    // are, text/plain with its charset, anything else application/octet-stream,
    // which alone carries the name (encoded when it is not plain ASCII) when
    // `withName` is set. A long encoded name is folded with LF and a blank.
    static std::string TypeSubtypeStr(const SMimePart& part, bool withName);
    // The header lines that describe the part: Content-Type, the transfer
    // encoding when there is one, and the name as Content-Description. Lines end
    // with LF only; the text stream they are written through makes them CR LF.
    // Control characters of a name become '_', so a name is never more than one
    // header value.
    static std::string HeaderStr(const SMimePart& part, bool withName);

    // The name as a file name to save the part under: only what follows the
    // last '/' or '\' (a sender's folders say nothing about ours), without
    // control characters; empty when nothing usable is left ("", ".", "..").
    std::string SafeFileName() const;
};

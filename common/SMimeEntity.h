// One MIME entity held in memory, read the way today's readers read mail:
// the header (fields unfolded, the first of a repeated field counts), its
// Content-Type and Content-Disposition parameters with RFC 2231 (name*=,
// continuations name*0*=, each joined as bytes and decoded in its charset)
// and RFC 2047 words inside quoted values, the body decoded from base64 or
// quoted-printable, and a multipart split into its parts whether or not the
// close delimiter comes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SMimeEntity {
public:
    // Multiparts are opened this deep; deeper ones count as one opaque part.
    static constexpr int kMaxDepth = 32;

    explicit SMimeEntity(std::string_view bytes);

    // Fields in order, names as written, values unfolded (raw bytes).
    const std::vector<std::pair<std::string, std::string>>& Fields() const { return fields_; }
    // The first field of that name (case ignored); null when there is none.
    const std::string* Field(std::string_view name) const;

    // Lower case; "text"/"plain" when the entity says nothing.
    const std::string& Type() const { return type_; }
    const std::string& Subtype() const { return subtype_; }
    // A Content-Type parameter (name in lower case), as bytes after RFC 2231
    // joining; its charset is given in `charset` when it had one.
    bool Param(const std::string& name, std::string& value, std::string* charset = nullptr) const;
    // The charset parameter, lower case; empty when absent.
    std::string Charset() const;
    // The file name in UTF-8: Content-Disposition filename, else Content-Type
    // name, each in its RFC 2231 or RFC 2047 form; empty when there is none.
    std::string FileName() const;
    bool IsAttachmentDisposition() const { return attachment_; }

    std::string_view RawBody() const { return body_; }
    // The body with its transfer encoding undone.
    std::string DecodedBody() const;
    // The parts of a multipart (empty for any other entity).
    std::vector<std::string_view> Parts() const;
    bool IsMultipart() const { return type_ == "multipart"; }

    // The same readings on raw field values, for the line-driven analysis.
    static std::string FileNameOf(const std::string& contentType, const std::string& disposition);
    static bool ParamOf(const std::string& fieldValue, const std::string& name, std::string& value);

private:
    using Params = std::map<std::string, std::pair<std::string, std::string>>;  // name -> (charset, bytes)
    static Params ParseParams(std::string_view value, std::string& mainValue);

    std::vector<std::pair<std::string, std::string>> fields_;
    std::string_view body_;
    std::string type_ = "text", subtype_ = "plain", encoding_;
    Params typeParams_, dispositionParams_;
    bool attachment_ = false;
};

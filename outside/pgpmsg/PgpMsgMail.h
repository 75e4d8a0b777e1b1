// How the PGP message library sees a mail file: its header, the entities it
// can protect (the body with its Content- fields, or each part of a top-level
// multipart), the addresses of a field, and the armour blocks in a text.
// Plain C++ without the program's libraries.
#pragma once

#include <string>
#include <vector>

namespace pgpmsg {

// One protectable piece: [begin, end) of the raw mail. For a single-part mail
// the piece is built (the Content- fields of the header and the body), so
// `text` holds it; for a part of a multipart it is the part's own bytes.
struct Entity {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string text;
    std::string description;  // its Content-Type, for the selection dialog
};

class Mail {
public:
    explicit Mail(std::string raw);

    const std::string& Raw() const { return raw_; }
    const std::string& Eol() const { return eol_; }
    // The unfolded value of the first field `name` (any case); empty when none.
    std::string Field(const std::string& name) const;
    bool IsMultipart() const { return !boundary_.empty(); }
    const std::vector<Entity>& Entities() const { return entities_; }

    // The mail with entity `index` replaced by `replacement` (a whole entity:
    // Content- fields, an empty line and a body, lines ending in Eol()).
    std::string Replace(std::size_t index, const std::string& replacement) const;
    // The mail with `entity` added after entity `index`; a single-part mail
    // becomes multipart/mixed with its own body as the first part.
    std::string AddAfter(std::size_t index, const std::string& entity, const std::string& boundary) const;

private:
    // The header lines without the Content- fields (and without MIME-Version
    // when `dropVersion`), each with its line end.
    std::string HeaderWithoutContent(bool dropVersion) const;
    void FindEntities();

    std::string raw_;
    std::string eol_ = "\n";
    std::size_t headerEnd_ = 0;  // the first byte of the empty line
    std::size_t bodyStart_ = 0;
    std::string boundary_;
    std::vector<Entity> entities_;
};

// The bare addresses of an address field ("A <a@b>, c@d (C)" gives a@b, c@d).
std::vector<std::string> Addresses(const std::string& field);

// Every LF of `text` as `eol` (a CR LF stays one line end).
std::string WithLineEnds(const std::string& text, const std::string& eol);

// An armour block of `text`: [begin, end) from its BEGIN line to the end of
// its END line. Kinds: "MESSAGE", "SIGNED MESSAGE" (which ends with the
// signature's END line), "PUBLIC KEY BLOCK".
bool FindArmour(const std::string& text, const char* kind, std::size_t& begin, std::size_t& end);

// The text looks like an entity this library protected: it opens with a
// Content- field and has an empty line.
bool LooksLikeEntity(const std::string& text);

}  // namespace pgpmsg

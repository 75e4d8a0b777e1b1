// Addresses in header fields: the address part of "phrase <address>", the
// addresses of a list (commas, groups, quoted phrases and comments), and the
// lookup of a field in a block of header lines. Shift_JIS text: the second
// byte of a double-byte character is never taken for syntax.
#pragma once

#include <string>
#include <vector>

// The address of one mailbox: what lies inside the angle brackets when there
// are any, else the text without comments and surrounding blanks.
std::string AddressPart(const std::string& mailbox);

// The addresses of a list ("a@x, Name <b@y>, group: c@z;"), in order; empty
// entries and groups without members give nothing.
std::vector<std::string> SplitAddresses(const std::string& list);

// The value of every field `name` (found as common/SHeaderField.h finds
// fields) of a header block: the text after the colon and the blanks and tabs
// that follow it, continuation lines joined (their line ends removed), up to
// the line end. The header ends at the first empty line.
std::vector<std::string> FindHeaderFields(const std::string& header, const char* name);
// The first such value; false when the field is missing or its value empty.
bool FindHeaderField(const std::string& header, const char* name, std::string& value);

// The header block of a message (up to and including the empty line's line
// end, or the whole text when there is none).
std::string HeaderBlock(const std::string& message);

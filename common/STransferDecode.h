// Body text of a part with its transfer encoding undone, forgiving as readers
// are: base64 with stray characters or without its padding gives what it
// holds; quoted-printable joins soft line breaks and keeps a broken "=" as it is.
#pragma once

#include <string>
#include <string_view>

std::string DecodeBase64Text(std::string_view encoded);
// Hard line ends come out as CR LF.
std::string DecodeQuotedPrintableText(std::string_view encoded);

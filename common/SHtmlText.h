// The text of an HTML mail, for reading: tags removed (script and style with
// their content), line breaks where blocks end, entities decoded, and each
// link's address kept after its text as "<address>". UTF-8 in and out.
#pragma once

#include <string>
#include <string_view>

std::string HtmlToText(std::string_view html);

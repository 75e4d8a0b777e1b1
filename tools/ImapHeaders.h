// imap headers: a header fetch into a server folder's cache, then the
// cache's rows as `cache list` prints them.
#pragma once

#include <string>

namespace qimtool {

class ImapRunner;

// Fetches the headers of `folder` (all, or recent mail only) and gives the
// rows "number TAB date TAB from TAB subject" in the cache's order.
bool FetchHeaderRows(ImapRunner& runner, const std::string& folder, bool recent, std::string& rows);

}  // namespace qimtool

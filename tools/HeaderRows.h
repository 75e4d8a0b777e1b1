// The rows of a header list as the subcommands print them:
// "number TAB date TAB from (or to) TAB subject", newest first as the list shows them.
#pragma once

#include <string>
#include <vector>

#include "store/SQimMailData.h"

namespace qimtool {

void AppendHeaderRow(std::string& out, const SQimMailData& record, bool to);
// Every record, the last one of the cache first.
std::string HeaderRowsNewestFirst(const std::vector<SQimMailData>& records, bool to);

}  // namespace qimtool

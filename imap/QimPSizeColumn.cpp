#include "imap/QimPSizeColumn.h"

#include "config/QimStringIds.h"
#include "config/QimStrings.h"

namespace qimimap {

std::string SizeColumnHeader() { return LoadQimString(qimstr::SizeColumnHeader); }

std::string SizeColumnText(long long size) {
    if (size <= 0) return LoadQimString(qimstr::SizeUnknown);
    return std::to_string(size / 1024 + 1);
}

}  // namespace qimimap

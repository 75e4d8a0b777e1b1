#include "tools/HeaderRows.h"

namespace qimtool {

void AppendHeaderRow(std::string& out, const SQimMailData& record, bool to) {
    out.append(std::to_string(record.number)).push_back('\t');
    out.append(record.header.date).push_back('\t');
    out.append(to ? record.header.to : record.header.from).push_back('\t');
    out.append(record.header.subject).push_back('\n');
}

std::string HeaderRowsNewestFirst(const std::vector<SQimMailData>& records, bool to) {
    std::string out;
    out.reserve(records.size() * 80);
    for (auto it = records.rbegin(); it != records.rend(); ++it) AppendHeaderRow(out, *it, to);
    return out;
}

}  // namespace qimtool

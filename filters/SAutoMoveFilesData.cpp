#include "filters/SAutoMoveFilesData.h"

#include "common/FilePath.h"

namespace {

bool Fits(const std::string& value) {
    return !value.empty() && value.size() <= static_cast<std::size_t>(kSortValueMax) &&
           value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

bool SAutoMoveFilesData::FitsStoredForm() const {
    if (headerType < kSortHeaderFrom || headerType > kSortHeaderField) return false;
    if (headerType == kSortHeaderField && !Fits(fieldName)) return false;
    return Fits(pattern) && Fits(destination);
}

std::string ResolveSortDestination(const std::string& home, const std::string& destination) {
    if (destination.empty()) return home;
    if (destination[0] == '/') return destination;
    std::string resolved;
    if (destination.size() >= 2 && destination[0] == '.' && (destination[1] == '/' || destination[1] == '\\'))
        MergeFilePath(resolved, home, destination.substr(2));
    else
        MergeFilePath(resolved, home, destination);
    return resolved;
}

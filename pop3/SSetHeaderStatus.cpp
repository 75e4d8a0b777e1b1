#include "pop3/SSetHeaderStatus.h"

#include <cstring>
#include <strings.h>

#include "pop3/Pop3Codes.h"

namespace {

// The value after "Name:" and one more byte (the blank), without the line end.
bool ShowValue(const char* field, std::size_t nameLength, const SSetHeaderStatus::Show& show) {
    const std::size_t length = std::strlen(field);
    if (length <= nameLength + 1) {
        if (show) show(std::string());
        return true;
    }
    std::string value(field + nameLength + 1, length - nameLength - 1);
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    if (value.size() < static_cast<std::size_t>(qimpop3::kHeaderShowLimit) && show) show(value);
    return true;
}

}  // namespace

SSetHeaderStatus::SSetHeaderStatus(Show showFrom, Show showSubject)
    : showFrom_(std::move(showFrom)), showSubject_(std::move(showSubject)) {}

SSetHeaderStatus::~SSetHeaderStatus() = default;

bool SSetHeaderStatus::Action(const char* field) {
    if (strncasecmp(field, "From:", 5) == 0) return ShowValue(field, 5, showFrom_);
    if (strncasecmp(field, "Subject:", 8) == 0) return ShowValue(field, 8, showSubject_);
    return true;
}

#include "pop3/SSetHeaderStatus.h"

#include <cstring>

#include "common/SHeaderField.h"
#include "pop3/Pop3Codes.h"

namespace {

// The value after the colon and one more byte (the blank), without the line end.
bool ShowValue(const char* body, const SSetHeaderStatus::Show& show) {
    const std::size_t length = std::strlen(body);
    if (length <= 1) {
        if (show) show(std::string());
        return true;
    }
    std::string value(body + 1, length - 1);
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    if (value.size() < static_cast<std::size_t>(qimpop3::kHeaderShowLimit) && show) show(value);
    return true;
}

}  // namespace

SSetHeaderStatus::SSetHeaderStatus(Show showFrom, Show showSubject)
    : showFrom_(std::move(showFrom)), showSubject_(std::move(showSubject)) {}

SSetHeaderStatus::~SSetHeaderStatus() = default;

bool SSetHeaderStatus::Action(const char* field) {
    if (const char* body = HeaderFieldBody(field, "From:")) return ShowValue(body, showFrom_);
    if (const char* body = HeaderFieldBody(field, "Subject:")) return ShowValue(body, showSubject_);
    return true;
}

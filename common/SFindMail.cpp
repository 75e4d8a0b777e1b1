#include "common/SFindMail.h"

#include <new>

namespace {

std::unique_ptr<SFindInMailBase> NewSearcher(SFindMailCondition::SEnumFindPartInMail where) {
    switch (where) {
    case SFindMailCondition::FindInBody:
        return std::make_unique<SFindInMailBody>();
    case SFindMailCondition::FindInField:
        return std::make_unique<SFindInMailLines<SFindInMailHeaderFieldLine>>();
    case SFindMailCondition::FindInHeader:
        return std::make_unique<SFindInMailLines<SFindInMailHeaderLine>>();
    default:
        return std::make_unique<SFindInMailLines<SFindInMailTextLine>>();
    }
}

}  // namespace

SFindMail::SFindMail() = default;

SFindMail::~SFindMail() = default;

bool SFindMail::NewFindInMail(SFindMailCondition::SEnumFindPartInMail where) {
    finder_.reset();
    try {
        finder_ = NewSearcher(where);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool SFindMail::Find(const char* path, const SFindCondition& condition) {
    return finder_ && finder_->Find(path, condition);
}

int SFindMail::LastError() const { return finder_ ? finder_->LastError() : 0; }

#include "filters/SAutoMoveFiles.h"

#include <algorithm>

#include "common/FilePath.h"
#include "config/QimStringIds.h"
#include "platform/FileSystem.h"
#include "store/SStoreDialogs.h"

namespace {

const std::string& HeaderText(int headerType, const SHeaderData& header) {
    switch (headerType) {
    case kSortHeaderFrom:
        return header.from;
    case kSortHeaderTo:
        return header.to;
    default:
        return header.subject;
    }
}

}  // namespace

bool RuleMatchesHeader(const SFindCondition& condition, int headerType, const SHeaderData& header) {
    const std::string& text = HeaderText(headerType, header);
    return condition.Find(text.c_str(), static_cast<int>(text.size()), 0) >= 0;
}

SFindMailCondition RuleCondition(const SAutoMoveFilesData& rule) {
    SFindMailCondition condition;
    condition.SetPattern(rule.pattern.c_str());
    condition.SetFieldName(rule.fieldName.c_str());
    condition.SetOption(rule.option);
    condition.SetWhere(SFindMailCondition::FindInField);
    return condition;
}

SAutoMoveFiles::SAutoMoveFiles(platform::DialogService& dialogs, platform::ParentWindow parent)
    : dialogs_(dialogs), parent_(parent) {}

const SAutoMoveFilesData* SAutoMoveFiles::CurrentRule() const {
    if (!running_ || index_ < 0 || index_ >= Count()) return nullptr;
    return &rules_[static_cast<std::size_t>(index_)];
}

int SAutoMoveFiles::TotalMoved() const {
    int total = 0;
    for (int n : movedPerRule_) total += n;
    return total;
}

bool SAutoMoveFiles::Start(const std::string& home, const std::string& folder, std::vector<SAutoMoveFilesData> rules) {
    Stop();
    ++generation_;
    failed_ = false;
    movedPerRule_.clear();
    if (rules.empty()) return false;
    source_.SetFolder(folder);
    if (!source_.CacheExists()) return false;
    home_ = home;
    rules_ = std::move(rules);
    movedPerRule_.assign(rules_.size(), 0);
    index_ = 0;
    step_ = Step::Clear;
    running_ = true;
    return true;
}

void SAutoMoveFiles::Stop() {
    if (!running_) return;
    // A run that is dropped does not report an end.
    rules_.clear();
    marked_.clear();
    finder_.reset();
    step_ = Step::End;
    running_ = false;
}

bool SAutoMoveFiles::RunStep() {
    if (!running_) return false;
    switch (step_) {
    case Step::Clear:
        Clear();
        step_ = Step::Mark;
        break;
    case Step::Mark:
        if (Mark()) step_ = failed_ ? Step::End : Step::Check;
        break;
    case Step::Check:
        step_ = Check() ? Step::Move : Step::Next;
        break;
    case Step::Move:
        step_ = Move() ? Step::Next : Step::End;
        break;
    case Step::Next:
        ++index_;
        step_ = index_ < Count() ? Step::Clear : Step::End;
        break;
    case Step::End:
        End();
        return false;
    }
    return true;
}

void SAutoMoveFiles::Clear() {
    marked_.clear();
    searched_ = 0;
    finder_.reset();
    if (onMarked) onMarked(marked_);
    if (onRuleStarted) onRuleStarted(index_);
}

bool SAutoMoveFiles::Mark() {
    const SAutoMoveFilesData& rule = rules_[static_cast<std::size_t>(index_)];
    const std::vector<SQimMailData>& records = source_.Records();
    if (rule.headerType != kSortHeaderField) {
        SFindCondition condition;
        condition.SetPattern(rule.pattern.c_str());
        condition.SetOption(rule.option);
        for (const SQimMailData& record : records)
            if (RuleMatchesHeader(condition, rule.headerType, record.header)) marked_.push_back(record.number);
        if (onMarked) onMarked(marked_);
        return true;
    }
    if (!finder_) {
        condition_ = RuleCondition(rule);
        finder_ = std::make_unique<SFindMail>();
        if (!finder_->NewFindInMail(condition_.Where())) {
            failed_ = true;
            return true;
        }
    }
    const std::size_t end = std::min(records.size(), searched_ + kFieldSearchChunk);
    for (; searched_ < end; ++searched_) {
        const int number = records[searched_].number;
        if (finder_->Find(source_.MailPath(number).c_str(), condition_)) marked_.push_back(number);
    }
    if (searched_ < records.size()) return false;
    finder_.reset();
    if (onMarked) onMarked(marked_);
    return true;
}

bool SAutoMoveFiles::Check() {
    const SAutoMoveFilesData& rule = rules_[static_cast<std::size_t>(index_)];
    destination_ = ResolveSortDestination(home_, rule.destination);
    bool usable = true;
    if (IsSameFolderOnDisk(source_.Path(), destination_)) {
        usable = false;
    } else if (!platform::IsDirectory(destination_.c_str())) {
        SStoreDialogs(dialogs_, parent_).Error(SStoreDialogs::Format(qimstr::SortDestinationMissing, rule.destination));
        usable = false;
    }
    if (!usable && !marked_.empty()) {
        marked_.clear();
        if (onMarked) onMarked(marked_);
    }
    return usable;
}

bool SAutoMoveFiles::Move() {
    if (marked_.empty()) return true;
    // The folder's cache as it is now: mail may have come in since the marking,
    // and the move writes the cache back from these records.
    if (!source_.Load()) {
        failed_ = true;
        return false;
    }
    // Oldest record last: it is moved first and keeps the lowest new number.
    const std::vector<int> numbers(marked_.rbegin(), marked_.rend());
    std::vector<int> moved;
    if (move) moved = move(source_, numbers, destination_);
    else moved = SMailCommands(dialogs_, parent_).MoveMails(source_, numbers, destination_);
    movedPerRule_[static_cast<std::size_t>(index_)] += static_cast<int>(moved.size());
    if (onMoved) onMoved(index_, moved);
    // A mail the move had to leave behind (its box has been shown) ends the run.
    std::sort(moved.begin(), moved.end());
    for (int number : marked_) {
        if (!std::binary_search(moved.begin(), moved.end(), number) && source_.MailExists(number)) {
            failed_ = true;
            break;
        }
    }
    marked_.clear();
    return !failed_;
}

void SAutoMoveFiles::End() {
    rules_.clear();
    marked_.clear();
    finder_.reset();
    running_ = false;
    if (onEnded) onEnded();
}

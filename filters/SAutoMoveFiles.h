// A sorting run: the rules of a set applied one after the other to the mails
// of one folder, as a chain of small steps (clear the marks, mark by the
// rule, check its destination, move, next rule, end). Whoever drives the run
// calls RunStep until it returns false: a window posts each step to itself so
// that it stays responsive, a command-line tool loops. Nothing here waits.
//
// Each move is the store's move: a mail is in its new folder, with its
// record there, before its record leaves the old one. A run cut short loses
// nothing, and running the rules again carries on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/SFindMail.h"
#include "filters/SAutoMoveFilesData.h"
#include "platform/DialogService.h"
#include "store/SMemCacheFolder.h"
#include "store/SMailCommands.h"

// Whether the header text a rule of type 0-2 searches matches it.
bool RuleMatchesHeader(const SFindCondition& condition, int headerType, const SHeaderData& header);
// The condition of a rule (pattern, field name, options).
SFindMailCondition RuleCondition(const SAutoMoveFilesData& rule);

class SAutoMoveFiles {
public:
    enum class Step { Clear, Mark, Check, Move, Next, End };
    // Moves `numbers` (list order; worked on from the last) of `source` into
    // `destination`; returns those moved.
    using MoveFunction =
        std::function<std::vector<int>(SMemCacheFolder& source, const std::vector<int>& numbers, const std::string& destination)>;

    // Mails searched by one step of a rule on a named field.
    static constexpr std::size_t kFieldSearchChunk = 200;

    // Boxes (a missing destination, a failed move) go to `dialogs`.
    explicit SAutoMoveFiles(platform::DialogService& dialogs, platform::ParentWindow parent = nullptr);

    // Told as the run goes: the marks of the rule (empty: cleared), a rule
    // started, the mails a rule moved, the run's end.
    std::function<void(const std::vector<int>& numbers)> onMarked;
    std::function<void(int index)> onRuleStarted;
    std::function<void(int index, const std::vector<int>& moved)> onMoved;
    std::function<void()> onEnded;
    // The move of the window (with its viewer); the store's move without it.
    MoveFunction move;

    // A new run of `rules` over `folder`, destinations taken against `home`;
    // it replaces a run still going. False (and no run) when there is no rule
    // or the folder's cache cannot be read.
    bool Start(const std::string& home, const std::string& folder, std::vector<SAutoMoveFilesData> rules);
    // The next step; false once the run has ended (then nothing is left to do).
    bool RunStep();
    // Ends the run at once (a new one may start later).
    void Stop();

    bool Running() const { return running_; }
    // Counts each start, so a step posted for an earlier run can be told apart.
    unsigned Generation() const { return generation_; }
    Step CurrentStep() const { return step_; }
    int Index() const { return index_; }
    int Count() const { return static_cast<int>(rules_.size()); }
    const SAutoMoveFilesData* CurrentRule() const;
    const std::string& Folder() const { return source_.Path(); }
    // What the current rule marked, in the folder's record order.
    const std::vector<int>& Marked() const { return marked_; }
    // Mails moved by each rule of the run, and in all.
    const std::vector<int>& MovedPerRule() const { return movedPerRule_; }
    int TotalMoved() const;
    // A field search could not be made, or a move failed: the run ended early.
    bool Failed() const { return failed_; }

private:
    void Clear();
    // False when the rule's marking needs more steps.
    bool Mark();
    // False when the destination cannot be used (the rule is skipped).
    bool Check();
    // False when a mail could not be moved.
    bool Move();
    void End();

    platform::DialogService& dialogs_;
    platform::ParentWindow parent_;
    std::string home_;
    SMemCacheFolder source_;
    std::vector<SAutoMoveFilesData> rules_;
    int index_ = 0;
    Step step_ = Step::End;
    unsigned generation_ = 0;
    std::vector<int> marked_;
    std::string destination_;  // the current rule's, resolved
    // The field search of the current rule: its searcher and how far it got.
    std::unique_ptr<SFindMail> finder_;
    SFindMailCondition condition_;
    std::size_t searched_ = 0;
    std::vector<int> movedPerRule_;
    bool failed_ = false;
    bool running_ = false;
};

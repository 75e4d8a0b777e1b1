// Order of the header list: one sort direction per column, the thread order
// of subjects, the From column that may show To, and the default sort of a
// freshly shown folder (DefHLWSort).
#pragma once

#include <string>
#include <vector>

#include "store/QimStoreCodes.h"
#include "store/SQimMailData.h"

class SQimComparator {
public:
    SQimComparator() { Reset(); }

    int Direction(int column) const { return directions_[Clamp(column)]; }
    void SetDirection(int column, int direction);
    // A click on a column header: No., Date and From go 0, 1, 2, 1, 2 ...;
    // Subject goes 0, 1, 2, 3, 4, 1 ...
    void StepDirection(int column);
    // Every refresh of the list starts unsorted.
    void Reset();

    bool ShowsTo() const { return showsTo_; }
    void SetShowsTo(bool to) { showsTo_ = to; }

    // Negative when `a` comes before `b` in `column` under its direction (none
    // counts as ascending); ties go by the mail numbers in the same sense.
    int Compare(const SQimMailData& a, const SQimMailData& b, int column) const;
    // Stable sort of list rows by `column`.
    void Sort(std::vector<const SQimMailData*>& rows, int column) const;

    // Subjects in thread order: a list tag "[...]" and one "Re:" (or "RE:")
    // are passed over first; equal rests are ordered by their whole text.
    static int ThreadCompare(const char* a, const char* b);
    // What is left of a subject for the thread order.
    static const char* ThreadKey(const char* subject);
    // The text order that stands in for the system's locale comparison:
    // letters without regard to case first, then small before capital, then
    // the bytes.
    static int LocaleCompare(const char* a, const char* b);

private:
    static int Clamp(int column) { return column < 0 ? 0 : column >= qimstore::kColumnCount ? qimstore::kColumnCount - 1 : column; }
    int CompareFields(const SQimMailData& a, const SQimMailData& b, int column) const;

    int directions_[qimstore::kColumnCount];
    bool showsTo_ = false;
};

// The default sort of DefHLWSort for a folder just shown: false when the
// folder stays unsorted; otherwise the column and its direction.
bool DefaultSortOf(int defHLWSort, bool isInbox, int& column, int& direction);

// Whether the From column shows To: automatic for the folder (To for the
// sent-mail and draft folders when saving there is on), until the From/To
// command forces it; the first use inverts the automatic choice, later uses
// toggle, and showing a folder again returns to automatic.
class SFromToChoice {
public:
    // A folder (re)shown: `automaticTo` is the choice for it.
    void Refresh(bool automaticTo) {
        automatic_ = automaticTo;
        forced_ = false;
    }
    // qimcmd::SwapFromTo.
    void Toggle() {
        current_ = forced_ ? !current_ : !automatic_;
        forced_ = true;
    }
    bool ShowsTo() const { return forced_ ? current_ : automatic_; }
    // The automatic choice: `sentFolder` and `draftFolder` are the full paths of
    // those folders, empty when saving there is off.
    static bool AutomaticTo(const std::string& folder, const std::string& sentFolder, const std::string& draftFolder);

private:
    bool automatic_ = false;
    bool forced_ = false;
    bool current_ = false;
};

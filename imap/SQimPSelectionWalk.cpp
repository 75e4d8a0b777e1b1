#include "imap/SQimPSelectionWalk.h"

#include <climits>

#include "imap/SQimPMailWindow.h"

void SQimPSelectionWalk::Start(const SQimPMailSelection& selection) {
    selection_ = &selection;
    cursor_ = selection.ItemCount();
    ended_ = false;
}

int SQimPSelectionWalk::SelectedAbove(int below) const {
    for (int position = below - 1; position >= 0; --position)
        if (selection_->IsSelected(position)) return position;
    return -1;
}

bool SQimPSelectionWalk::NextMail(int& position, int& number) {
    if (ended_ || !selection_) return false;
    position = SelectedAbove(cursor_);
    if (position < 0 || (number = selection_->NumberAt(position)) <= 0) {
        ended_ = true;
        return false;
    }
    cursor_ = position;
    return true;
}

bool SQimPSelectionWalk::NextRun(int& first, int& last) {
    int position = 0;
    if (!NextMail(position, first)) return false;
    last = first;
    for (int above = SelectedAbove(cursor_); above >= 0 && last < INT_MAX; above = SelectedAbove(cursor_)) {
        // A number that cannot be read ends the walk after this run.
        if (selection_->NumberAt(above) != last + 1) break;
        ++last;
        cursor_ = above;
    }
    return true;
}

bool SQimPSelectionWalk::AnySelected(const SQimPMailSelection& selection) {
    for (int position = selection.ItemCount() - 1; position >= 0; --position)
        if (selection.IsSelected(position)) return true;
    return false;
}

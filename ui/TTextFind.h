// Find and replace in a plain-text edit (the compose window's editor, the
// viewer's text): the find and replace dialogs, made once and reopened with
// what they held, and the next find of the last text without a dialog. A
// search goes from the caret toward the end (or the start, upward) and stops
// there with a beep: it does not go round. Replace-all changes the whole text
// as one step of undo.
#pragma once

#include <QObject>
#include <QString>

class QPlainTextEdit;
class TTextFindDlg;

class TTextFind : public QObject {
    Q_OBJECT

public:
    struct Condition {
        QString pattern;
        QString replacement;
        bool matchCase = false;
        bool wholeWord = false;
        bool backward = false;
    };

    explicit TTextFind(QPlainTextEdit* edit);

    void OpenFind();
    void OpenReplace();
    // The next match of the last text, selected; with nothing looked for yet
    // it opens the find dialog. False (a beep) at the end.
    bool FindNext();
    // The selection, when it is a match, replaced; then the next match is selected.
    bool ReplaceCurrent();
    // Every match from the start of the text; the number replaced.
    int ReplaceAll();

    Condition& Current() { return condition_; }
    // The dialog open now, null when none.
    TTextFindDlg* OpenDialog() const;

private:
    TTextFindDlg* Dialog(bool replace);
    void Open(bool replace);
    // The dialog's fields into the condition.
    void Take(const TTextFindDlg& dialog);
    void NotFound();

    QPlainTextEdit* edit_;
    Condition condition_;
    TTextFindDlg* find_ = nullptr;
    TTextFindDlg* replace_ = nullptr;
};

#include "ui/TTextFind.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"
#include "ui/TTextFindDlg.h"

namespace {

QTextDocument::FindFlags FlagsOf(const TTextFind::Condition& condition, bool backward) {
    QTextDocument::FindFlags flags;
    if (condition.matchCase) flags |= QTextDocument::FindCaseSensitively;
    if (condition.wholeWord) flags |= QTextDocument::FindWholeWords;
    if (backward) flags |= QTextDocument::FindBackward;
    return flags;
}

// The string `id` with its one %s or %d filled in.
QString Filled(unsigned id, const QString& value) {
    QString text = platform::ToQString(LoadQimString(id));
    text.replace(QStringLiteral("%s"), value);
    text.replace(QStringLiteral("%d"), value);
    return text;
}

}  // namespace

TTextFind::TTextFind(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {}

TTextFindDlg* TTextFind::Dialog(bool replace) {
    TTextFindDlg*& dialog = replace ? replace_ : find_;
    if (dialog) return dialog;
    dialog = new TTextFindDlg(edit_, replace ? TTextFindDlg::Kind::Replace : TTextFindDlg::Kind::Find);
    TTextFindDlg* made = dialog;
    connect(made, &TTextFindDlg::FindNextClicked, this, [this, made] {
        Take(*made);
        FindNext();
    });
    connect(made, &TTextFindDlg::ReplaceClicked, this, [this, made] {
        Take(*made);
        ReplaceCurrent();
    });
    connect(made, &TTextFindDlg::ReplaceAllClicked, this, [this, made] {
        Take(*made);
        const int count = ReplaceAll();
        if (count > 0) made->ShowOutcome(Filled(qimstr::ReplacedCount, QString::number(count)));
    });
    return dialog;
}

void TTextFind::OpenFind() { Open(false); }

void TTextFind::OpenReplace() {
    // A text that cannot change has nothing to replace.
    if (!edit_->isReadOnly()) Open(true);
}

void TTextFind::Open(bool replace) {
    // The other one closes: one condition, edited in one place at a time.
    if (TTextFindDlg* other = replace ? find_ : replace_) other->hide();
    TTextFindDlg* dialog = Dialog(replace);
    // A selection within one line is what the user means to look for.
    const QString selected = edit_->textCursor().selectedText();
    const bool oneLine = !selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator);
    dialog->pattern->setText(oneLine ? selected : condition_.pattern);
    if (dialog->replacement) dialog->replacement->setText(condition_.replacement);
    dialog->matchCase->setChecked(condition_.matchCase);
    dialog->wholeWord->setChecked(condition_.wholeWord);
    if (dialog->upward) (condition_.backward ? dialog->upward : dialog->downward)->setChecked(true);
    dialog->ShowOutcome(QString());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->pattern->selectAll();
    dialog->pattern->setFocus();
}

TTextFindDlg* TTextFind::OpenDialog() const {
    for (TTextFindDlg* dialog : {find_, replace_})
        if (dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

void TTextFind::Take(const TTextFindDlg& dialog) {
    condition_.pattern = dialog.pattern->text();
    if (dialog.replacement) condition_.replacement = dialog.replacement->text();
    condition_.matchCase = dialog.matchCase->isChecked();
    condition_.wholeWord = dialog.wholeWord->isChecked();
    // The replace dialog always goes down.
    condition_.backward = dialog.upward && dialog.upward->isChecked();
}

bool TTextFind::FindNext() {
    if (condition_.pattern.isEmpty()) {
        OpenFind();
        return false;
    }
    if (TTextFindDlg* dialog = OpenDialog()) dialog->ShowOutcome(QString());
    const QTextCursor found =
        edit_->document()->find(condition_.pattern, edit_->textCursor(), FlagsOf(condition_, condition_.backward));
    if (found.isNull()) {
        NotFound();
        return false;
    }
    edit_->setTextCursor(found);
    edit_->ensureCursorVisible();
    return true;
}

bool TTextFind::ReplaceCurrent() {
    if (condition_.pattern.isEmpty() || edit_->isReadOnly()) return false;
    QTextCursor cursor = edit_->textCursor();
    const Qt::CaseSensitivity cs = condition_.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && QString::compare(cursor.selectedText(), condition_.pattern, cs) == 0) {
        cursor.insertText(condition_.replacement);
        edit_->setTextCursor(cursor);
    }
    return FindNext();
}

int TTextFind::ReplaceAll() {
    if (condition_.pattern.isEmpty() || edit_->isReadOnly()) return 0;
    QTextDocument* document = edit_->document();
    const QTextDocument::FindFlags flags = FlagsOf(condition_, false);
    QTextCursor step(document);
    int count = 0;
    // One edit block: one undo takes every replacement back.
    step.beginEditBlock();
    for (QTextCursor found = document->find(condition_.pattern, 0, flags); !found.isNull();
         found = document->find(condition_.pattern, found, flags)) {
        // After the insertion the cursor stands behind the new text, so a
        // replacement that holds the pattern is not found again.
        found.insertText(condition_.replacement);
        ++count;
    }
    step.endEditBlock();
    if (count == 0) NotFound();
    return count;
}

void TTextFind::NotFound() {
    platform::Dialogs().Beep(platform::BeepKind::Exclamation);
    if (TTextFindDlg* dialog = OpenDialog()) dialog->ShowOutcome(Filled(qimstr::TextNotFound, condition_.pattern));
}

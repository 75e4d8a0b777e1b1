// The address book in the compose window's address fields: the alias pop-up
// menu on the right mouse button (paste, then the entries of the book) and
// completion from alias names and addresses while typing. The compose window
// only attaches them and expands typed alias names when it collects its fields.
#pragma once

#include <QObject>
#include <string>

class QCompleter;
class QLineEdit;
class QMenu;
class QStringListModel;
class SAliasMenu;
class SEMailHeader;
class SQimSendSettingData;

// The menu of `model` for `field`: each entry item inserts its expanded
// address at the end of the field (after ", " when the field has text), the
// paste item pastes. An entry whose expansion fails shows the error box and
// inserts nothing.
QMenu* BuildAliasMenu(const SAliasMenu& model, QLineEdit* field, QWidget* parent);

// What choosing entry item `id` does to `field`; false when nothing was inserted.
bool InsertAliasAddress(QLineEdit* field, const SAliasMenu& model, int id);

// Gives `field` the alias pop-up menu (rows per column from `settings`, read
// when the menu opens) and the completion.
void AttachAddressBook(QLineEdit* field, const SQimSendSettingData& settings);

// To, Cc and Bcc of `header` with typed alias names expanded.
void ExpandAddressFields(SEMailHeader& header);

// Completion of the item under the caret (the text after the last comma)
// from the book's alias names and addresses; choosing one puts the address in
// place of the item. The book is read again whenever the field gains focus.
class TAddressCompleter : public QObject {
    Q_OBJECT

public:
    explicit TAddressCompleter(QLineEdit* field);
    QCompleter* Completer() const { return completer_; }
    // Reads the book into the completion list.
    void Reload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(const QString& text);
    void OnChosen(const QString& row);

    QLineEdit* field_;
    QCompleter* completer_;
    QStringListModel* rows_;
    std::vector<std::pair<QString, std::string>> addressOfRow_;  // row text -> address (Shift_JIS)
};

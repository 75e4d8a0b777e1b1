#include "ui/TTemplatesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"

using platform::ToQString;

namespace {

std::string Sjis(const QString& text) { return platform::SjisOf(text); }

// The editor's text with CR LF line ends, as template files hold it.
std::string CrLf(const QString& text) {
    std::string out;
    for (char c : Sjis(text)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString Shown(const std::string& crlf) {
    std::string out;
    for (char c : crlf)
        if (c != '\r') out += c;
    return ToQString(out);
}

}  // namespace

TTemplatePage::TTemplatePage(QWidget* parent, STemplateKind kind) : QWidget(parent), list_(kind) {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    names = new QListWidget(this);
    left->addWidget(names, 1);
    auto* add = new QPushButton(ToQString(LoadQimString(qimstr::TemplateAdd)), this);
    auto* rename = new QPushButton(ToQString(LoadQimString(qimstr::TemplateRename)), this);
    auto* remove = new QPushButton(ToQString(LoadQimString(qimstr::TemplateDelete)), this);
    for (QPushButton* b : {add, rename, remove}) left->addWidget(b);
    layout->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    text = new QPlainTextEdit(this);
    isDefault = new QCheckBox(ToQString(LoadQimString(qimstr::TemplateDefault)), this);
    right->addWidget(text, 1);
    if (kind == STemplateKind::Head) {
        // What a greeting can take from the mail replied to.
        auto* hint = new QLabel(ToQString(LoadQimString(qimstr::HeadTemplateSequences)), this);
        hint->setWordWrap(true);
        right->addWidget(hint);
    }
    right->addWidget(isDefault);
    layout->addLayout(right, 2);

    default_ = list_.ReadDefault();
    for (const std::string& name : list_.ReadNames()) {
        Entry entry{name, std::string(), name, false};
        list_.ReadText(name, entry.text);
        entries_.push_back(entry);
        names->addItem(ToQString(name));
    }
    connect(names, &QListWidget::currentRowChanged, this, [this](int row) { Show(row); });
    connect(add, &QPushButton::clicked, this, [this] { AddTemplate(); });
    connect(rename, &QPushButton::clicked, this, [this] { RenameTemplate(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteTemplate(); });
    connect(isDefault, &QCheckBox::toggled, this, [this](bool on) {
        if (shown_ < 0) return;
        const std::string& name = entries_[static_cast<std::size_t>(shown_)].name;
        if (on) default_ = name;
        else if (default_ == name) default_.clear();
    });
    if (!entries_.empty()) names->setCurrentRow(0);
    else Show(-1);
}

void TTemplatePage::KeepShown() {
    if (shown_ < 0 || shown_ >= static_cast<int>(entries_.size())) return;
    Entry& entry = entries_[static_cast<std::size_t>(shown_)];
    const std::string now = CrLf(text->toPlainText());
    if (now != entry.text) {
        entry.text = now;
        entry.edited = true;
    }
}

void TTemplatePage::Show(int row) {
    KeepShown();
    shown_ = row;
    const bool any = row >= 0 && row < static_cast<int>(entries_.size());
    text->setEnabled(any);
    isDefault->setEnabled(any);
    const QSignalBlocker block(isDefault);
    text->setPlainText(any ? Shown(entries_[static_cast<std::size_t>(row)].text) : QString());
    isDefault->setChecked(any && entries_[static_cast<std::size_t>(row)].name == default_);
}

bool TTemplatePage::AskName(std::string& name, const std::string& shown, int self) {
    platform::InputBoxRequest request;
    request.parent = this;
    request.caption = LoadQimString(qimstr::TemplateNameCaption);
    request.prompt = LoadQimString(qimstr::TemplateNamePrompt);
    request.text = shown;
    request.maxLength = static_cast<int>(kTemplateNameSize);
    if (!platform::Dialogs().InputBox(request, name)) return false;
    // Blanks around a name are not seen in the list: they would make twins.
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    name = name.substr(first, name.find_last_not_of(" \t") + 1 - first);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name != name || static_cast<int>(i) == self) continue;
        QimMessageBox(this, LoadQimString(qimstr::TemplateNameTaken).c_str(), platform::MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool TTemplatePage::AddTemplate() {
    std::string name;
    if (!AskName(name, std::string(), -1)) return false;
    entries_.push_back(Entry{name, std::string(), std::string(), true});
    names->addItem(ToQString(name));
    names->setCurrentRow(names->count() - 1);
    text->setFocus();
    return true;
}

bool TTemplatePage::RenameTemplate() {
    const int row = names->currentRow();
    if (row < 0) return false;
    Entry& entry = entries_[static_cast<std::size_t>(row)];
    std::string name;
    if (!AskName(name, entry.name, row)) return false;
    if (default_ == entry.name) default_ = name;
    entry.name = name;
    // The file is named after the name: the text goes to a new file.
    entry.edited = true;
    names->item(row)->setText(ToQString(name));
    return true;
}

bool TTemplatePage::DeleteTemplate() {
    const int row = names->currentRow();
    if (row < 0) return false;
    const Entry entry = entries_[static_cast<std::size_t>(row)];
    char question[512];
    std::snprintf(question, sizeof question, LoadQimString(qimstr::TemplateDeleteQuestion).c_str(), entry.name.c_str());
    if (QimMessageBox(this, question, platform::MessageIcon::Question, platform::MessageButtons::YesNo) !=
        platform::MessageAnswer::Yes)
        return false;
    if (!entry.storedName.empty()) removed_.push_back(entry.storedName);
    if (default_ == entry.name) default_.clear();
    shown_ = -1;  // the shown text goes with its template
    entries_.erase(entries_.begin() + row);
    delete names->takeItem(row);
    Show(names->currentRow());
    return true;
}

bool TTemplatePage::Save() {
    KeepShown();
    bool ok = true;
    std::vector<std::string> list;
    for (Entry& entry : entries_) {
        list.push_back(entry.name);
        if (!entry.edited) continue;
        if (!list_.WriteText(entry.name, entry.text)) {
            ok = false;
            continue;
        }
        if (!entry.storedName.empty() && entry.storedName != entry.name) removed_.push_back(entry.storedName);
        entry.storedName = entry.name;
        entry.edited = false;
    }
    for (const std::string& gone : removed_) {
        // A name given again to another template keeps its new file.
        bool reused = false;
        for (const Entry& entry : entries_) reused = reused || entry.name == gone;
        if (!reused) list_.RemoveText(gone);
    }
    removed_.clear();
    ok = list_.WriteNames(list) && ok;
    ok = list_.WriteDefault(default_) && ok;
    if (!ok) QimMessageBox(this, LoadQimString(qimstr::TemplateNotSaved).c_str(), platform::MessageIcon::Stop);
    return ok;
}

TTemplatesDlg::TTemplatesDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ToQString(LoadQimString(qimstr::TemplatesCaption)));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    head = new TTemplatePage(tabs, STemplateKind::Head);
    tail = new TTemplatePage(tabs, STemplateKind::Tail);
    tabs->addTab(head, ToQString(LoadQimString(qimstr::HeadTemplatesLabel)));
    tabs->addTab(tail, ToQString(LoadQimString(qimstr::TailTemplatesLabel)));
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 360);
}

void TTemplatesDlg::accept() {
    const bool headSaved = head->Save();
    if (headSaved && tail->Save()) QDialog::accept();
}

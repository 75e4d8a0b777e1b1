#include "ui/SMoveFilesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

std::string Sjis(const QLineEdit* edit) { return platform::SjisOf(edit->text()); }

}  // namespace

SMoveFilesDialog::SMoveFilesDialog(QWidget* parent, const SAutoMoveFilesData& initial, const std::string& home)
    : QDialog(parent), home_(home) {
    setObjectName("QimMoveFilesDlg");
    setWindowTitle(Text(qimstr::MoveFilesCaption));
    headerType = new QComboBox(this);
    headerType->addItems({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("To"),
                          Text(qimstr::SortOtherField)});
    headerType->setCurrentIndex(std::clamp(initial.headerType, kSortHeaderFrom, kSortHeaderField));
    fieldName = new QLineEdit(platform::ToQString(initial.fieldName), this);
    fieldName->setPlaceholderText(QStringLiteral("X-ML-Name"));
    pattern = new QLineEdit(platform::ToQString(initial.pattern), this);
    pattern->setMinimumWidth(300);
    destination = new QLineEdit(platform::ToQString(initial.destination), this);
    browse = new QPushButton(Text(qimstr::SortBrowseButton), this);
    browse->setAutoDefault(false);
    atLineStart = new QCheckBox(Text(qimstr::SubsAtLineStart), this);
    matchCase = new QCheckBox(Text(qimstr::SubsMatchCase), this);
    wholeWord = new QCheckBox(Text(qimstr::SubsWholeWord), this);
    atLineStart->setChecked(initial.option.AtLineStart);
    matchCase->setChecked(initial.option.MatchCase);
    wholeWord->setChecked(initial.option.WholeWord);

    auto* header = new QHBoxLayout;
    header->addWidget(headerType);
    header->addWidget(fieldName, 1);
    auto* target = new QHBoxLayout;
    target->addWidget(destination, 1);
    target->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(Text(qimstr::SortHeaderLabel), header);
    form->addRow(Text(qimstr::SortTextLabel), pattern);
    form->addRow(Text(qimstr::SortDestinationLabel), target);
    form->addRow(atLineStart);
    form->addRow(matchCase);
    form->addRow(wholeWord);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));

    const auto follow = [this] { fieldName->setEnabled(headerType->currentIndex() == kSortHeaderField); };
    connect(headerType, &QComboBox::currentIndexChanged, this, follow);
    follow();
    connect(browse, &QPushButton::clicked, this, [this] { ChooseDestination(); });
}

SAutoMoveFilesData SMoveFilesDialog::Rule() const {
    SAutoMoveFilesData rule;
    rule.headerType = headerType->currentIndex();
    if (rule.headerType == kSortHeaderField) rule.fieldName = Sjis(fieldName);
    rule.pattern = Sjis(pattern);
    rule.destination = Sjis(destination);
    rule.option.AtLineStart = atLineStart->isChecked();
    rule.option.MatchCase = matchCase->isChecked();
    rule.option.WholeWord = wholeWord->isChecked();
    return rule;
}

void SMoveFilesDialog::accept() {
    if (!Rule().FitsStoredForm()) {
        QimMessageBox(this, LoadQimString(qimstr::SortFieldsInvalid).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

void SMoveFilesDialog::ChooseDestination() {
    platform::FileDialogRequest request;
    request.parent = this;
    request.kind = platform::FileDialogKind::Folder;
    request.title = LoadQimString(qimstr::SortChooseFolder);
    request.initialDir = ResolveSortDestination(home_, Sjis(destination));
    std::vector<std::string> paths;
    if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return;
    const std::string& chosen = paths.front();
    std::string base;
    MergeFilePath(base, home_, "");
    if (IsSameDir(chosen, home_)) destination->setText(QStringLiteral("."));
    else if (IsSubfolder(home_, chosen, true)) destination->setText(platform::ToQString(chosen.substr(base.size())));
    else destination->setText(platform::ToQString(chosen));
}

bool EditMoveFilesRule(QWidget* parent, const SAutoMoveFilesData& initial, const std::string& home,
                       SAutoMoveFilesData& rule) {
    SMoveFilesDialog dialog(parent, initial, home);
    if (dialog.exec() != QDialog::Accepted) return false;
    rule = dialog.Rule();
    return true;
}

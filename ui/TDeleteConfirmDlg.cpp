#include "ui/TDeleteConfirmDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/AppNames.h"
#include "platform/qt/QtText.h"

TDeleteConfirmDlg::TDeleteConfirmDlg(QWidget* parent, const SQimMailData& mail, bool showsTo,
                                     const std::string& question, bool offerAll)
    : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(GetAppName()));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("No."), new QLabel(QString::number(mail.number)));
    form->addRow(QStringLiteral("Date"), new QLabel(platform::ToQString(mail.header.date)));
    form->addRow(showsTo ? QStringLiteral("To") : QStringLiteral("From"),
                 new QLabel(platform::ToQString(showsTo ? mail.header.to : mail.header.from)));
    auto* subject = new QLabel(platform::ToQString(mail.header.subject));
    subject->setWordWrap(true);
    form->addRow(QStringLiteral("Subject"), subject);
    for (QLabel* label : findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox;
    auto add = [&](const char* name, const char* text, SDeleteAnswer answer, QDialogButtonBox::ButtonRole role) {
        QPushButton* button = buttons->addButton(QString::fromUtf8(text), role);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            done(answer == SDeleteAnswer::Cancel ? QDialog::Rejected : QDialog::Accepted);
        });
        return button;
    };
    add(kYes, "はい(&Y)", SDeleteAnswer::Yes, QDialogButtonBox::YesRole)->setDefault(true);
    add(kNo, "いいえ(&N)", SDeleteAnswer::No, QDialogButtonBox::NoRole);
    if (offerAll) add(kAll, "すべて(&A)", SDeleteAnswer::All, QDialogButtonBox::ActionRole);
    add(kCancel, "キャンセル", SDeleteAnswer::Cancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* text = new QLabel(platform::ToQString(question));
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

SDeleteAnswer TDeleteConfirmDlg::Ask(QWidget* parent, const SQimMailData& mail, bool showsTo,
                                     const std::string& question, bool offerAll) {
    TDeleteConfirmDlg dialog(parent, mail, showsTo, question, offerAll);
    dialog.exec();
    return dialog.Answer();
}

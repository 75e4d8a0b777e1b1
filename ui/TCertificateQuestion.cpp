#include "ui/TCertificateQuestion.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

using platform::ToQString;

platform::TrustAnswer TCertificateQuestion::AskTrust(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, ToQString(LoadQimString(qimstr::CertificateCaption)),
                    ToQString(text) + "\n\n" + ToQString(LoadQimString(qimstr::CertificateQuestion)), QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* once = box.addButton(ToQString(LoadQimString(qimstr::TrustOnceButton)), QMessageBox::AcceptRole);
    QPushButton* always = box.addButton(ToQString(LoadQimString(qimstr::TrustAlwaysButton)), QMessageBox::AcceptRole);
    QPushButton* refuse = box.addButton(ToQString(LoadQimString(qimstr::DoNotConnectButton)), QMessageBox::RejectRole);
    // Not connecting is what Enter and Esc choose: trust needs a deliberate click.
    box.setDefaultButton(refuse);
    box.setEscapeButton(refuse);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    if (box.clickedButton() == once) return platform::TrustAnswer::Once;
    if (box.clickedButton() == always) return platform::TrustAnswer::Always;
    return platform::TrustAnswer::Refuse;
}

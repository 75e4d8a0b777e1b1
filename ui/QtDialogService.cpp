#include "ui/QtDialogService.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QVBoxLayout>
#include <functional>

#include "common/MbChar.h"
#include "platform/NativePath.h"
#include "platform/qt/QtText.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

QWidget* Owner(platform::ParentWindow parent) { return static_cast<QWidget*>(parent); }

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    MessageAnswer answer;
};

std::vector<ButtonChoice> Buttons(MessageButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
    case MessageButtons::Ok:
        return {{B::Ok, MessageAnswer::Ok}};
    case MessageButtons::OkCancel:
        return {{B::Ok, MessageAnswer::Ok}, {B::Cancel, MessageAnswer::Cancel}};
    case MessageButtons::YesNo:
        return {{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}};
    case MessageButtons::YesNoCancel:
        return {{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}, {B::Cancel, MessageAnswer::Cancel}};
    case MessageButtons::RetryCancel:
        return {{B::Retry, MessageAnswer::Retry}, {B::Cancel, MessageAnswer::Cancel}};
    case MessageButtons::AbortRetryIgnore:
        return {{B::Abort, MessageAnswer::Abort}, {B::Retry, MessageAnswer::Retry}, {B::Ignore, MessageAnswer::Ignore}};
    }
    return {{B::Ok, MessageAnswer::Ok}};
}

// Cuts a Shift_JIS text to at most `max` bytes, never inside a character.
void CutToBytes(std::string& text, int max) {
    if (max <= 0 || text.size() <= static_cast<std::size_t>(max)) return;
    std::size_t n = 0;
    while (n < text.size()) {
        const std::size_t len = MbCharLen(text.c_str() + n);
        if (n + len > static_cast<std::size_t>(max)) break;
        n += len;
    }
    text.resize(n);
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
    QStringList parts;
    for (const platform::FileFilter& f : platform::SplitFileFilter(filter)) {
        QString patterns = platform::ToQString(f.patterns);
        patterns.replace(';', ' ');
        const QString description = platform::ToQString(f.description);
        // Qt takes the patterns from the parentheses at the end; a description
        // that already shows them ("ﾃｷｽﾄﾌｧｲﾙ (*.txt)") needs no second pair.
        const QString shown = "(" + patterns + ")";
        parts << (description.endsWith(shown) ? description : description + " " + shown);
    }
    return parts.join(";;");
}

MessageAnswer QtDialogService::MessageBox(const platform::MessageBoxRequest& request) {
    QMessageBox box(QtIcon(request.icon), platform::ToQString(request.caption), platform::ToQString(request.text),
                    QMessageBox::NoButton, Owner(request.parent));
    const std::vector<ButtonChoice> choices = Buttons(request.buttons);
    for (const ButtonChoice& c : choices) box.addButton(c.button);
    const std::size_t def = static_cast<std::size_t>(request.defaultButton);
    box.setDefaultButton(choices[def < choices.size() ? def : 0].button);
    const int pressed = box.exec();
    for (const ButtonChoice& c : choices)
        if (pressed == c.button) return c.answer;
    // Closed without a button (Esc, the window's close box): the safe answer.
    return platform::SafeAnswer(request.buttons);
}

namespace {

// Runs an input dialog until it is cancelled or gives a text that has a
// Shift_JIS form (cut to the request's length); the user is told otherwise.
bool AskUntilSjis(QDialog& dialog, const platform::InputBoxRequest& request, const std::function<QString()>& typedText,
                  std::string& text) {
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return false;
        std::string typed;
        if (platform::FromQString(typedText(), typed)) {
            CutToBytes(typed, request.maxLength);
            text = typed;
            return true;
        }
        QMessageBox::warning(&dialog, platform::ToQString(request.caption),
                             QString::fromUtf8("Shift_JIS で表せない文字が含まれています。"));
    }
}

}  // namespace

bool QtDialogService::InputBox(const platform::InputBoxRequest& request, std::string& text) {
    QInputDialog dialog(Owner(request.parent));
    dialog.setWindowTitle(platform::ToQString(request.caption));
    dialog.setLabelText(platform::ToQString(request.prompt));
    dialog.setTextValue(platform::ToQString(request.text));
    dialog.setTextEchoMode(request.password ? QLineEdit::Password : QLineEdit::Normal);
    return AskUntilSjis(dialog, request, [&dialog] { return dialog.textValue(); }, text);
}

bool QtDialogService::InputBoxWithCheck(const platform::InputBoxRequest& request, const std::string& checkLabel,
                                        std::string& text, bool& checked) {
    QDialog dialog(Owner(request.parent));
    dialog.setWindowTitle(platform::ToQString(request.caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* prompt = new QLabel(platform::ToQString(request.prompt), &dialog);
    auto* field = new QLineEdit(platform::ToQString(request.text), &dialog);
    field->setEchoMode(request.password ? QLineEdit::Password : QLineEdit::Normal);
    prompt->setBuddy(field);
    auto* check = new QCheckBox(platform::ToQString(checkLabel), &dialog);
    check->setChecked(checked);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(prompt);
    layout->addWidget(field);
    layout->addWidget(check);
    layout->addWidget(buttons);
    if (!AskUntilSjis(dialog, request, [field] { return field->text(); }, text)) return false;
    checked = check->isChecked();
    return true;
}

bool QtDialogService::FileDialog(const platform::FileDialogRequest& request, std::vector<std::string>& paths) {
    paths.clear();
    QFileDialog dialog(Owner(request.parent), platform::ToQString(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    std::string nativeDir;
    if (!request.initialDir.empty() && platform::ToNativePath(request.initialDir.c_str(), nativeDir))
        dialog.setDirectory(QString::fromStdString(nativeDir));
    switch (request.kind) {
    case platform::FileDialogKind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : (request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
        break;
    case platform::FileDialogKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        break;
    case platform::FileDialogKind::Folder:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        break;
    }
    if (!request.filter.empty() && request.kind != platform::FileDialogKind::Folder)
        dialog.setNameFilter(QtFileFilter(request.filter));
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
        // A name typed without an extension takes the one of the filter chosen.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            static const QRegularExpression kFirstExtension(QStringLiteral(R"(\*\.(\w+))"));
            const QRegularExpressionMatch m = kFirstExtension.match(filter);
            if (m.hasMatch()) dialog.setDefaultSuffix(m.captured(1));
        });
    }
    if (!request.fileName.empty()) dialog.selectFile(platform::ToQString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return false;
    for (const QString& chosen : dialog.selectedFiles()) {
        std::string sjis;
        // A name without a Shift_JIS form cannot be handled by Qim.
        if (!platform::FromNativePath(chosen.toStdString().c_str(), sjis)) {
            paths.clear();
            return false;
        }
        paths.push_back(sjis);
    }
    return !paths.empty();
}

void QtDialogService::Beep(platform::BeepKind) { QApplication::beep(); }

bool QtDialogService::PlaySound(const std::string& path) {
    std::string native;
    if (!platform::ToNativePath(path.c_str(), native)) return false;
    const QStringList args{QString::fromStdString(native)};
    return QProcess::startDetached("paplay", args) || QProcess::startDetached("aplay", args);
}

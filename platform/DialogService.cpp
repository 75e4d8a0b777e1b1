#include "platform/DialogService.h"

#include <cstdio>

#include "platform/CodePage.h"

namespace platform {
namespace {

HeadlessDialogService& Headless() {
    static HeadlessDialogService service;
    return service;
}

DialogService*& Current() {
    static DialogService* current = nullptr;
    return current;
}

}  // namespace

DialogService& Dialogs() {
    DialogService* current = Current();
    return current ? *current : Headless();
}

DialogService* SetDialogService(DialogService* service) {
    DialogService* previous = Current();
    Current() = service;
    return previous;
}

MessageAnswer SafeAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::AbortRetryIgnore:
        return MessageAnswer::Abort;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
    case MessageButtons::RetryCancel:
        break;
    }
    return MessageAnswer::Cancel;
}

MessageAnswer HeadlessDialogService::MessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "%s: %s\n", Cp932ToUtf8Lossy(request.caption).c_str(),
                 Cp932ToUtf8Lossy(request.text).c_str());
    return SafeAnswer(request.buttons);
}

bool HeadlessDialogService::InputBox(const InputBoxRequest&, std::string&) { return false; }

bool HeadlessDialogService::FileDialog(const FileDialogRequest&, std::vector<std::string>& paths) {
    paths.clear();
    return false;
}

void HeadlessDialogService::Beep(BeepKind) {}

bool HeadlessDialogService::PlaySound(const std::string&) { return false; }

std::vector<FileFilter> SplitFileFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(filter[i]);
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < filter.size()) {
            part.append(filter, i++, 2);
        } else if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += static_cast<char>(c);
        }
    }
    if (!part.empty()) parts.push_back(part);
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

}  // namespace platform

#include "platform/ScriptedDialogService.h"

namespace platform {

void ScriptedDialogService::Clear() {
    boxes_.clear();
    messages_.clear();
    inputs_.clear();
    checks_.clear();
    files_.clear();
    unanswered_ = 0;
}

MessageAnswer ScriptedDialogService::MessageBox(const MessageBoxRequest& request) {
    RecordedBox box;
    box.kind = RecordedBox::Kind::Message;
    box.text = request.text;
    box.caption = request.caption;
    box.icon = request.icon;
    box.buttons = request.buttons;
    box.defaultButton = request.defaultButton;
    boxes_.push_back(box);
    if (messages_.empty()) {
        ++unanswered_;
        return SafeAnswer(request.buttons);
    }
    MessageAnswer answer = messages_.front();
    messages_.pop_front();
    return answer;
}

bool ScriptedDialogService::InputBox(const InputBoxRequest& request, std::string& text) {
    RecordedBox box;
    box.kind = RecordedBox::Kind::Input;
    box.text = request.prompt;
    box.caption = request.caption;
    boxes_.push_back(box);
    if (inputs_.empty()) {
        ++unanswered_;
        return false;
    }
    std::optional<std::string> answer = std::move(inputs_.front());
    inputs_.pop_front();
    if (!answer) return false;
    text = *answer;
    return true;
}

bool ScriptedDialogService::InputBoxWithCheck(const InputBoxRequest& request, const std::string& checkLabel,
                                              std::string& text, bool& checked) {
    const bool ok = InputBox(request, text);
    boxes_.back().checkLabel = checkLabel;
    boxes_.back().checkedAtFirst = checked;
    if (!checks_.empty()) {
        if (ok) checked = checks_.front();
        checks_.pop_front();
    }
    return ok;
}

bool ScriptedDialogService::FileDialog(const FileDialogRequest& request, std::vector<std::string>& paths) {
    RecordedBox box;
    box.kind = RecordedBox::Kind::File;
    box.text = request.title;
    box.file = request;
    boxes_.push_back(box);
    paths.clear();
    if (files_.empty()) {
        ++unanswered_;
        return false;
    }
    paths = std::move(files_.front());
    files_.pop_front();
    return !paths.empty();
}

void ScriptedDialogService::Beep(BeepKind kind) {
    RecordedBox box;
    box.kind = RecordedBox::Kind::Beep;
    box.beep = kind;
    boxes_.push_back(box);
}

bool ScriptedDialogService::PlaySound(const std::string& path) {
    RecordedBox box;
    box.kind = RecordedBox::Kind::Sound;
    box.text = path;
    boxes_.push_back(box);
    return soundPlays_;
}

}  // namespace platform

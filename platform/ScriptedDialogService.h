// A dialog service for tests: it records every box (text, caption, icon,
// buttons) and answers from a script given beforehand. A box that finds no
// scripted answer gets the safe answer and is counted as unanswered, so a test
// sees an unexpected question.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/DialogService.h"

namespace platform {

struct RecordedBox {
    enum class Kind { Message, Input, File, Beep, Sound };
    Kind kind = Kind::Message;
    std::string text;     // message text, input prompt, file-dialog title, sound path
    std::string caption;  // message or input caption
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    int defaultButton = 0;
    FileDialogRequest file;  // the whole request of a file dialog
    BeepKind beep = BeepKind::Default;
    std::string checkLabel;  // the check box of an input box, if it had one
    bool checkedAtFirst = false;
};

class ScriptedDialogService : public DialogService {
public:
    // Answers are taken in order, each list by the boxes of its kind.
    void AnswerMessage(MessageAnswer answer) { messages_.push_back(answer); }
    // Null: the user cancels.
    void AnswerInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
    // The state the user leaves the check box of the next input box that has one in.
    void AnswerCheck(bool checked) { checks_.push_back(checked); }
    // Empty: the user cancels.
    void AnswerFile(std::vector<std::string> paths) { files_.push_back(std::move(paths)); }
    void SetSoundPlays(bool plays) { soundPlays_ = plays; }

    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    int Unanswered() const { return unanswered_; }
    void Clear();

    MessageAnswer MessageBox(const MessageBoxRequest& request) override;
    bool InputBox(const InputBoxRequest& request, std::string& text) override;
    bool InputBoxWithCheck(const InputBoxRequest& request, const std::string& checkLabel, std::string& text,
                           bool& checked) override;
    bool FileDialog(const FileDialogRequest& request, std::vector<std::string>& paths) override;
    void Beep(BeepKind kind) override;
    bool PlaySound(const std::string& path) override;

private:
    std::vector<RecordedBox> boxes_;
    std::deque<MessageAnswer> messages_;
    std::deque<std::optional<std::string>> inputs_;
    std::deque<bool> checks_;
    std::deque<std::vector<std::string>> files_;
    int unanswered_ = 0;
    bool soundPlays_ = true;
};

// Installs a service for the life of the object and puts the previous one back.
class ScopedDialogService {
public:
    explicit ScopedDialogService(DialogService& service) : previous_(SetDialogService(&service)) {}
    ~ScopedDialogService() { SetDialogService(previous_); }
    ScopedDialogService(const ScopedDialogService&) = delete;
    ScopedDialogService& operator=(const ScopedDialogService&) = delete;

private:
    DialogService* previous_;
};

}  // namespace platform

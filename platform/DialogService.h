// Message boxes, input boxes, file dialogs, beeps and sounds, as code outside
// the windows asks for them. The program installs the implementation that
// shows real windows; tests install a scripted one; until then a headless one
// answers every question with its safe choice. All texts are Shift_JIS.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The window that owns a box (a QWidget* for the Qt implementation), or null.
using ParentWindow = void*;

enum class MessageIcon { None, Stop, Exclamation, Question, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
// The button chosen, numbered as Windows numbers them (IDOK ... IDNO).
enum class MessageAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
    ParentWindow parent = nullptr;
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    int defaultButton = 0;  // 0 the first button, 1 the second, 2 the third
};

struct InputBoxRequest {
    ParentWindow parent = nullptr;
    std::string caption;
    std::string prompt;
    std::string text;    // shown at first
    int maxLength = 0;   // bytes; 0 without limit
    bool password = false;
};

// Folder: the user picks an existing folder (one path).
enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
    ParentWindow parent = nullptr;
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;             // empty: the platform's own title
    std::string filter;            // "description|patterns|..." (patterns separated by ';')
    std::string defaultExtension;  // without the dot
    std::string initialDir;
    std::string fileName;          // proposed name or path
    bool mustExist = false;
    bool hideReadOnly = false;
    bool overwritePrompt = false;
    bool multiSelect = false;
};

enum class BeepKind { Default, Stop, Exclamation, Question, Information };

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual MessageAnswer MessageBox(const MessageBoxRequest& request) = 0;
    // True on OK, with what was typed in `text`.
    virtual bool InputBox(const InputBoxRequest& request, std::string& text) = 0;
    // An input box with a check box labelled `checkLabel` under its field:
    // `checked` is its state at first and, on OK, as the user left it. A
    // service without check boxes asks as InputBox does and leaves `checked`.
    virtual bool InputBoxWithCheck(const InputBoxRequest& request, const std::string& checkLabel, std::string& text,
                                   bool& checked) {
        return InputBox(request, text);
    }
    // True on OK, with the chosen full paths (one unless multiSelect).
    virtual bool FileDialog(const FileDialogRequest& request, std::vector<std::string>& paths) = 0;
    virtual void Beep(BeepKind kind) = 0;
    // Starts playing a sound file and returns at once; false when it cannot be played.
    virtual bool PlaySound(const std::string& path) = 0;
};

// The service in use.
DialogService& Dialogs();
// Installs `service` (null: the headless one again) and returns the one it
// replaces. The caller keeps ownership.
DialogService* SetDialogService(DialogService* service);

// The answer of a box that nobody can see: the button that changes nothing
// (Cancel, No, Abort, or OK when it is the only one).
MessageAnswer SafeAnswer(MessageButtons buttons);

// Without windows: boxes go to standard error, questions take SafeAnswer,
// input boxes and file dialogs are cancelled, beeps and sounds do nothing.
class HeadlessDialogService : public DialogService {
public:
    MessageAnswer MessageBox(const MessageBoxRequest& request) override;
    bool InputBox(const InputBoxRequest& request, std::string& text) override;
    bool FileDialog(const FileDialogRequest& request, std::vector<std::string>& paths) override;
    void Beep(BeepKind kind) override;
    bool PlaySound(const std::string& path) override;
};

// One entry of a file-dialog filter.
struct FileFilter {
    std::string description;
    std::string patterns;  // "*.lzh;*.zip"
};
// Splits "desc|patterns|desc|patterns|" at its bars (never at the second byte of
// a double-byte character); a description without patterns is dropped.
std::vector<FileFilter> SplitFileFilter(const std::string& filter);

}  // namespace platform

#include "send/SComposeChecks.h"

#include <cstdio>
#include <cstring>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/JapaneseCodes.h"
#include "common/QimMessageBox.h"
#include "common/SHanZenKana.h"
#include "send/SendCodes.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

MessageAnswer Ask(platform::ParentWindow owner, const std::string& text, MessageButtons buttons, int defaultButton = 0) {
    return QimMessageBox(owner, text.c_str(), MessageIcon::Question, buttons, defaultButton);
}

bool Abort(platform::ParentWindow owner) {
    QimMessageBox(owner, LoadQimString(qimstr::SendAborted).c_str(), MessageIcon::Exclamation);
    return false;
}

bool BodyIsEmpty(const SComposeEditor& editor) {
    return editor.LineCount() == 0 || (editor.LineCount() == 1 && editor.Line(0).empty());
}

// Widens each half-width run the user agrees to; false on a No.
bool CheckHalfWidthKana(SComposeEditor& editor, int index, platform::ParentWindow owner) {
    const SHanZenKana kana;
    for (;;) {
        const std::string line = editor.Line(index);
        unsigned first = 0;
        unsigned end = 0;
        if (!kana.DoesExistHankaku(line.c_str(), &first, &end)) return true;
        editor.Select(index, static_cast<int>(first), static_cast<int>(end));
        if (Ask(owner, LoadQimString(qimstr::HankakuKanaQuestion), MessageButtons::YesNo) != MessageAnswer::Yes)
            return false;
        std::string wide;
        if (!kana.Han2Zen(line.substr(first, end - first), wide)) return false;
        editor.Replace(index, static_cast<int>(first), static_cast<int>(end), wide);
    }
}

bool CheckPlatformChars(SComposeEditor& editor, int index, platform::ParentWindow owner) {
    const std::string line = editor.Line(index);
    int start = 0;
    int end = 0;
    for (int from = 0; FindPlatformDependentRun(line, from, start, end); from = end) {
        editor.Select(index, start, end);
        if (Ask(owner, LoadQimString(qimstr::PlatformCharQuestion), MessageButtons::YesNoCancel) != MessageAnswer::No)
            return false;
    }
    return true;
}

// The characters that must not begin a line, in the order they are tried.
constexpr const char* kNoLineStart[] = {
    ",", ".", "!", "?", ":", ";", "\"", "'", ")",
    "\x81\x41",  // 、
    "\x81\x42",  // 。
    "\x81\x49",  // ！
    "\x81\x48",  // ？
    "\x81\x46",  // ：
    "\x81\x47",  // ；
    "\x81\x66",  // ’
    "\x81\x68",  // ”
    "\x81\x6A",  // ）
    "\x81\x76",  // 」
};

}  // namespace

bool IsPlatformDependentChar(unsigned char lead, unsigned char trail) {
    const int o = lead <= 0x9F ? 0x70 : 0xB0;
    const int j1 = (lead - o) * 2 - (trail < 0x9F ? 1 : 0);
    return !((j1 >= 0x21 && j1 <= 0x28) || (j1 >= 0x30 && j1 <= 0x74));
}

bool FindPlatformDependentRun(const std::string& line, int from, int& start, int& end) {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const int n = static_cast<int>(line.size());
    int i = 0;
    start = -1;
    while (i < n) {
        const bool dbcs = IsKanji1(p[i]) && i + 1 < n;
        const bool dependent = dbcs && i >= from && IsPlatformDependentChar(p[i], p[i + 1]);
        if (dependent && start < 0) start = i;
        if (!dependent && start >= 0) break;
        i += dbcs ? 2 : 1;
    }
    if (start < 0) return false;
    end = i;
    return true;
}

bool CheckBeforeSend(SComposeEditor& editor, platform::ParentWindow owner) {
    if (BodyIsEmpty(editor) &&
        Ask(owner, LoadQimString(qimstr::EmptyBodyQuestion), MessageButtons::YesNoCancel) != MessageAnswer::Yes)
        return Abort(owner);
    bool longLine = false;
    for (int i = 0; i < editor.LineCount(); ++i) {
        if (!CheckHalfWidthKana(editor, i, owner) || !CheckPlatformChars(editor, i, owner)) return Abort(owner);
        longLine |= editor.Line(i).size() > static_cast<std::size_t>(kLongLineColumns);
    }
    if (longLine) {
        char text[1024];
        std::snprintf(text, sizeof text, LoadQimString(qimstr::LongLineQuestion).c_str(), kLongLineColumns,
                      kLongLineColumns);
        if (Ask(owner, text, MessageButtons::YesNo, 1) != MessageAnswer::Yes) return Abort(owner);
    }
    return true;
}

int FoldPosition(const std::string& line, int width) {
    if (width < 1 || static_cast<int>(line.size()) <= width) return -1;
    const std::string head = line.substr(0, static_cast<std::size_t>(width) + 3);
    int c = width;
    if (IsKanji2(head.c_str(), c)) c = width - 1;
    if (c < 1) c = IsKanji1(static_cast<unsigned char>(head[0])) ? 2 : 1;
    for (const char* mark : kNoLineStart) {
        const std::size_t len = std::strlen(mark);
        if (head.compare(static_cast<std::size_t>(c), len, mark) == 0) {
            c += static_cast<int>(len);
            break;
        }
    }
    return c < static_cast<int>(line.size()) ? c : -1;
}

void FoldLongLines(SComposeEditor& editor, int width, SFoldMode mode, platform::ParentWindow owner) {
    for (int i = 0; i < editor.LineCount(); ++i) {
        const int c = FoldPosition(editor.Line(i), width);
        if (c < 0) continue;
        if (mode == SFoldMode::Ask) {
            editor.Select(i, 0, c);
            const MessageAnswer answer = Ask(owner, LoadQimString(qimstr::CutHereQuestion), MessageButtons::YesNoCancel);
            if (answer == MessageAnswer::Cancel) return;
            if (answer != MessageAnswer::Yes) continue;
        }
        editor.BreakLine(i, c);
    }
}

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "common/SCheckWindowsFileName.h"
#include "platform/ScriptedDialogService.h"

namespace {

using platform::MessageAnswer;
using platform::MessageIcon;
using platform::RecordedBox;

TEST(SCheckWindowsFileName, FindsTheCharactersFileNamesCannotHold) {
    EXPECT_STREQ(SCheckWindowsFileName::BadChars(), "\\/:,;*?\"<>|");
    for (const char* p = SCheckWindowsFileName::BadChars(); *p; ++p) {
        const std::string name = std::string("a") + *p + "b";
        EXPECT_TRUE(SCheckWindowsFileName::DoesContainBadChars(name.c_str())) << name;
    }
    struct Case {
        const char* name;
        bool bad;
    } cases[] = {
        {"\x8E\x64\x8E\x96", false},  // 仕事
        {"\x95\x5C\x8E\xA6", false},  // 表示: 5C as a second byte
        {"\x83\x7C\x83\x8B", false},  // ポル: 7C as a second byte
        {"\x81\x5E", false},          // the full-width ／
        {"\x95\x5C\\", true},
        {"2026.12", false},
        {"", false},
        {nullptr, false},
    };
    for (const Case& c : cases) EXPECT_EQ(SCheckWindowsFileName::DoesContainBadChars(c.name), c.bad);
}

TEST(SCheckWindowsFileName, ErrorMessageShowsTheStopBoxWithTheCharacters) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed(dialogs);
    SCheckWindowsFileName::ErrorMessage(nullptr);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    const RecordedBox& box = dialogs.Boxes()[0];
    EXPECT_EQ(box.kind, RecordedBox::Kind::Message);
    EXPECT_EQ(box.text, LoadStringCmmnDll(cmmnstr::BadFileName) + "\n\\/:,;*?\"<>|");
    EXPECT_EQ(box.caption, "Qim");
    EXPECT_EQ(box.icon, MessageIcon::Stop);
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(dialogs.Unanswered(), 1) << "nothing was scripted; the box took OK";
}

TEST(QimMessageBox, CarriesTheApplicationNameAndTheAnswer) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed(dialogs);
    dialogs.AnswerMessage(MessageAnswer::Yes);
    EXPECT_EQ(QimMessageBox(nullptr, "\x8D\xED\x8F\x9C\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48", MessageIcon::Question,
                            platform::MessageButtons::YesNo, 1),
              MessageAnswer::Yes);
    EXPECT_EQ(QimMessageBox(nullptr, "again", MessageIcon::Question, platform::MessageButtons::YesNo),
              MessageAnswer::No) << "an unscripted question takes the safe answer";
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Qim");
    EXPECT_EQ(dialogs.Boxes()[0].defaultButton, 1);
    EXPECT_EQ(dialogs.Unanswered(), 1);
}

TEST(GetSetSaveFileName, AsksWithTheSaveDialogAndCopiesTheChoice) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed(dialogs);
    dialogs.AnswerFile({"/home/q/save/\x93\xFA\x96\x7B.txt"});
    char path[kMaxPath] = "proposed.txt";
    ASSERT_TRUE(GetSetSaveFileName(nullptr, path, "/home/q/save"));
    EXPECT_STREQ(path, "/home/q/save/\x93\xFA\x96\x7B.txt");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    const platform::FileDialogRequest& asked = dialogs.Boxes()[0].file;
    EXPECT_EQ(asked.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(asked.filter, LoadStringCmmnDll(cmmnstr::FilterAll));
    EXPECT_EQ(asked.fileName, "proposed.txt");
    EXPECT_EQ(asked.initialDir, "/home/q/save");
    EXPECT_TRUE(asked.hideReadOnly);
    EXPECT_TRUE(asked.overwritePrompt);

    dialogs.AnswerFile({});  // cancelled
    EXPECT_FALSE(GetSetSaveFileName(nullptr, path, nullptr));
    EXPECT_STREQ(path, "/home/q/save/\x93\xFA\x96\x7B.txt");
}

TEST(GetSetSaveFileName, RefusesAChoiceLongerThanTheBuffer) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed(dialogs);
    std::string fits(kMaxPath - 1, 'f');  // 259 bytes and the NUL
    std::string tooLong(kMaxPath, 'l');   // 260 bytes
    fits[0] = tooLong[0] = '/';
    dialogs.AnswerFile({tooLong});
    dialogs.AnswerFile({fits});
    char path[kMaxPath + 4];
    std::memset(path, '~', sizeof path);
    std::strcpy(path, "a.txt");
    EXPECT_FALSE(GetSetSaveFileName(nullptr, path, "/", kMaxPath));
    EXPECT_STREQ(path, "a.txt") << "left as it was";
    EXPECT_TRUE(GetSetSaveFileName(nullptr, path, "/", kMaxPath));
    EXPECT_EQ(std::string(path), fits);
    EXPECT_EQ(path[kMaxPath], '~');

    // A proposed name without NUL inside the buffer is read no further than it.
    char unterminated[8];
    std::memset(unterminated, 'u', sizeof unterminated);
    dialogs.AnswerFile({});
    EXPECT_FALSE(GetSetSaveFileName(nullptr, unterminated, "/", sizeof unterminated));
    EXPECT_EQ(dialogs.Boxes().back().file.fileName, "uuuuuuuu");
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/DialogService.h"
#include "platform/ScriptedDialogService.h"

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

TEST(DialogService, WithoutWindowsEveryQuestionTakesTheChoiceThatChangesNothing) {
    struct Case {
        MessageButtons buttons;
        MessageAnswer answer;
    } cases[] = {
        {MessageButtons::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, MessageAnswer::Cancel},
        {MessageButtons::YesNo, MessageAnswer::No},
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
        {MessageButtons::RetryCancel, MessageAnswer::Cancel},
        {MessageButtons::AbortRetryIgnore, MessageAnswer::Abort},
    };
    platform::DialogService& headless = platform::Dialogs();
    for (const Case& c : cases) {
        platform::MessageBoxRequest request;
        request.caption = "Qim";
        request.text = "\x8D\xED\x8F\x9C\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48";  // 削除しますか？
        request.buttons = c.buttons;
        EXPECT_EQ(headless.MessageBox(request), c.answer);
    }
    std::string text = "kept";
    EXPECT_FALSE(headless.InputBox({}, text));
    std::vector<std::string> paths = {"stale"};
    EXPECT_FALSE(headless.FileDialog({}, paths));
    EXPECT_TRUE(paths.empty());
    EXPECT_FALSE(headless.PlaySound("/nonexistent.wav"));
    // The numbers of the answers are those the stored dialogs and callers use.
    EXPECT_EQ(static_cast<int>(MessageAnswer::Ok), 1);
    EXPECT_EQ(static_cast<int>(MessageAnswer::Yes), 6);
    EXPECT_EQ(static_cast<int>(MessageAnswer::No), 7);
}

TEST(DialogService, AnInstalledServiceAnswersUntilItIsRemoved) {
    platform::DialogService* before = &platform::Dialogs();
    platform::ScriptedDialogService scripted;
    {
        platform::ScopedDialogService installed(scripted);
        EXPECT_EQ(&platform::Dialogs(), &scripted);
        platform::ScriptedDialogService inner;
        {
            platform::ScopedDialogService nested(inner);
            EXPECT_EQ(&platform::Dialogs(), &inner);
        }
        EXPECT_EQ(&platform::Dialogs(), &scripted);
    }
    EXPECT_EQ(&platform::Dialogs(), before);
}

TEST(ScriptedDialogService, RecordsEveryBoxAndAnswersInOrder) {
    platform::ScriptedDialogService dialogs;
    dialogs.AnswerMessage(MessageAnswer::Retry);
    dialogs.AnswerInput(std::string("prefix> "));
    dialogs.AnswerInput(std::nullopt);
    dialogs.AnswerFile({"/a/1", "/a/2"});
    dialogs.SetSoundPlays(false);

    platform::MessageBoxRequest box;
    box.text = "t";
    box.caption = "Qim";
    box.icon = platform::MessageIcon::Exclamation;
    box.buttons = MessageButtons::RetryCancel;
    EXPECT_EQ(dialogs.MessageBox(box), MessageAnswer::Retry);
    std::string typed;
    platform::InputBoxRequest input;
    input.prompt = "p";
    EXPECT_TRUE(dialogs.InputBox(input, typed));
    EXPECT_EQ(typed, "prefix> ");
    EXPECT_FALSE(dialogs.InputBox(input, typed));
    platform::FileDialogRequest file;
    file.title = "\xCC\xA7\xB2\xD9\x82\xCC\x91\x49\x91\xF0";  // ﾌｧｲﾙの選択
    file.multiSelect = true;
    std::vector<std::string> paths;
    EXPECT_TRUE(dialogs.FileDialog(file, paths));
    EXPECT_EQ(paths, (std::vector<std::string>{"/a/1", "/a/2"}));
    dialogs.Beep(platform::BeepKind::Exclamation);
    EXPECT_FALSE(dialogs.PlaySound("/home/q/new.wav"));
    EXPECT_EQ(dialogs.Unanswered(), 0);
    EXPECT_FALSE(dialogs.FileDialog(file, paths)) << "nothing more scripted";
    EXPECT_EQ(dialogs.Unanswered(), 1);

    using Kind = platform::RecordedBox::Kind;
    const auto& boxes = dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0].kind, Kind::Message);
    EXPECT_EQ(boxes[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(boxes[1].kind, Kind::Input);
    EXPECT_EQ(boxes[1].text, "p");
    EXPECT_EQ(boxes[3].kind, Kind::File);
    EXPECT_TRUE(boxes[3].file.multiSelect);
    EXPECT_EQ(boxes[4].beep, platform::BeepKind::Exclamation);
    EXPECT_EQ(boxes[5].kind, Kind::Sound);
    EXPECT_EQ(boxes[5].text, "/home/q/new.wav");
}

TEST(SplitFileFilter, CutsAtBarsThatAreCharactersOfTheirOwn) {
    // ｱｰｶｲﾌﾞﾌｧｲﾙ|*.lzh;*.zip| after すべてのﾌｧｲﾙ (*.*)|*.*|
    auto filters = platform::SplitFileFilter(
        "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\xCC\xA7\xB2\xD9 (*.*)|*.*|\xB1\xB0\xB6\xB2\xCC\xDE\xCC\xA7\xB2\xD9|*.lzh;*.zip|");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\xCC\xA7\xB2\xD9 (*.*)");
    EXPECT_EQ(filters[0].patterns, "*.*");
    EXPECT_EQ(filters[1].patterns, "*.lzh;*.zip");
    // ポ is 83 7C: its second byte is no bar.
    filters = platform::SplitFileFilter("\x83\x7C|*.p|dangling");
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0].description, "\x83\x7C");
    EXPECT_TRUE(platform::SplitFileFilter("").empty());
}

}  // namespace

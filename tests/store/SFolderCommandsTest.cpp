// The folder commands of the tree: new, rename and remove folder, with the
// questions and refusals they show.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "StoreTestSupport.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/ScriptedDialogService.h"
#include "store/QimStoreCodes.h"
#include "store/SFolderCommands.h"
#include "support/TestSupport.h"

namespace {

using namespace qimstore;
using platform::MessageAnswer;
using qimtest::FileExists;
using qimtest::Sjis;
using qimtest::TempDir;
using storetest::WriteMails;

using Fixture = storetest::CommandsFixture<SFolderCommands>;

TEST(Folders, NewFolderNames) {
    struct Case {
        std::string name;
        bool asksNumber;
        bool made;
    } cases[] = {
        {"work", false, true},      {Sjis("仕事"), false, true}, {"12", true, true}, {"012", false, true},
        {"0", false, true},         {"-3", false, true},       {"..", false, false}, {".", false, false},
        {"../escape", false, false}, {"a/b", false, false},    {"a:b", false, false},
    };
    for (const Case& c : cases) {
        TempDir home;
        Fixture f;
        if (c.asksNumber) f.dialogs.AnswerMessage(MessageAnswer::Yes);
        f.dialogs.AnswerInput(c.name);
        const std::string made = f.commands.NewFolder(home.Path());
        EXPECT_EQ(!made.empty(), c.made) << c.name;
        if (c.made) {
            EXPECT_EQ(made, home.Path() + "/" + c.name);
        }
        EXPECT_FALSE(FileExists(home.Path() + "/../escape"));
        const bool asked = !f.dialogs.Boxes().empty() && f.dialogs.Boxes().size() > 1 &&
                           f.dialogs.Boxes()[1].text == LoadQimString(qimstr::NumberFolderName);
        EXPECT_EQ(asked, c.asksNumber) << c.name;
        EXPECT_EQ(f.dialogs.Unanswered(), c.made ? 0 : 1) << c.name;  // the refusal message
    }
}

TEST(Folders, NewFolderRefusals) {
    TempDir home;
    mkdir(home.File("old").c_str(), 0755);
    Fixture f;
    EXPECT_EQ(f.commands.NewFolderNamed(home.Path(), "old"), "");
    f.dialogs.AnswerMessage(MessageAnswer::No);
    EXPECT_EQ(f.commands.NewFolderNamed(home.Path(), "12"), "");
    EXPECT_FALSE(FileExists(home.File("12")));
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{Sjis("フォルダー old を作ることができません。同名のフォルダーが既にあります。"),
                                                   LoadQimString(qimstr::NumberFolderName),
                                                   LoadQimString(qimstr::Aborting)}));
}

TEST(Folders, RenameKeepsTheOldNameOnFailure) {
    TempDir home;
    mkdir(home.File("a").c_str(), 0755);
    mkdir(home.File("b").c_str(), 0755);
    WriteMails(home.File("a"), {1});
    Fixture f;
    EXPECT_EQ(f.commands.RenameFolder(home.File("a"), "b"), "");
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{Sjis("ファイル名を b に変更しようとしましたが、既に同名のファイルまたはフォルダーが存在します。"),
                                                   Sjis("名前を変更できませんでした(17)。")}));
    EXPECT_EQ(f.commands.RenameFolder(home.File("a"), "../x"), "");
    EXPECT_EQ(f.commands.RenameFolder(home.File("a"), "c"), home.File("c"));
    EXPECT_TRUE(FileExists(home.File("c/1")));
    EXPECT_TRUE(FileExists(home.File("b")));
}

TEST(Folders, RemoveOnlyWhatHoldsNothingButAnEmptyCache) {
    TempDir home;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        bool removed;
    } cases[] = {
        {"none", {}, true},
        {"emptycache", {{"HCACHE.TXT", ""}}, true},
        {"fullcache", {{"HCACHE.TXT", "1 \r\n\r\n\r\n00.00.00 00:00\r\n"}}, false},
        {"archive", {{"HCACHE.TXT", ""}, {"old.lzh", "x"}}, false},
        {"mail", {{"1", "Subject: x\r\n\r\n"}}, false},
    };
    for (const Case& c : cases) {
        mkdir(home.File(c.name).c_str(), 0755);
        for (const auto& [file, content] : c.files) qimtest::WriteFileBytes(home.File(c.name) + "/" + file, content);
        Fixture f;
        f.dialogs.AnswerMessage(MessageAnswer::Yes);
        EXPECT_EQ(f.commands.RemoveFolder(home.Path(), c.name), c.removed) << c.name;
        EXPECT_EQ(FileExists(home.File(c.name)), !c.removed) << c.name;
        EXPECT_EQ(f.Texts().front(), Sjis("フォルダー \"") + c.name + Sjis("\" を削除しますか？"));
        if (!c.removed) {
            EXPECT_EQ(f.Texts().size(), 2u);
        }
    }
    Fixture f;
    f.dialogs.AnswerMessage(MessageAnswer::No);
    mkdir(home.File("kept").c_str(), 0755);
    EXPECT_FALSE(f.commands.RemoveFolder(home.Path(), "kept"));
    EXPECT_TRUE(FileExists(home.File("kept")));
}

}  // namespace

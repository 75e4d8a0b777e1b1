// The folder-list file, the tree the QimP window makes of it, and the check of
// a typed server folder name against it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "config/QimStringIds.h"
#include "imap/QimPFolderNameCheck.h"
#include "imap/SQimPFolderList.h"
#include "imap/SQimPFolderTree.h"
#include "imap/SQimPMemCacheFolder.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::TempDir;
using qimtest::WriteFileBytes;

class QimPFolderList : public ::testing::Test {
protected:
    TempDir tmp;
    SQimPFolderList list{tmp.Path().c_str()};

    // The lines as the list operation writes them: CR LF after each.
    void Write(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        WriteFileBytes(list.Path(), text);
    }
    std::vector<std::string> Read() {
        std::vector<std::string> out;
        EXPECT_TRUE(list.Read(out));
        return out;
    }
};

TEST_F(QimPFolderList, OnlyTheDeepestPathsRemainInFileOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<std::string> read;
    } cases[] = {
        {"parents go", {"_QimP\\A", "_QimP\\A\\B", "_QimP\\C"}, {"_QimP\\A\\B", "_QimP\\C"}},
        {"a parent after its child goes too", {"_QimP\\C", "_QimP\\A\\B", "_QimP\\A"}, {"_QimP\\C", "_QimP\\A\\B"}},
        {"a longer name is no child", {"_QimP\\A", "_QimP\\AB"}, {"_QimP\\A", "_QimP\\AB"}},
        {"the mailbox of the plain variant", {"_QimP\\Work", "_QimP\\Work\\_mbox"}, {"_QimP\\Work\\_mbox"}},
        {"empty lines are no folders", {"", "_QimP\\A", ""}, {"_QimP\\A"}},
    };
    for (const Case& c : cases) {
        Write(c.lines);
        EXPECT_EQ(Read(), c.read) << c.name;
    }
    // Read appends to what the list holds.
    std::vector<std::string> out{"before"};
    ASSERT_TRUE(list.Read(out));
    EXPECT_EQ(out, (std::vector<std::string>{"before", "_QimP\\A"}));
}

TEST_F(QimPFolderList, ALineLongerThanAPathIsNoFolderAndNoTwo) {
    const std::string longest = "_QimP\\" + std::string(260 - 6, 'x');
    const std::string tooLong = "_QimP\\" + std::string(300, 'y') + "\\_mbox";
    Write({"_QimP\\A", tooLong, longest});
    EXPECT_EQ(Read(), (std::vector<std::string>{"_QimP\\A", longest}));
    // The last line may lack its line end.
    WriteFileBytes(list.Path(), "_QimP\\A\r\n_QimP\\B");
    EXPECT_EQ(Read(), (std::vector<std::string>{"_QimP\\A", "_QimP\\B"}));
}

TEST_F(QimPFolderList, ExistsOnlyWithContentAndReadFailsWithoutAFile) {
    EXPECT_FALSE(list.Exists());  // the temporary file is made empty
    Write({"_QimP\\A"});
    EXPECT_TRUE(list.Exists());
    std::filesystem::remove(list.Path());
    EXPECT_FALSE(list.Exists());
    std::vector<std::string> out;
    EXPECT_FALSE(list.Read(out));
}

TEST(QimPFolderListFile, IsSharedByTheProcessAndGoesWithTheLastObject) {
    TempDir tmp;
    ASSERT_EQ(SQimPFolderList::Count(), 0);
    EXPECT_EQ(SQimPFolderList::Path(), "PFolders.TXT");
    std::string path;
    {
        SQimPFolderList first(tmp.Path().c_str());
        path = first.Path();
        EXPECT_EQ(path.rfind(tmp.Path() + "/", 0), 0u) << path;
        {
            TempDir elsewhere;
            SQimPFolderList second(elsewhere.Path().c_str());
            EXPECT_EQ(second.Path(), path);
            EXPECT_EQ(SQimPFolderList::Count(), 2);
        }
        EXPECT_TRUE(qimtest::FileExists(path));
    }
    EXPECT_FALSE(qimtest::FileExists(path));
    EXPECT_EQ(SQimPFolderList::Count(), 0);
    EXPECT_EQ(SQimPFolderList::Path(), "PFolders.TXT");
}

// The nodes as "path parent-path item-data" lines, with " m" for a node that
// holds mail, for whole-tree comparisons.
std::vector<std::string> Shape(const SQimPFolderTree& tree) {
    std::vector<std::string> shape;
    for (const SQimPFolderNode& n : tree.nodes) {
        const std::string parent = n.parent < 0 ? "-" : tree.nodes[static_cast<std::size_t>(n.parent)].path;
        shape.push_back(n.path + " " + parent + " " + std::to_string(n.itemData) + (n.hasMailbox ? " m" : ""));
    }
    return shape;
}

class QimPFolderTree : public QimPFolderList {
protected:
    SQimPMemCacheFolder cache{tmp.Path().c_str()};
};

TEST_F(QimPFolderTree, OneNodePerNameWithItsCacheDirectoryAndItsKind) {
    Write({"_QimP\\Work", "_QimP\\Work\\_mbox", "_QimP\\A\\B\\_mbox", "_QimP\\A\\C", "_QimP\\_mbox"});
    const SQimPFolderTree plain = BuildQimPFolderTree(list, cache, true);
    EXPECT_FALSE(plain.notice);
    EXPECT_EQ(Shape(plain), (std::vector<std::string>{
                                "_QimP - 3 m",
                                "_QimP\\Work _QimP 2 m",
                                // A folder on the way to another holds no mail without its "_mbox".
                                "_QimP\\A _QimP 2",
                                "_QimP\\A\\B _QimP\\A 2 m",
                                // A mailbox without "_mbox" holds mail itself and no folders.
                                "_QimP\\A\\C _QimP\\A 8 m",
                            }));
    EXPECT_EQ(plain.nodes[3].name, "B");
    EXPECT_EQ(plain.nodes[0].name, "_QimP");
    for (const char* dir : {"/Work", "/A/B", "/A/C"}) EXPECT_TRUE(std::filesystem::is_directory(cache.CacheRoot() + dir)) << dir;
    EXPECT_FALSE(qimtest::FileExists(cache.CacheRoot() + "/Work/_mbox"));
    // Under the MH namespace "_mbox" is a folder like any other.
    const SQimPFolderTree mh = BuildQimPFolderTree(list, cache, false);
    EXPECT_EQ(mh.nodes.size(), 8u);
    EXPECT_EQ(mh.nodes[2].path, "_QimP\\Work\\_mbox");
    for (const SQimPFolderNode& n : mh.nodes) {
        EXPECT_EQ(n.itemData, n.parent < 0 ? qimimap::kRootItemData : qimimap::kFolderItemData) << n.path;
        EXPECT_TRUE(n.hasMailbox) << n.path;
    }
}

TEST_F(QimPFolderTree, NamesThatLeadOutOfTheRootOrCannotBeMadeMakeNoNode) {
    TempDir outside;
    const std::string up = "_QimP\\..\\..\\..\\..\\..\\..\\..\\.." + outside.Path();
    // A file where a folder's directory would go: neither it nor anything below.
    WriteFileBytes(cache.CacheRoot() + "/F", "");
    Write({up + "\\evil", "_QimP\\F\\G", "_QimP\\" + Sjis("表") + "\\x", "_QimP\\ok"});
    const SQimPFolderTree tree = BuildQimPFolderTree(list, cache, true);
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{
                               "_QimP - 3 m",
                               "_QimP\\" + Sjis("表") + " _QimP 2",
                               "_QimP\\" + Sjis("表") + "\\x _QimP\\" + Sjis("表") + " 8 m",
                               "_QimP\\ok _QimP 8 m",
                           }));
    EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
}

TEST_F(QimPFolderTree, WithoutAListOnlyTheRootAndAnUnreadableListSaysSo) {
    const SQimPFolderTree empty = BuildQimPFolderTree(list, cache, true);
    EXPECT_EQ(Shape(empty), std::vector<std::string>{"_QimP - 3 m"});
    EXPECT_FALSE(empty.notice);
    std::filesystem::remove(list.Path());
    EXPECT_EQ(BuildQimPFolderTree(list, cache, true).nodes.size(), 1u);
    const SQimPFolderTree unreadable = MakeQimPFolderTree(SQimPListState::Unreadable, {"_QimP\\A"}, cache, true);
    EXPECT_EQ(Shape(unreadable), std::vector<std::string>{"_QimP - 3 m"});
    ASSERT_TRUE(unreadable.notice);
    EXPECT_EQ(unreadable.notice->id, qimstr::FolderFileNotOpened);
    EXPECT_EQ(unreadable.notice->icon, platform::MessageIcon::Stop);
}

class QimPFolderName : public QimPFolderList {
protected:
    platform::ScriptedDialogService dialogs;

    void SetUp() override { Write({"_QimP\\A", "_QimP\\A\\B", "_QimP\\C\\_mbox", "_QimP\\" + Sjis("表")}); }
};

TEST_F(QimPFolderName, AListedFolderOrOneAboveAListedPathIsTakenWithoutAQuestion) {
    for (const std::string& typed : {std::string("A"), std::string("A\\B"), std::string("A/B\\"), std::string("C"),
                                     std::string("C\\_mbox"), std::string("."), std::string(".\\A"), Sjis("表")}) {
        const SQimPFolderNameVerdict v = CheckServerFolderName(list, typed, dialogs);
        EXPECT_TRUE(v.accept) << typed;
        EXPECT_FALSE(v.refocus) << typed;
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(QimPFolderName, AnUnknownNameAsksYesToTypeAgainNoToKeepIt) {
    dialogs.AnswerMessage(platform::MessageAnswer::Yes);
    dialogs.AnswerMessage(platform::MessageAnswer::No);
    const SQimPFolderNameVerdict again = CheckServerFolderName(list, "A\\B\\X", dialogs);
    EXPECT_FALSE(again.accept);
    EXPECT_TRUE(again.refocus);
    const SQimPFolderNameVerdict kept = CheckServerFolderName(list, "a", dialogs);  // exact, as the server compares
    EXPECT_TRUE(kept.accept);
    EXPECT_FALSE(kept.refocus);
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    const platform::RecordedBox& box = dialogs.Boxes()[0];
    EXPECT_EQ(box.text, LoadStringCmmnDll(cmmnstr::FolderNotFound) + "\n\n" + LoadStringCmmnDll(cmmnstr::EnterAgain));
    EXPECT_EQ(box.caption, "Qim");
    EXPECT_EQ(box.icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(box.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.Unanswered(), 0);
    // Names that cannot be folders are asked about too.
    dialogs.AnswerMessage(platform::MessageAnswer::Yes);
    EXPECT_FALSE(CheckServerFolderName(list, "A\\..\\C", dialogs).accept);
}

TEST_F(QimPFolderName, WithoutAListEveryNameIsTaken) {
    Write({});
    EXPECT_TRUE(CheckServerFolderName(list, "Anything", dialogs).accept);
    std::filesystem::remove(list.Path());
    EXPECT_TRUE(CheckServerFolderName(list, "Anything", dialogs).accept);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

}  // namespace

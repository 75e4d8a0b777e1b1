#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/FilePath.h"

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "send/SHalfwayHeader.h"
#include "send/SSaveFolderOffer.h"
#include "send/SSaveMailFile.h"
#include "store/SQimCacheFolder.h"
#include "store/QimStoreCodes.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::Sjis;

class SaveMail : public qimtest::SendTest {
protected:
    void SetUp() override {
        SendTest::SetUp();
        header_.from = Sjis("山田 太郎 <taro@example.jp>");
        header_.to = "suzuki@example.jp";
        header_.bcc = "hidden@example.jp";
        header_.subject = Sjis("下書きの件");
        header_.xMailer = "Qim Ver.0.9931";
    }
    std::string Folder(const char* name) {
        const std::string path = home_ + "/" + name;
        platform::CreateDirectory(path.c_str());
        return path;
    }
    std::string Read(const std::string& path) { return qimtest::ReadFileBytes(qimtest::Utf8(path)); }

    SEMailMimeHeader header_;
    SComposeText editor_{Sjis("本文の一行目\r\n二行目\r\n")};
};

TEST_F(SaveMail, SentCopiesFollowTheFolderSetting) {
    struct Case {
        const char* name;
        int kind;
        const char* folder;
        bool stored;
    } cases[] = {
        {"off: nothing stored, still a success", kSaveNone, "sent", false},
        {"home-relative folder", kSaveHomeRelative, "sent", true},
        {"empty name is the home directory itself", kSaveHomeRelative, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = *c.folder ? Folder(c.folder) : home_;
        const int before = SQimFolder(folder).LastNumber();
        SSaveMailFolderProperty fcc;
        fcc.kind = c.kind;
        fcc.folder = c.folder;
        ASSERT_TRUE(header_.Build());
        SSaveSentMail writer(header_, editor_);
        std::string told;
        writer.onStored = [&](const std::string& f) { told = f; };
        EXPECT_TRUE(StoreSentCopy(fcc, writer));
        const int after = SQimFolder(folder).LastNumber();
        EXPECT_EQ(after, c.stored ? before + 1 : before);
        EXPECT_EQ(!told.empty(), c.stored);
        if (!c.stored) continue;
        const std::string mail = Read(writer.SavedPath());
        EXPECT_EQ(mail, header_.HeaderText() + "\r\n" + editor_.Text());
        // Stored as new mail: unread, and in the folder's cache.
        SQimCacheFolder cache(folder);
        EXPECT_EQ(cache.GetMarks(after) & qimstore::kMarkRead, 0);
        EXPECT_EQ(cache.LastCachedNumber(), after);
    }
}

TEST_F(SaveMail, AFailedWriteIsReportedAndLeavesNoHalfMail) {
    // The folder does not exist: the sent copy cannot be written.
    SSaveMailFolderProperty fcc{kSaveHomeRelative, "missing"};
    ASSERT_TRUE(header_.Build());
    SSaveSentMail writer(header_, editor_);
    EXPECT_FALSE(StoreSentCopy(fcc, writer));
    EXPECT_TRUE(Showed(qimstr::CannotSaveMail));

    // A finished message file that is gone cannot be moved in: no mail appears.
    const std::string sent = Folder("sent");
    SSaveSentMailFile gone(dir_.File("no-such-file"), SSaveSentMailFile::Mode::Move);
    EXPECT_FALSE(gone.Save(sent));
    EXPECT_EQ(SQimFolder(sent).LastNumber(), 0);
}

TEST_F(SaveMail, TheFinishedFileIsMovedOrCopiedUnchanged) {
    const std::string sent = Folder("sent");
    const std::string bytes = "From: a@b\r\nTo: c@d\r\n\r\nbody\r\n";
    const std::string file = dir_.File("message.tmp");
    qimtest::WriteFileBytes(qimtest::Utf8(file), bytes);
    SSaveSentMailFile copy(file, SSaveSentMailFile::Mode::Copy);
    ASSERT_TRUE(copy.Save(sent));
    EXPECT_EQ(Read(copy.SavedPath()), bytes);
    EXPECT_TRUE(std::filesystem::exists(qimtest::Utf8(file)));  // the user's file stays
    SSaveSentMailFile move(file, SSaveSentMailFile::Mode::Move);
    ASSERT_TRUE(move.Save(sent));
    EXPECT_EQ(move.SavedPath(), sent + "/2");
    EXPECT_EQ(Read(move.SavedPath()), bytes);
    EXPECT_FALSE(std::filesystem::exists(qimtest::Utf8(file)));
}

TEST_F(SaveMail, DraftsSavedInARowTakeTheNextNumbersAndReadBackWhole) {
    const std::string drafts = Folder(Sjis("下書き").c_str());
    const SAttachmentList files = {home_ + Sjis("/資料 A.bin"), home_ + "/b,c.png"};
    // A reply saved half-way keeps its thread.
    header_.inReplyTo = "<b@example.jp>";
    header_.references = "<a@example.jp> <b@example.jp>";
    SSaveDraftMail first(header_, editor_, files, 0);
    ASSERT_TRUE(first.Save(drafts));
    SSaveDraftMail second(header_, editor_, {}, kDraftModeNoMime);
    ASSERT_TRUE(second.Save(drafts));
    EXPECT_EQ(first.SavedPath(), drafts + "/1");
    EXPECT_EQ(second.SavedPath(), drafts + "/2");

    const std::string one = Read(first.SavedPath());
    // One record line lists both paths in double quotes.
    EXPECT_NE(one.find("X-Qim-Attach-Files: \"" + files[0] + "\", \"" + files[1] + "\"\r\n"), std::string::npos);
    EXPECT_NE(one.find("MIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_NE(one.find("Bcc: hidden@example.jp\r\n"), std::string::npos);  // a draft keeps its blind copies
    EXPECT_EQ(one.find("Message-Id:"), std::string::npos);
    EXPECT_EQ(one.substr(one.find("\r\n\r\n") + 4), editor_.Text());
    const std::string two = Read(second.SavedPath());
    EXPECT_EQ(two.find("MIME-Version:"), std::string::npos);  // mode 2 leaves the MIME lines out
    EXPECT_EQ(two.find("X-Qim-Attach-Files:"), std::string::npos);

    SHalfwayHeader back;
    SAttachmentList restored;
    ASSERT_TRUE(back.ReadDraft(first.SavedPath().c_str(), restored));
    EXPECT_EQ(restored, files);
    EXPECT_EQ(back.to, header_.to);
    EXPECT_EQ(back.bcc, header_.bcc);
    EXPECT_EQ(back.subject, header_.subject);  // decoded again from its encoded words
    EXPECT_EQ(back.inReplyTo, header_.inReplyTo);
    EXPECT_EQ(back.references, header_.references);
}

TEST_F(SaveMail, AnOversizedAttachmentRecordIsRefusedNotOverrun) {
    const std::string path = dir_.File("draft");
    const std::string huge(30000, 'a');
    qimtest::WriteFileBytes(qimtest::Utf8(path),
                            "To: x@y\r\nX-Qim-Attach-Files: \"" + huge + "\"\r\nX-Qim-Attach-Files: \"/ok\"\r\n\r\nb\r\n");
    SHalfwayHeader back;
    SAttachmentList restored;
    ASSERT_TRUE(back.ReadDraft(path.c_str(), restored));
    EXPECT_EQ(restored, SAttachmentList{"/ok"});
    EXPECT_EQ(back.to, "x@y");
}

TEST_F(SaveMail, TheQuestionAfterADraftNamesItsFolder) {
    EXPECT_EQ(qimtest::Utf8(DraftSavedQuestion("drafts")),
              "フォルダー drafts に保存しました。\nこのウインドウを閉じますか？");
    EXPECT_EQ(qimtest::Utf8(DraftSavedQuestion("")), "保存しました。\nこのウインドウを閉じますか？");
}

}  // namespace

namespace {

// The offer to make a missing save folder, without windows.
TEST_F(SaveMail, AMissingSaveFolderIsMadeOnYesAndReportedWhenItCannotBe) {
    const struct {
        const char* name;
        int kind;
        const char* folder;
        std::vector<platform::MessageAnswer> answers;
        bool ensured;
        bool made;
        std::vector<unsigned> boxes;  // the texts shown, by string id
    } cases[] = {
        {"saving off", kSaveNone, "off", {}, true, false, {}},
        {"there already", kSaveHomeRelative, ".", {}, true, true, {}},
        {"made with its parents", kSaveHomeRelative, "a/b/c", {platform::MessageAnswer::Yes}, true, true,
         {qimstr::CreateFolderQuestion}},
        {"declined", kSaveHomeRelative, "d", {platform::MessageAnswer::No}, false, false, {qimstr::CreateFolderQuestion}},
        {"a file in the way", kSaveHomeRelative, "file/x", {platform::MessageAnswer::Yes, platform::MessageAnswer::Ok},
         false, false,
         {qimstr::CreateFolderQuestion, qimstr::CannotCreateFolder}},
    };
    qimtest::WriteFileBytes(home_ + "/file", "not a folder");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs_.Clear();
        for (platform::MessageAnswer a : c.answers) dialogs_.AnswerMessage(a);
        SSaveMailFolderProperty property;
        property.kind = c.kind;
        property.folder = c.folder;
        EXPECT_EQ(EnsureSaveFolder(property, nullptr), c.ensured);
        EXPECT_EQ(DoesDirectoryExist((home_ + "/" + c.folder).c_str()), c.made);
        ASSERT_EQ(dialogs_.Boxes().size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            std::string expected = LoadQimString(c.boxes[i]);
            expected.replace(expected.find("%s"), 2, home_ + "/" + c.folder);
            EXPECT_EQ(dialogs_.Boxes()[i].text, expected);
        }
        EXPECT_EQ(dialogs_.Unanswered(), 0);
    }
}

}  // namespace

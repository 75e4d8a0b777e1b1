// The settings mail without a server: which files it carries, the mail made
// here restored in another home byte for byte, the names a fetched mail may
// not bring back, and what the window's close does with the settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/Imap4Codes.h"
#include "imap/IniFilesPlace.h"
#include "imap/SDecodeIniFilesMail.h"
#include "imap/SIniFilesList.h"
#include "imap/SMakeIniFilesMail.h"
#include "imap/SQimPIniFilesMail.h"
#include "send/STemplates.h"
#include "support/TestSupport.h"
#include "tests/imap/ImapTestSupport.h"
#include "tests/imap/IniFilesTestSupport.h"

namespace {

// Requests go straight to the test's session.
template <typename S>
SQimPIniFilesMail::RequestFunction RequestOf(S& session) {
    return [&session](const SImap4Request& r, int op) { return session.session->Request(r, op); };
}

using namespace qimimap;
using initest::MailOf;
using initest::Part;
using initest::Tree;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace fs = std::filesystem;

class IniFilesMail : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir.File("home");
        fs::create_directory(home);
        UseHome(home);
        SetSettingsChanged(false);
        ResetTemplatesChanged();
    }
    void TearDown() override { ResetQimProcessValues(); }
    void UseHome(const std::string& path) {
        SetQimHome(path);
        SetQimIniPath(path + "/QIM.INI");
    }
    // Every kind of settings file, with bytes a text-mode copy would change.
    void WriteSettings(const std::string& at) {
        WriteFileBytes(at + "/CONFIG.INI",
                       Sjis("[Qim]\r\nDefHLWSort=3\r\n[Template]\r\nHeadNum=1\r\nHead0=挨拶\r\nTailNum=1\r\nTail0=署名\r\n"));
        WriteFileBytes(at + "/ALIAS.INI",
                       Sjis("[Address Folders]\r\nNum=2\r\nF1=\"1 0 友人\"\r\n[Usual Alias]\r\nNum=3\r\n"
                            "Alias0=list\r\nAddress0=\\list.txt\r\nAlias1=名簿\r\nAddress1=\\名簿.txt\r\n"
                            "Alias2=literal\r\nAddress2=\\\\server\\share\r\n[F1]\r\nNum=2\r\n"
                            "Alias0=sub\r\nAddress0=\\sub\\friends.txt\r\nAlias1=out\r\nAddress1=\\..\\outside.txt\r\n"));
        WriteFileBytes(at + "/" + TemplateName(STemplateKind::Head), Sjis("%F さん\r\n"));
        WriteFileBytes(at + "/" + TemplateName(STemplateKind::Tail), Sjis("-- \r\n太郎\n"));
        WriteFileBytes(at + "/list.txt", "a@example.jp\r\nb@example.jp\r\n");
        WriteFileBytes(at + "/名簿.txt", "c@example.jp\r\n");
        fs::create_directory(at + "/sub");
        WriteFileBytes(at + "/sub/friends.txt", "d@example.jp\r\n");
        WriteFileBytes(at + "/KeyFileB.cip", std::string("\x00\x01\r\n\x1a\xff key", 10));
        WriteFileBytes(at + "/QIM.INI", "[Host]\r\nMailAddr=taro@example.jp\r\n[QimP]\r\nINIFilesPlace=20\r\n");
    }
    static std::string TemplateName(STemplateKind kind) {
        const std::string path = TemplateFilePath(kind, Sjis(kind == STemplateKind::Head ? "挨拶" : "署名"));
        return path.substr(path.rfind('/') + 1);
    }
    static std::vector<std::string> Names(const SIniFilesList& list) {
        std::vector<std::string> names;
        for (const SIniFile& f : list.Files()) names.push_back(f.name);
        return names;
    }
    std::vector<std::string> AllNames() const {
        return {"CONFIG.INI", "ALIAS.INI", TemplateName(STemplateKind::Head), TemplateName(STemplateKind::Tail),
                "list.txt",   Sjis("名簿.txt"), "KeyFileB.cip", "QIM.INI"};
    }
    static std::string NoticesText(const std::vector<SNotice>& notices) {
        std::string all;
        for (const SNotice& n : notices) all.append(qimtest::Utf8(NoticeText(n))).append("\n");
        return all;
    }

    qimtest::TempDir dir;
    std::string home;
};

TEST_F(IniFilesMail, TheMailCarriesTheSettingsFilesOfTheHomeInTheirOrder) {
    WriteSettings(home);
    SIniFilesList all(kIniWithKeyFile | kIniWithMainFile);
    ASSERT_TRUE(all.Make()) << NoticeText(all.Problem());
    EXPECT_EQ(Names(all), AllNames());
    // A list file in a folder cannot travel under a plain name; "\\..." is an
    // address, not a file, and "\..\x" is never opened.
    EXPECT_EQ(all.LeftOut(), std::vector<std::string>{"sub/friends.txt"});

    SIniFilesList plain(kIniPutAtExit | kIniFetchAtStart);
    ASSERT_TRUE(plain.Make());
    std::vector<std::string> expected = AllNames();
    expected.resize(6);  // without the key file and QIM.INI
    EXPECT_EQ(Names(plain), expected);
}

TEST_F(IniFilesMail, AMissingFixedFileIsLeftOutAndAMissingNamedFileStopsTheList) {
    struct Case {
        std::string removed;
        bool made;
        std::string notFound;  // the name the not-found text gives
    };
    const Case cases[] = {
        {"ALIAS.INI", true, ""},  // without it there are no list files either
        {"KeyFileB.cip", true, ""},
        {"list.txt", false, "list.txt"},
        {TemplateName(STemplateKind::Tail), false, TemplateName(STemplateKind::Tail)},
    };
    for (const Case& c : cases) {
        fs::remove_all(home);
        fs::create_directory(home);
        WriteSettings(home);
        fs::remove(home + "/" + qimtest::Utf8(c.removed));
        SIniFilesList list(kIniWithKeyFile);
        EXPECT_EQ(list.Make(), c.made) << c.removed;
        if (c.made) {
            const std::vector<std::string> names = Names(list);
            EXPECT_EQ(std::find(names.begin(), names.end(), c.removed), names.end()) << c.removed;
            if (c.removed == "ALIAS.INI") {
                EXPECT_EQ(names.size(), 4u);
            }
        } else {
            EXPECT_EQ(list.Problem().id, qimstr::FileNotFound) << c.removed;
            EXPECT_EQ(NoticeText(list.Problem()), Sjis("ファイル ") + c.notFound + Sjis(" が見つかりません。"));
            // What the close deletes is made without the missing file.
            SIniFilesList tolerant(kIniWithKeyFile);
            EXPECT_TRUE(tolerant.Make(true)) << c.removed;
            EXPECT_EQ(tolerant.Files().size(), 6u) << c.removed;
        }
    }
}

TEST_F(IniFilesMail, AMailMadeHereRestoresEveryFileByteForByteInAnotherHome) {
    WriteSettings(home);
    SMakeIniFilesMail maker(kIniWithKeyFile | kIniWithMainFile, "taro@example.jp");
    const std::string mail = dir.File("mail");
    ASSERT_TRUE(maker.Make(mail)) << NoticesText(maker.TakeNotices());
    const std::vector<SNotice> told = maker.TakeNotices();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].id, qimstr::IniListFileLeftOut);
    const std::string text = ReadFileBytes(mail);
    EXPECT_NE(text.find("Subject: INI Files\r\n"), std::string::npos);
    EXPECT_NE(text.find("From: taro@example.jp\r\n"), std::string::npos);
    EXPECT_NE(text.find("To: taro@example.jp\r\n"), std::string::npos);

    struct Case {
        int place;
        bool keyFile, mainFile;
    };
    for (const Case& c : {Case{kIniWithKeyFile | kIniWithMainFile, true, true}, Case{0, false, false}}) {
        const std::string other = dir.File("other" + std::to_string(c.place));
        fs::create_directory(other);
        UseHome(other);
        SDecodeIniFilesMail restore(mail.c_str(), c.place);
        ASSERT_TRUE(restore.Restore()) << NoticesText(restore.TakeNotices());
        for (const std::string& name : AllNames()) {
            const std::string native = qimtest::Utf8(name);
            const bool expected = (name != "KeyFileB.cip" || c.keyFile) && (name != "QIM.INI" || c.mainFile);
            ASSERT_EQ(qimtest::FileExists(other + "/" + native), expected) << native << " " << c.place;
            if (expected) {
                EXPECT_EQ(ReadFileBytes(other + "/" + native), ReadFileBytes(home + "/" + native)) << native;
            }
        }
        EXPECT_EQ(restore.KeyFilePassedOver(), !c.keyFile);
        EXPECT_EQ(restore.MainFilePassedOver(), !c.mainFile);
        // The key file is kept from being changed by accident; nothing else is left behind.
        if (c.keyFile) {
            EXPECT_EQ(qimtest::FileMode(other + "/KeyFileB.cip") & 0200, 0u);
        }
        EXPECT_EQ(Tree(other).size(), restore.Restored().size());
    }
}

TEST_F(IniFilesMail, AMailWithANameThatIsNoSettingsFileRestoresNothing) {
    const std::string config = "[Qim]\r\nDefHLWSort=1\r\n";
    const std::string outside = dir.File("outside");
    struct Case {
        std::vector<Part> extra;
        std::string refused;
    };
    const Case cases[] = {
        {{{"../x", "up"}}, "../x"},
        {{{"..\\x", "up"}}, "..\\x"},
        {{{outside, "absolute"}}, outside},
        {{{"sub/CONFIG.INI", "folder"}}, "sub/CONFIG.INI"},
        {{{"sub\\CONFIG.INI", "folder"}}, "sub\\CONFIG.INI"},
        {{{".bashrc", "hidden"}}, ".bashrc"},
        {{{"5", "a mail of the inbox"}}, "5"},
        {{{"HCACHE.TXT", "cache"}}, "HCACHE.TXT"},
        {{{"notes.txt", "no list file"}}, "notes.txt"},
        {{{"config.ini", "other case"}}, "config.ini"},
        {{{"CONFIG.INI", "twice"}}, "CONFIG.INI"},
        // The mail's own address book cannot make a mail file or the trusted
        // certificates into list files.
        {{{"ALIAS.INI", "[Usual Alias]\r\nNum=2\r\nAddress0=\\5\r\nAddress1=\\QIMCERTS.TXT\r\n"},
          {"QIMCERTS.TXT", "pin"}},
         "QIMCERTS.TXT"},
    };
    for (const Case& c : cases) {
        fs::remove_all(home);
        fs::create_directory(home);
        WriteFileBytes(home + "/CONFIG.INI", config);
        WriteFileBytes(home + "/5", "From: a@example.jp\r\n\r\nmail\r\n");
        std::vector<Part> parts{{"CONFIG.INI", "[Qim]\r\nDefHLWSort=2\r\n"}};
        parts.insert(parts.end(), c.extra.begin(), c.extra.end());
        WriteFileBytes(dir.File("mail"), MailOf(parts));
        const std::set<std::string> before = Tree(dir.Path());

        SDecodeIniFilesMail restore(dir.File("mail").c_str(), kIniWithKeyFile | kIniWithMainFile);
        EXPECT_FALSE(restore.Restore()) << c.refused;
        const std::vector<SNotice> notices = restore.TakeNotices();
        EXPECT_NE(NoticesText(notices).find(qimtest::Utf8(c.refused)), std::string::npos)
            << c.refused << "\n" << NoticesText(notices);
        ASSERT_FALSE(notices.empty());
        EXPECT_EQ(notices.back().id, qimstr::IniFilesNothingWritten) << c.refused;
        EXPECT_TRUE(restore.Restored().empty());
        EXPECT_EQ(ReadFileBytes(home + "/CONFIG.INI"), config) << c.refused;
        EXPECT_EQ(ReadFileBytes(home + "/5"), "From: a@example.jp\r\n\r\nmail\r\n") << c.refused;
        EXPECT_EQ(Tree(dir.Path()), before) << c.refused;
    }
}

TEST_F(IniFilesMail, AListFileComesBackWhenTheAddressBookThatResultsNamesIt) {
    struct Case {
        bool aliasInMail;   // else the local ALIAS.INI names it
        bool restored;
    };
    for (const Case& c : {Case{true, true}, Case{false, true}}) {
        fs::remove_all(home);
        fs::create_directory(home);
        const std::string alias = Sjis("[Usual Alias]\r\nNum=1\r\nAddress0=\\仲間.txt\r\n");
        std::vector<Part> parts{{Sjis("仲間.txt"), "e@example.jp\r\n"}};
        if (c.aliasInMail)
            parts.insert(parts.begin(), Part{"ALIAS.INI", alias});
        else
            WriteFileBytes(home + "/ALIAS.INI", alias);
        WriteFileBytes(dir.File("mail"), MailOf(parts));
        SDecodeIniFilesMail restore(dir.File("mail").c_str(), 0);
        EXPECT_EQ(restore.Restore(), c.restored) << NoticesText(restore.TakeNotices());
        EXPECT_EQ(ReadFileBytes(home + "/仲間.txt"), "e@example.jp\r\n") << c.aliasInMail;
    }
    // Without an address book that names it the same file is refused.
    fs::remove(home + "/ALIAS.INI");
    fs::remove(home + "/仲間.txt");
    SDecodeIniFilesMail restore(dir.File("mail").c_str(), 0);
    EXPECT_FALSE(restore.Restore());
    EXPECT_FALSE(qimtest::FileExists(home + "/仲間.txt"));
}

TEST_F(IniFilesMail, AMailWithoutSettingsFilesIsNoRestore) {
    WriteFileBytes(dir.File("mail"), MailOf({}));
    SDecodeIniFilesMail restore(dir.File("mail").c_str(), 0);
    EXPECT_FALSE(restore.Restore());
    EXPECT_TRUE(Tree(home).empty());
}

// The window's close with the settings put first; the session is never run:
// the test hands over the completion the session would send.
class IniFilesClose : public IniFilesMail {
protected:
    imaptest::Home account;  // sets the home of its own
    void SetUp() override {
        home = account.dir.Path();
        SetSettingsChanged(false);
        ResetTemplatesChanged();
        WriteSettings(home);
    }
};

TEST_F(IniFilesClose, ACloseWaitsForThePutAndDeletesTheLocalFilesOnlyAfterItSucceeded) {
    struct Case {
        int place;
        bool changed;
        SQimPIniFilesMail::CloseStep step;
    };
    const Case steps[] = {
        {0, true, SQimPIniFilesMail::CloseStep::Close},
        {kIniPutAtExit, false, SQimPIniFilesMail::CloseStep::Close},
        {kIniPutAtExit, true, SQimPIniFilesMail::CloseStep::PutFirst},
        {kIniPutAtExit | kIniWithMainFile, false, SQimPIniFilesMail::CloseStep::PutFirst},
    };
    for (const Case& c : steps) {
        imaptest::Session<> session(account);
        SetSettingsChanged(c.changed);
        SQimPIniFilesMail settings(RequestOf(session), "taro@example.jp", c.place);
        EXPECT_EQ(settings.OnCloseRequest(), c.step) << c.place << " " << c.changed;
    }

    for (const bool putOk : {false, true}) {
        imaptest::Session<> session(account);
        SetSettingsChanged(true);
        SQimPIniFilesMail settings(RequestOf(session), "taro@example.jp",
                                   kIniPutAtExit | kIniDeleteAtExit);
        int written = 0;
        settings.writeSettings = [&] { ++written; };
        ASSERT_EQ(settings.OnCloseRequest(), SQimPIniFilesMail::CloseStep::PutFirst);
        ASSERT_TRUE(settings.Put(account.dir.File("put.eml"))) << NoticesText(settings.TakeNotices());
        EXPECT_EQ(written, 1);
        EXPECT_EQ(settings.OnCloseRequest(), SQimPIniFilesMail::CloseStep::Wait);
        EXPECT_FALSE(settings.Completed(kOpFetchBody, kResultSuccess)) << "not its request";
        ASSERT_TRUE(settings.Completed(kOpReplace, putOk ? kResultSuccess : kResultFailure));
        EXPECT_EQ(settings.ClosesAfterPut(), putOk);
        EXPECT_EQ(IsSettingsChanged(), !putOk);
        const std::vector<SNotice> told = settings.TakeNotices();
        EXPECT_EQ(!told.empty() && told.back().id == qimstr::IniFilesPutFailed, !putOk) << NoticesText(told);
        EXPECT_EQ(settings.OnCloseRequest(), SQimPIniFilesMail::CloseStep::Close);

        EXPECT_EQ(settings.DeleteLocalFiles(), putOk);
        for (const std::string name : {"CONFIG.INI", "ALIAS.INI", "list.txt", "KeyFileB.cip"}) {
            // The key file was not on the server (bit 4 clear): it stays.
            const bool kept = !putOk || name == "KeyFileB.cip";
            EXPECT_EQ(qimtest::FileExists(home + "/" + name), kept) << name << " " << putOk;
        }
        // QIM.INI holds the account and these options: the next start needs it.
        EXPECT_TRUE(qimtest::FileExists(home + "/QIM.INI"));
        if (!putOk) {
            const std::vector<SNotice> kept = settings.TakeNotices();
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(kept[0].id, qimstr::IniFilesKeptAtClose);
        }
    }
}

TEST(IniFilesSaveFolder, TheChoiceBecomesAFolderUnderTheRootAndItsMailbox) {
    struct Case {
        const char* choice;
        bool mh;
        const char* folder;
    };
    const Case cases[] = {
        {"", false, "_QimP"},
        {"_QimP", false, "_QimP"},
        {"Backup", false, "_QimP\\Backup\\_mbox"},
        {"_QimP\\Backup\\2026", false, "_QimP\\Backup\\2026\\_mbox"},
        {"_QimP\\Backup", true, "_QimP\\Backup"},
        {"_QimPX", true, "_QimP\\_QimPX"},
    };
    for (const Case& c : cases) EXPECT_EQ(SQimPIniFilesMail::SaveFolderPath(c.choice, c.mh), c.folder) << c.choice;
}

}  // namespace

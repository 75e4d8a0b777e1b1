#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "config/QimLayoutSettings.h"
#include "config/SQimSendSettingData.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "common/SFont.h"
#include "tests/app/AppTestSupport.h"

namespace {

using qimtest::QimHomeTest;

using ConfigRecords = QimHomeTest;

TEST_F(ConfigRecords, EveryKeyTakesItsDefaultWhenNothingIsStored) {
    SUserInetData inet;
    inet.pop3Port = inet.smtpPort = 0;
    EXPECT_FALSE(inet.Read());
    EXPECT_EQ(inet.pop3Port, 110);
    EXPECT_EQ(inet.smtpPort, 25);
    EXPECT_EQ(inet.mailBoxType, 0);
    EXPECT_EQ(inet.addrPhrase, "");

    SSettingData s;
    s.deleteOnServer = false;
    s.noNewMailBeep = false;
    s.viewerMenuOption = s.noopMinutes = s.pgpMajor = -1;
    EXPECT_TRUE(s.Read());
    EXPECT_TRUE(s.deleteOnServer);
    EXPECT_FALSE(s.fixedPrintFont);
    EXPECT_FALSE(s.serverNameAsPrompt);
    EXPECT_EQ(s.attachmentFolder, home_);
    EXPECT_EQ(s.viewerDocking, 0);
    EXPECT_EQ(s.useApop, 0);
    EXPECT_EQ(s.pgpUsage, 0);
    EXPECT_EQ(s.pgpMajor, 6);
    EXPECT_EQ(s.pgpMinor, 0);
    EXPECT_FALSE(s.sendNoop);
    EXPECT_EQ(s.noopMinutes, 10);
    EXPECT_FALSE(s.onlyNewMailsAtStart);
    EXPECT_EQ(s.defaultSort, 0);
    EXPECT_FALSE(s.noAttachmentNotice);
    EXPECT_TRUE(s.noNewMailBeep);
    EXPECT_EQ(s.viewerMenuOption, 3);

    SQimSendSettingData send;
    send.replyPrefix = "x";
    EXPECT_TRUE(send.Read());
    EXPECT_EQ(send.sentMail.kind, 0);
    EXPECT_EQ(send.draft.kind, 0);
    EXPECT_FALSE(send.draft.showTo);
    EXPECT_EQ(send.replyPrefix, ">");
    EXPECT_TRUE(send.textAsMime);
    EXPECT_EQ(send.foldWidth, 72);
    EXPECT_EQ(send.aliasMenuRows, 25);

    EXPECT_DOUBLE_EQ(ReadViewerShare(), 0.7);
    EXPECT_EQ(ReadTreeWindowWidth(), 0);
    EXPECT_EQ(ReadNewMailSound(), "");
    std::string pre, post;
    ReadForwardMarkers(pre, post);
    EXPECT_EQ(pre, "----- Forwarded Message ------ ------");
    EXPECT_EQ(post, "----- End of Forwarded Message ------");
    int number = 0;
    EXPECT_FALSE(TakeMessageNumber(number));
    SFont font, standard;
    font.pointSize = 1;
    EXPECT_FALSE(ReadQimFont("MVDefFont", font));
    EXPECT_EQ(font, standard);
}

TEST_F(ConfigRecords, ServersWithoutTheAccountReadAsIncomplete) {
    Store(Ini(), "Host", "POP3Addr", "pop.example.jp");
    Store(Ini(), "Host", "SMTPAddr", "smtp.example.jp");
    SUserInetData inet;
    EXPECT_FALSE(inet.Read());
    EXPECT_EQ(inet.pop3Server, "pop.example.jp");
    EXPECT_EQ(inet.pop3Port, 110);
    EXPECT_EQ(inet.smtpPort, 25);
    for (const char* key : {"UserName", "MailAddr", "ClientAddr"}) Store(Ini(), "Host", key, "v");
    EXPECT_TRUE(SUserInetData().Read());
}

SSaveMailFolderProperty Property(int kind, const std::string& folder) {
    SSaveMailFolderProperty p;
    p.kind = kind;
    p.folder = folder;
    return p;
}

SUserInetData Account() {
    SUserInetData inet;
    inet.userName = "taro";
    inet.password = "s3cret!";
    inet.mailAddress = "taro@example.jp";
    inet.addrPhrase = "\x8E\x52\x93\x63 \x91\xBE\x98\x59";  // 山田 太郎
    inet.pop3Server = "pop.example.jp";
    inet.smtpServer = "smtp.example.jp";
    inet.pop3Port = 995;
    inet.smtpPort = 587;
    inet.clientAddr = "host.example.jp";
    inet.mailBoxType = 1;
    return inet;
}

TEST_F(ConfigRecords, AccountRoundTripWithThePasswordScrambled) {
    Store(Ini(), "Host", "PasswdSave", "1");
    const SUserInetData written = Account();
    ASSERT_TRUE(written.Write());
    SUserInetData read;
    EXPECT_TRUE(read.Read());
    EXPECT_EQ(read.userName, written.userName);
    EXPECT_EQ(read.password, written.password);
    EXPECT_EQ(read.mailAddress, written.mailAddress);
    EXPECT_EQ(read.addrPhrase, written.addrPhrase);
    EXPECT_EQ(read.pop3Server, written.pop3Server);
    EXPECT_EQ(read.smtpServer, written.smtpServer);
    EXPECT_EQ(read.pop3Port, 995);
    EXPECT_EQ(read.smtpPort, 587);
    EXPECT_EQ(read.clientAddr, written.clientAddr);
    EXPECT_EQ(read.mailBoxType, 1);
    EXPECT_EQ(qimtest::ReadFileBytes(Ini()).find("s3cret"), std::string::npos);
    EXPECT_NE(Stored(Ini(), "Host", "Passwd"), "<none>");
    // PasswdSave is the user's choice in the file; the program never writes it.
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdSave"), "1");
}

TEST_F(ConfigRecords, WithoutPasswdSaveThePasswordIsNeitherWrittenNorRead) {
    Store(Ini(), "Host", "PasswdSave", "0");
    ASSERT_TRUE(Account().Write());
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>");
    // A password stored earlier is not read either.
    Store(Ini(), "Host", "PasswdSave", "1");
    ASSERT_TRUE(Account().Write());
    Store(Ini(), "Host", "PasswdSave", "0");
    SUserInetData read;
    read.password = "typed this run";
    read.Read();
    EXPECT_EQ(read.password, "typed this run");
}

TEST_F(ConfigRecords, AnEmptyPhraseRemovesItsKey) {
    SUserInetData inet = Account();
    ASSERT_TRUE(inet.Write());
    EXPECT_NE(Stored(Ini(), "Host", "AddrPhrase"), "<none>");
    inet.addrPhrase.clear();
    ASSERT_TRUE(inet.Write());
    EXPECT_EQ(Stored(Ini(), "Host", "AddrPhrase"), "<none>");
}

TEST(FromAddress, PhraseQuotedOnlyWhenItHoldsASpecialCharacter) {
    struct Case {
        std::string phrase;
        std::string expected;
    } cases[] = {
        {"", "taro@example.jp"},
        {"Taro Yamada", "Taro Yamada <taro@example.jp>"},
        {"Taro Q. Yamada", "\"Taro Q. Yamada\" <taro@example.jp>"},
        {"Yamada, Taro", "\"Yamada, Taro\" <taro@example.jp>"},
        {"say \"hi\"", "\"say \\\"hi\\\"\" <taro@example.jp>"},
        {"a\\b", "\"a\\\\b\" <taro@example.jp>"},
        // ソ ends in 0x5C and 表 too: they are characters, not backslashes.
        {"\x83\x5C\x95\x5C", "\x83\x5C\x95\x5C <taro@example.jp>"},
        {"\x83\x5C(\x95\x5C)", "\"\x83\x5C(\x95\x5C)\" <taro@example.jp>"},
    };
    for (const Case& c : cases) {
        SUserInetData inet;
        inet.mailAddress = "taro@example.jp";
        inet.addrPhrase = c.phrase;
        EXPECT_EQ(inet.FromAddress(), c.expected) << c.phrase;
    }
}

TEST(NetworkSettings, OnlyThePortAndTheMailboxTypeNeedARestart) {
    const SUserInetData before = Account();
    SUserInetData after = before;
    after.userName = "hanako";
    after.smtpPort = 25;
    EXPECT_FALSE(after.NeedsRestartAfter(before));
    after.pop3Port = 143;
    EXPECT_TRUE(after.NeedsRestartAfter(before));
    after = before;
    after.mailBoxType = 0;
    EXPECT_TRUE(after.NeedsRestartAfter(before));
}

TEST_F(ConfigRecords, GlobalRecordRoundTripAcrossBothFiles) {
    SSettingData s;
    s.deleteOnServer = false;
    s.fixedPrintFont = true;
    s.attachmentFolder = "/tmp/\x93\x59\x95\x74";  // 添付
    s.viewerDocking = 2;
    s.useApop = 1;
    s.pgpUsage = 5;
    s.sendNoop = true;
    s.noAttachmentNotice = true;
    s.defaultSort = 0xb1;
    s.viewerMenuOption = 1;
    ASSERT_TRUE(s.Write());
    SSettingData r;
    r.Read();
    EXPECT_FALSE(r.deleteOnServer);
    EXPECT_TRUE(r.fixedPrintFont);
    EXPECT_EQ(r.attachmentFolder, s.attachmentFolder);
    EXPECT_EQ(r.viewerDocking, 2);
    EXPECT_EQ(r.useApop, 1);
    EXPECT_EQ(r.pgpUsage, 5);
    EXPECT_TRUE(r.sendNoop);
    EXPECT_TRUE(r.noAttachmentNotice);
    EXPECT_EQ(r.defaultSort, 0xb1);
    EXPECT_EQ(r.viewerMenuOption, 1);
    // Where each key lives.
    EXPECT_EQ(Stored(Ini(), "Qim", "DelMails"), "0");
    EXPECT_EQ(Stored(Ini(), "PGP", "Usage"), "5");
    EXPECT_EQ(Stored(Ini(), "QimP", "SendNoop"), "1");
    EXPECT_EQ(Stored(Config(), "Qim", "DefHLWSort"), "177");
    EXPECT_EQ(Stored(Config(), "Qim", "NoMssgEIBinary"), "1");
    EXPECT_EQ(Stored(Ini(), "Qim", "NoMssgEIBinary"), "<none>");
    // Keys the record only reads are never written.
    for (const char* key : {"PWPS", "TempDir"}) EXPECT_EQ(Stored(Ini(), "Qim", key), "<none>") << key;
    EXPECT_EQ(Stored(Ini(), "PGP", "Version"), "<none>");
    EXPECT_EQ(Stored(Ini(), "QimP", "NoopMin"), "<none>");
    EXPECT_EQ(Stored(Ini(), "QimP", "OnlyNewMailsStart"), "<none>");
    EXPECT_EQ(Stored(Config(), "Qim", "NoNewMailBeep"), "<none>");
}

TEST_F(ConfigRecords, OptionsThatAreOnlyRead) {
    Store(Ini(), "Qim", "PWPS", "1");
    Store(Ini(), "QimP", "NoopMin", "3");
    Store(Ini(), "QimP", "OnlyNewMailsStart", "1");
    Store(Config(), "Qim", "NoNewMailBeep", "0");
    SSettingData s;
    s.Read();
    EXPECT_TRUE(s.serverNameAsPrompt);
    EXPECT_EQ(s.noopMinutes, 3);
    EXPECT_TRUE(s.onlyNewMailsAtStart);
    EXPECT_FALSE(s.noNewMailBeep);
}

TEST_F(ConfigRecords, ViewerDockingOutsideItsRangeReadsAsSeparate) {
    const struct {
        const char* stored;
        int expected;
    } cases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 0}, {"-1", 0}, {"x", 0}};
    for (const auto& c : cases) {
        Store(Ini(), "Qim", "EInnerView", c.stored);
        SSettingData s;
        s.Read();
        EXPECT_EQ(s.viewerDocking, c.expected) << c.stored;
    }
}

TEST_F(ConfigRecords, AnEmptyAttachmentFolderReadsAsTheHomeDirectory) {
    Store(Ini(), "Qim", "DestBinFolder", "");
    SSettingData s;
    s.Read();
    EXPECT_EQ(s.attachmentFolder, home_);
}

TEST_F(ConfigRecords, PgpVersionMinorInTenthsWhenItHasOneDigit) {
    const struct {
        const char* stored;
        int major, minor;
    } cases[] = {{"6.5", 6, 50}, {"6.55", 6, 55}, {"5.0", 5, 0}, {"7", 7, 0}, {"10.01", 10, 1}};
    for (const auto& c : cases) {
        Store(Ini(), "PGP", "Version", c.stored);
        SSettingData s;
        s.Read();
        EXPECT_EQ(s.pgpMajor, c.major) << c.stored;
        EXPECT_EQ(s.pgpMinor, c.minor) << c.stored;
    }
}

TEST_F(ConfigRecords, SentAndDraftFoldersFromQimIniOnlyWhenHomeRelative) {
    // Home-relative in QIM.INI wins over CONFIG.INI.
    Store(Ini(), "QimSend", "bFcc", "1");
    Store(Ini(), "QimSend", "Fcc", "sent");
    Store(Config(), "QimSend", "bFcc", "2");
    Store(Config(), "QimSend", "Fcc", "elsewhere");
    Store(Ini(), "QimSend", "Draft", std::to_string(0x10 | 0x20 | 0x80 | 1));
    Store(Ini(), "QimSend", "DraftFolder", "drafts");
    Store(Config(), "QimSend", "bShowToFcc", "1");
    SQimSendSettingData send;
    EXPECT_TRUE(send.Read());
    EXPECT_EQ(send.sentMail.kind, 1);
    EXPECT_EQ(send.sentMail.folder, "sent");
    EXPECT_TRUE(send.sentMail.showTo);
    EXPECT_FALSE(send.sentMail.showToSub);
    EXPECT_EQ(send.draft.kind, 1);
    EXPECT_EQ(send.draft.folder, "drafts");
    EXPECT_TRUE(send.draft.showTo);
    EXPECT_FALSE(send.draft.showToSub);
    EXPECT_TRUE(send.draft.noInquiry);

    // Another kind in QIM.INI: CONFIG.INI decides.
    Store(Ini(), "QimSend", "bFcc", "2");
    Store(Ini(), "QimSend", "Draft", "2");
    Store(Config(), "QimSend", "Draft", "2");  // no 0x10: no flags
    Store(Config(), "QimSend", "DraftFolder", "/abs/drafts");
    EXPECT_TRUE(send.Read());
    EXPECT_EQ(send.sentMail.kind, 2);
    EXPECT_EQ(send.sentMail.folder, "elsewhere");
    EXPECT_EQ(send.draft.kind, 2);
    EXPECT_EQ(send.draft.folder, "/abs/drafts");
    EXPECT_FALSE(send.draft.showTo);
    EXPECT_FALSE(send.draft.noInquiry);
}

TEST_F(ConfigRecords, AMissingFolderIsAnErrorOnlyWhenTheKindNeedsOne) {
    SQimSendSettingData send;
    Store(Config(), "QimSend", "bFcc", "0");
    EXPECT_TRUE(send.Read());
    Store(Config(), "QimSend", "bFcc", "3");
    EXPECT_FALSE(send.Read());
    Store(Config(), "QimSend", "Fcc", "x");
    EXPECT_TRUE(send.Read());
    Store(Ini(), "QimSend", "Draft", "1");
    EXPECT_FALSE(send.Read());
}

TEST_F(ConfigRecords, ChoosingAnotherKindMovesTheFolderKeysBetweenTheFiles) {
    SQimSendSettingData send;
    send.sentMail = Property(1, "sent");
    send.sentMail.showTo = send.sentMail.showToSub = true;
    send.draft = Property(1, "drafts");
    send.draft.showTo = send.draft.noInquiry = true;
    ASSERT_TRUE(send.Write());
    EXPECT_EQ(Stored(Ini(), "QimSend", "bFcc"), "1");
    EXPECT_EQ(Stored(Ini(), "QimSend", "Fcc"), "sent");
    EXPECT_EQ(Stored(Ini(), "QimSend", "Draft"), std::to_string(1 | 0x10 | 0x20 | 0x80));
    EXPECT_EQ(Stored(Ini(), "QimSend", "DraftFolder"), "drafts");
    EXPECT_EQ(Stored(Config(), "QimSend", "bFcc"), "<none>");
    EXPECT_EQ(Stored(Config(), "QimSend", "bShowToFcc"), "1");
    EXPECT_EQ(Stored(Config(), "QimSend", "bShowToSub"), "1");
    SQimSendSettingData read;
    ASSERT_TRUE(read.Read());
    EXPECT_EQ(read.draft.folder, "drafts");
    EXPECT_TRUE(read.draft.noInquiry);
    EXPECT_TRUE(read.sentMail.showToSub);

    send.sentMail = Property(3, "/var/mail/sent");
    send.sentMail.noInquiry = true;
    send.draft = Property(0, "");
    ASSERT_TRUE(send.Write());
    for (const char* key : {"bFcc", "Fcc", "Draft", "DraftFolder"}) EXPECT_EQ(Stored(Ini(), "QimSend", key), "<none>");
    EXPECT_EQ(Stored(Config(), "QimSend", "bFcc"), "3");
    EXPECT_EQ(Stored(Config(), "QimSend", "Fcc"), "/var/mail/sent");
    EXPECT_EQ(Stored(Config(), "QimSend", "Draft"), "16");
    ASSERT_TRUE(read.Read());
    EXPECT_EQ(read.sentMail.kind, 3);
    EXPECT_EQ(read.sentMail.folder, "/var/mail/sent");
    EXPECT_TRUE(read.sentMail.noInquiry);
    EXPECT_EQ(read.draft.kind, 0);
}

TEST_F(ConfigRecords, SendOptionsRoundTripAndTheReplyPrefixKeepsItsBlank) {
    SQimSendSettingData send;
    send.replyPrefix += ' ';  // "> "
    send.textAsMime = false;
    send.foldWidth = 60;
    ASSERT_TRUE(send.Write());
    SQimSendSettingData read;
    read.Read();
    EXPECT_EQ(read.replyPrefix, "> ");
    EXPECT_FALSE(read.textAsMime);
    EXPECT_EQ(read.foldWidth, 60);
    EXPECT_EQ(Stored(Config(), "QimSend", "AliasMenuMaxRow"), "<none>");
}

TEST_F(ConfigRecords, FolderOfAPropertyAndItsMatchForTheToColumn) {
    const std::string qimp = "/qimp/local";
    EXPECT_EQ(Property(1, "sent").FullPath(qimp), home_ + "/sent");
    EXPECT_EQ(Property(1, "").FullPath(qimp), home_);
    EXPECT_EQ(Property(2, "x/y").FullPath(qimp), qimp + "/x/y");
    EXPECT_EQ(Property(4, "/abs/path").FullPath(qimp), "/abs/path");
    EXPECT_EQ(Property(0, "rel").FullPath(qimp), "rel");

    SSaveMailFolderProperty sent = Property(1, "sent");
    EXPECT_TRUE(sent.Matches(home_ + "/sent"));
    EXPECT_TRUE(sent.Matches(home_ + "/sent/"));
    EXPECT_FALSE(sent.Matches(home_ + "/sent/2024"));
    EXPECT_FALSE(sent.Matches(home_ + "/sentbox"));
    sent.showToSub = true;
    EXPECT_TRUE(sent.Matches(home_ + "/sent/2024"));
    EXPECT_FALSE(sent.Matches(home_ + "/sentbox"));
    const SSaveMailFolderProperty none = Property(0, "");
    EXPECT_FALSE(none.Matches(""));
    EXPECT_FALSE(none.Matches(home_));
}

TEST_F(ConfigRecords, ColumnWidthsFallBackOneByOne) {
    int widths[kHeaderColumns];
    const int written[kHeaderColumns] = {40, 200, 500, 90};
    ASSERT_TRUE(WriteColumnWidths(written));
    EXPECT_EQ(Stored(Ini(), "Qim", "ColumnWidth"), "40,200,500,90");
    ReadColumnWidths(widths, 800);
    for (int i = 0; i < kHeaderColumns; ++i) EXPECT_EQ(widths[i], written[i]);
    const struct {
        const char* stored;
        int listWidth;
        int expected[kHeaderColumns];
    } cases[] = {
        {"40 200 500 90", 800, {40, 200, 500, 90}},
        {"40, 0,900 ,-5", 800, {40, kBuiltInColumnWidths[1], kBuiltInColumnWidths[2], kBuiltInColumnWidths[3]}},
        {"30", 800, {30, kBuiltInColumnWidths[1], kBuiltInColumnWidths[2], kBuiltInColumnWidths[3]}},
        {"abc,70", 800, {kBuiltInColumnWidths[0], 70, kBuiltInColumnWidths[2], kBuiltInColumnWidths[3]}},
    };
    for (const auto& c : cases) {
        Store(Ini(), "Qim", "ColumnWidth", c.stored);
        ReadColumnWidths(widths, c.listWidth);
        for (int i = 0; i < kHeaderColumns; ++i) EXPECT_EQ(widths[i], c.expected[i]) << c.stored << " column " << i;
    }
}

TEST_F(ConfigRecords, PaneHeightsReadBackAsTheViewersShare) {
    ASSERT_TRUE(WritePaneHeights(300, 100));
    EXPECT_EQ(Stored(Ini(), "Qim", "ListInnerHeight"), "300:100");
    EXPECT_DOUBLE_EQ(ReadViewerShare(), 0.25);
    const struct {
        const char* stored;
        double share;
    } cases[] = {{"100:300", 0.75}, {"0:0", 0.7}, {"200:0", 0.7}, {"-5:10", 0.7}, {"junk", 0.7}};
    for (const auto& c : cases) {
        Store(Ini(), "Qim", "ListInnerHeight", c.stored);
        EXPECT_NEAR(ReadViewerShare(), c.share, 1e-9) << c.stored;
    }
    ASSERT_TRUE(WriteTreeWindowWidth(180));
    EXPECT_EQ(ReadTreeWindowWidth(), 180);
}

TEST_F(ConfigRecords, FontsSoundMarkersAndTheMessageCounter) {
    SFont font;
    std::strcpy(font.logFont.lfFaceName, "IPAGothic");
    font.pointSize = 105;
    font.colour = 0x0000FF;
    ASSERT_TRUE(WriteQimFont("HLWFont", font));
    SFont read;
    EXPECT_TRUE(ReadQimFont("HLWFont", read));
    EXPECT_EQ(read, font);
    EXPECT_NE(Stored(Config(), "Font", "HLWFont"), "<none>");

    Store(Ini(), "Sound", "NewMail", "/usr/share/sounds/new.wav");
    EXPECT_EQ(ReadNewMailSound(), "/usr/share/sounds/new.wav");
    Store(Config(), "QimSend", "PreForwardMarker", "--- begin ---");
    std::string pre, post;
    ReadForwardMarkers(pre, post);
    EXPECT_EQ(pre, "--- begin ---");

    int number = 0;
    Store(Config(), "QimSend", "MessageNum", "0");
    EXPECT_FALSE(TakeMessageNumber(number));
    EXPECT_EQ(Stored(Config(), "QimSend", "MessageNum"), "0");
    Store(Config(), "QimSend", "MessageNum", "5");
    ASSERT_TRUE(TakeMessageNumber(number));
    EXPECT_EQ(number, 6);
    EXPECT_EQ(Stored(Config(), "QimSend", "MessageNum"), "6");
    Store(Config(), "QimSend", "MessageNum", std::to_string(INT_MAX));
    ASSERT_TRUE(TakeMessageNumber(number));
    EXPECT_EQ(number, 1);
}

}  // namespace

namespace {

// A settings file of before secure connections reads as plain and is written
// back without the new keys; set choices are written and read back.
TEST_F(ConfigRecords, SecureConnectionKeysAreWrittenOnlyWhenSet) {
    ASSERT_TRUE(Account().Write());
    SUserInetData old;
    ASSERT_TRUE(old.Read());
    EXPECT_EQ(old.pop3Security, 0);
    EXPECT_EQ(old.smtpSecurity, 0);
    EXPECT_EQ(old.smtpAuth, 0);
    ASSERT_TRUE(old.Write());
    for (const char* key : {"POP3Security", "SMTPSecurity", "SMTPAuth", "SMTPUser", "SMTPAuthPlainText", "TLSCAFile"})
        EXPECT_EQ(Stored(Ini(), "Host", key), "<none>") << key;

    SUserInetData secure = old;
    secure.pop3Security = 2;
    secure.smtpSecurity = 1;
    secure.smtpAuth = 1;
    secure.smtpUser = "sender@example.jp";
    secure.tlsCaFile = home_ + "/ca.pem";
    ASSERT_TRUE(secure.Write());
    SUserInetData read;
    ASSERT_TRUE(read.Read());
    EXPECT_EQ(read.pop3Security, 2);
    EXPECT_EQ(read.smtpSecurity, 1);
    EXPECT_EQ(read.smtpAuth, 1);
    EXPECT_EQ(read.SmtpLoginName(), "sender@example.jp");
    EXPECT_FALSE(read.smtpAuthPlainText);
    EXPECT_EQ(read.tlsCaFile, home_ + "/ca.pem");
    // Back to plain: the keys go again, so the file reads as before.
    ASSERT_TRUE(old.Write());
    EXPECT_EQ(Stored(Ini(), "Host", "POP3Security"), "<none>");
    EXPECT_EQ(Stored(Ini(), "Host", "TLSCAFile"), "<none>");
}

}  // namespace

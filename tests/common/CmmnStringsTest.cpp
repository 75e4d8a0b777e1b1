#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/AppNames.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/QimCmmnsVersion.h"
#include "platform/CodePage.h"

namespace {

TEST(CmmnStrings, EveryIdOfTheTableLoads) {
    using namespace cmmnstr;
    const unsigned ids[] = {
        FontNotSaved, VersionMismatch, DecryptFailed, HeaderParseFailed, CannotOpenFile, Strange,
        StrangeCannotDecrypt, Aborting, AttachmentOmitted, FilterAllText, FilterExecutable, FilterArchive,
        FilterAll, FilterUnsentMail, EnterKey, EnterKeyAgain, KeysDiffer, EnterAddress, EnterKeyFileKey,
        CannotOpenKeyFile, CannotReadKeyFile, KeyFileKeyWrong, CannotReadListBox, CannotWriteKeyFile,
        CannotSaveKeyFileLock, NoLoginPassword, EnterKeyForMail, EnterMailKey, CannotRegisterMore, BadFileName,
        AddressFolderInput, NewFolderName, ConfirmDelete, CannotDeleteIt, SpecialFolder, CannotWriteOut,
        SameFolderMove, FolderExists, ConfirmDeleteAddresses, CannotDelete, CannotRename, CannotSetNonMenu,
        SettingsBroken, AttachmentCount, AttachmentsSaved, ExtractFailed, EnterFolderName, FolderNotFound,
        EnterAgain, ExtractAttachment, ExtractQuestion, UnknownFileName, UnknownType, UnknownSubtype,
        AttachmentKindSub, AttachmentKind, MediaTypeNames, PgpControl, PgpSignature, PgpKey, NotFound,
    };
    for (unsigned id : ids) {
        const std::string text = LoadStringCmmnDll(id);
        EXPECT_FALSE(text.empty()) << id;
        std::string utf8;
        EXPECT_TRUE(platform::Cp932ToUtf8(text, utf8)) << id << " is Shift_JIS";
    }
    for (unsigned id : {0u, 1u, 1701u, 1759u, 1821u, 32539u, 65535u}) EXPECT_EQ(LoadStringCmmnDll(id), "") << id;
}

TEST(CmmnStrings, TextsAreTheShiftJisBytesOfTheMessages) {
    // Half-width katakana stay single bytes (ﾌｧｲﾙ = CC A7 B2 D9), full-width
    // ones double (す = 82 B7).
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::FilterAll),
              "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\xCC\xA7\xB2\xD9 (*.*)|*.*|");
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::BadFileName),
              "\x95\x73\x90\xB3\x82\xC8\x96\xBC\x91\x4F\x82\xC5\x82\xB7\x81\x42\x8E\x9F\x82\xCC\x95\xB6\x8E\x9A"
              "\x82\xCD\x8E\x67\x82\xA6\x82\xDC\x82\xB9\x82\xF1\x81\x42");
    // The half-width full stop closes DecryptFailed; KeysDiffer opens with the full-width ２.
    const std::string decryptFailed = LoadStringCmmnDll(cmmnstr::DecryptFailed);
    EXPECT_EQ(decryptFailed.back(), '\xA1');
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::KeysDiffer).substr(0, 2), "\x82\x51");
    EXPECT_NE(LoadStringCmmnDll(cmmnstr::FolderNotFound).find("\x81\x44\n"), std::string::npos);
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::ExtractQuestion).substr(0, 1), "\n");
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::NotFound).substr(0, 4), "\"%s\"");
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::EnterKey), LoadStringCmmnDll(cmmnstr::EnterKeyForMail));
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::MediaTypeNames).substr(0, 6), "Audio,");
}

TEST(CmmnStrings, TheBufferFormNeverCutsACharacterInHalf) {
    const std::string full = LoadStringCmmnDll(cmmnstr::Aborting);  // 中止します。: 12 bytes
    ASSERT_EQ(full.size(), 12u);
    struct Case {
        int size;
        int length;
    } cases[] = {{13, 12}, {100, 12}, {12, 10}, {4, 2}, {3, 2}, {2, 0}, {1, 0}};
    for (const Case& c : cases) {
        char buffer[128];
        std::memset(buffer, '~', sizeof buffer);
        EXPECT_EQ(LoadStringCmmnDll(cmmnstr::Aborting, buffer, c.size), c.length) << c.size;
        EXPECT_EQ(std::string(buffer), full.substr(0, static_cast<std::size_t>(c.length))) << c.size;
        EXPECT_EQ(buffer[c.size], '~') << "nothing past the buffer";
    }
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(LoadStringCmmnDll(1701, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::Aborting, nullptr, 10), 0);
    EXPECT_EQ(LoadStringCmmnDll(cmmnstr::Aborting, buffer, 0), 0);
}

TEST(AppNames, AreTheFixedNames) {
    EXPECT_STREQ(GetAppName(), "Qim");
    EXPECT_STREQ(GetSendAppName(), "QimSend");
    EXPECT_STREQ(GetAppClassName(), "QimWindowClass");
    EXPECT_STREQ(GetQimPAppName(), "QimP");
    EXPECT_EQ(QimCmmnsVersionMajor(), 0);
    EXPECT_EQ(QimCmmnsVersionMinor(), 56);
}

}  // namespace

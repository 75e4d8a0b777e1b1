#include <gtest/gtest.h>

#include "imap/Imap4Codes.h"
#include "imap/SImap4Flags.h"
#include "store/QimStoreCodes.h"

using namespace qimimap;

TEST(ImapFlags, ListTextKeepsTheFixedOrderWhateverBitsAreSet) {
    EXPECT_EQ(FlagListText(0), "");
    EXPECT_EQ(FlagListText(kFlagRecent | kFlagSeen), "\\Seen \\Recent");
    EXPECT_EQ(FlagListText(0x3f), "\\Seen \\Answered \\Flagged \\Deleted \\Draft \\Recent");
}

TEST(ImapFlags, ListWordsAreMatchedWithoutCaseAndUnknownOnesIgnored) {
    EXPECT_EQ(FlagBitsOfList("\\SEEN $Junk \\flagged"), kFlagSeen | kFlagFlagged);
    EXPECT_EQ(FlagBitsOfList("(\\Deleted)"), kFlagDeleted);
    EXPECT_EQ(FlagBitsOfList(""), 0u);
    EXPECT_EQ(FlagBitsOfList("\\Seenx \\See"), 0u);
}

TEST(ImapFlags, OnlySeenAndRecentTravelBetweenFlagsAndMarks) {
    EXPECT_EQ(MarkOfFlags(kFlagSeen | kFlagRecent | kFlagFlagged), qimstore::kMarkRead | kMarkRecent);
    EXPECT_EQ(MarkOfFlags(kFlagAnswered | kFlagDeleted), qimstore::kMarkNone);
    EXPECT_EQ(FlagsOfMark(qimstore::kMarkRead | qimstore::kMarkImportant), kFlagSeen);
    EXPECT_EQ(FlagsOfMark(kMarkRecent), kFlagRecent);
}

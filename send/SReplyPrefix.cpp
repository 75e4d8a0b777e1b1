#include "send/SReplyPrefix.h"

#include "common/QimMessageBox.h"
#include "common/SHeaderMime.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimProfile.h"
#include "config/SQimSendSettingData.h"

bool EditReplyPrefix(platform::ParentWindow parent, SQimSendSettingData& settings) {
    platform::InputBoxRequest request;
    request.parent = parent;
    request.caption = LoadQimString(qimstr::ReplyPrefixCaption);
    request.prompt = LoadQimString(qimstr::ReplyPrefixPrompt);
    request.text = settings.replyPrefix;
    request.maxLength = kReplyPrefixSize;
    std::string typed;
    if (!platform::Dialogs().InputBox(request, typed)) return false;
    // A line end would break every quoted line in two.
    for (char& c : typed)
        if (c == '\r' || c == '\n') c = ' ';
    if (typed.size() > static_cast<std::size_t>(kReplyPrefixSize))
        typed.resize(static_cast<std::size_t>(SHeaderMime::MaxSubStrLen(typed.c_str(), kReplyPrefixSize)));
    // Quoted, so the blank of "> " survives the reading, which trims values.
    if (!SConfigProfile(qimini::QimSend).WriteStringDQ(qimini::RPrefix, typed)) {
        QimMessageBox(parent, LoadQimString(qimstr::CannotSave).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    settings.replyPrefix = typed;
    return true;
}

// The reply prefix setting (qimcmd::ReplyPrefix): asked in an input box and
// written to CONFIG.INI at once, so the next reply quotes with it.
#pragma once

#include "platform/DialogService.h"

class SQimSendSettingData;

// At most this many bytes, as the setting keeps.
constexpr int kReplyPrefixSize = 80;

// True when the user confirmed and the prefix was stored (an empty prefix is
// allowed: quoting then adds nothing).
bool EditReplyPrefix(platform::ParentWindow parent, SQimSendSettingData& settings);

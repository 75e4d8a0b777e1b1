#include "imap/SImap4ShowStatusMessage.h"

#include "common/SNotice.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/SImap4Session.h"

namespace {

constexpr std::size_t kShownMax = 255;
// The command word a text takes.
constexpr std::size_t kWordMax = 128;

}  // namespace

std::string SImap4ShowStatusMessage::WithWord(unsigned id) const {
    return FormatNotice(LoadQimString(id), {word_.substr(0, kWordMax)});
}

void SImap4ShowStatusMessage::Running(const std::string& commandWord) {
    word_ = commandWord;
    Caption(WithWord(qimstr::ImapRunning));
}

void SImap4ShowStatusMessage::Succeeded() { Status(WithWord(qimstr::ImapSucceeded)); }

void SImap4ShowStatusMessage::Ended() { Status(WithWord(qimstr::ImapEnded)); }

void SImap4ShowStatusMessage::Status(unsigned id) { Status(LoadQimString(id)); }

void SImap4ShowStatusMessage::Status(const std::string& text) {
    if (text.size() < kShownMax) observer_.ShowStatus(text);
}

void SImap4ShowStatusMessage::Caption(const std::string& text) {
    if (text.size() < kShownMax) observer_.ShowCaption(text);
}

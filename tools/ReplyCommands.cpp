// reply / forward: the message the compose window starts from a stored mail,
// made as compose makes it, so that send can take it as it is: the reply's
// header (To, the counted Re: subject, In-Reply-To, References) with the
// default head template and the text quoted behind the reply prefix; the
// forward with the mail between the two marker lines.
#include <cstdio>
#include <string>
#include <vector>

#include "address/AliasLookup.h"
#include "common/STextSink.h"
#include "config/QimLayoutSettings.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/CodePage.h"
#include "send/SQuoteMail.h"
#include "send/SReplyHeader.h"
#include "send/STemplates.h"
#include "send/SendCodes.h"
#include "tools/ComposeSupport.h"
#include "tools/ToolCommand.h"

namespace {

int ReplyCommand(const std::vector<std::string>& args);
int ForwardCommand(const std::vector<std::string>& args);

const qimtool::Command kReply{"reply", "[--home DIR] [--all] [--utf8] [--to A] MAIL",
                              "メールへの返信を作り標準出力へ (--all で全員に返信)", ReplyCommand};
const qimtool::Command kForward{"forward", "[--home DIR] [--utf8] [--to A] MAIL",
                                "メールを転送するメールを作り標準出力へ", ForwardCommand};

class TextCollector : public STextSink {
public:
    void InsertAtCaret(const char* text) override { text_ += text; }
    std::string text_;
};

struct Start {
    SUserInetData inet;
    SQimSendSettingData settings;
    SEMailMimeHeader header;
    std::string mail;  // the source, Shift_JIS path
};

// Options, home and the source mail; false with `status` set.
bool Prepare(const std::vector<std::string>& args, const qimtool::Command& command, const std::vector<std::string>& flags,
             qimtool::ParsedArgs& parsed, Start& start, int& status) {
    std::string error;
    if (!qimtool::ParseArgs(args, flags, {"--home", "--to"}, parsed, error)) {
        status = qimtool::UsageError(command, error);
        return false;
    }
    if (parsed.operands.size() != 1) {
        status = qimtool::UsageError(command, "元のメールのファイルを一つ指定してください");
        return false;
    }
    if (!qimtool::SetHome(parsed, command, status)) return false;
    if (!qimtool::TerminalToSjis(parsed.operands[0], start.mail)) {
        status = qimtool::Failure("ファイル名が Shift_JIS にできません");
        return false;
    }
    start.inet.Read();
    start.settings.Read();
    start.header.from = start.inet.FromAddress();
    start.header.xMailer = kQimMailer;
    start.header.clientAddr = start.inet.clientAddr;
    return true;
}

// The message of `text` under the header, on stdout.
int Finish(const qimtool::ParsedArgs& parsed, Start& start, const std::string& text) {
    std::string to;
    if (!qimtool::Typed(parsed, "--to", to)) return qimtool::kExitFailure;
    if (!to.empty()) start.header.to = to;
    SComposeText editor(text);
    SAttachmentList none;
    std::string message;
    if (!qimtool::MakeMessage(start.header, editor, none, start.settings.textAsMime, message))
        return qimtool::kExitFailure;
    if (parsed.Has("--utf8")) message = platform::Cp932ToUtf8Lossy(message);
    if (!qimtool::WriteOutput("-", message)) return qimtool::Failure("書き出せませんでした");
    return qimtool::kExitOk;
}

int ReplyCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    Start start;
    int status = 0;
    if (!Prepare(args, kReply, {"--all", "--utf8"}, parsed, start, status)) return status;
    SReplyFields source;
    if (!start.header.ReadReplyFields(start.mail.c_str(), source))
        return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::MailUnreadable)));
    SReplyOptions options;
    options.all = parsed.Has("--all");
    options.ownAddress = start.inet.mailAddress;
    StartReplyHeader(source, options, start.header);

    TextCollector text;
    const STemplateList heads(STemplateKind::Head);
    std::string head;
    if (const std::string chosen = heads.ReadDefault(); !chosen.empty() && heads.ReadText(chosen, head)) {
        // No header list here: %X is the plain From; %A asks the address book.
        STemplateSources sources;
        sources.aliasName = FindAliasNameOfAddress;
        text.InsertAtCaret(ExpandHeadTemplate(head, source, sources).c_str());
    }
    SQuoteReplyMimeMail quote(nullptr, &text, start.settings.replyPrefix.c_str());
    if (!quote.Process(start.mail.c_str()))
        return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::MailUnreadable)));
    return Finish(parsed, start, text.text_);
}

int ForwardCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    Start start;
    int status = 0;
    if (!Prepare(args, kForward, {"--utf8"}, parsed, start, status)) return status;
    SReplyFields source;
    if (!start.header.ReadReplyFields(start.mail.c_str(), source))
        return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::CannotOpenFile)));
    start.header.subject = ForwardSubject(source.subject);
    std::string pre, post;
    ReadForwardMarkers(pre, post);
    TextCollector text;
    switch (ForwardMail(text, start.mail.c_str(), pre, post)) {
    case SForwardResult::Done:
        break;
    case SForwardResult::CannotOpen:
        return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::CannotOpenFile)));
    case SForwardResult::Failed:
        return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::MailUnreadable)));
    }
    return Finish(parsed, start, text.text_);
}

const bool kRegistered = qimtool::RegisterCommand(kReply) && qimtool::RegisterCommand(kForward);

}  // namespace

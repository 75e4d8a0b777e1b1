// compose / send: a message made as the compose window makes it (the same
// checks, header and message-file makers) from options and a body on stdin,
// written to stdout; and such a file handed to the SMTP server of the home's
// settings. A question the compose window would ask the user fails the
// command with its text on stderr.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "address/AliasLookup.h"
#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "send/SAddressText.h"
#include "send/SComposeChecks.h"
#include "send/SMakeMimeMail.h"
#include "send/SSaveMailFile.h"
#include "send/SSendMail.h"
#include "send/SendCodes.h"
#include "tools/ComposeSupport.h"
#include "tools/ToolCommand.h"

namespace {

int ComposeCommand(const std::vector<std::string>& args);
int SendCommand(const std::vector<std::string>& args);

const qimtool::Command kCompose{
    "compose", "[--home DIR] [--utf8] [--to A] [--cc A] [--bcc A] [--subject S] [--attach FILE]...",
    "標準入力の本文から送信用のメールを作り標準出力へ (Bcc は送信時に取り除かれる行として残る)", ComposeCommand};
const qimtool::Command kSend{"send", "[--home DIR] FILE",
                             "compose で作ったメールを設定の SMTP サーバーへ送る (宛先は To, Cc, Bcc)", SendCommand};

int ComposeCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {"--home", "--to", "--cc", "--bcc", "--subject", "--attach"}, parsed,
                            error))
        return qimtool::UsageError(kCompose, error);
    if (!parsed.operands.empty()) return qimtool::UsageError(kCompose, "本文は標準入力から読みます");
    int status = 0;
    if (!qimtool::SetHome(parsed, kCompose, status)) return status;

    SUserInetData inet;
    inet.Read();
    SQimSendSettingData sendSettings;
    sendSettings.Read();
    SEMailMimeHeader header;
    header.from = inet.FromAddress();
    header.xMailer = kQimMailer;
    header.clientAddr = inet.clientAddr;
    std::string bcc;
    if (!qimtool::Typed(parsed, "--to", header.to) || !qimtool::Typed(parsed, "--cc", header.cc) || !qimtool::Typed(parsed, "--bcc", bcc) ||
        !qimtool::Typed(parsed, "--subject", header.subject))
        return qimtool::kExitFailure;
    // Alias names of the address book, as the compose window takes them.
    for (std::string* field : {&header.to, &header.cc, &bcc}) *field = ExpandAliasesInField(*field);
    // The blind copies travel with the file, for send to find and remove.
    if (!bcc.empty()) header.extraHeader = "Bcc: " + bcc;
    SAttachmentList attachments;
    for (const auto& [name, value] : parsed.values) {
        if (name != "--attach") continue;
        std::string path;
        if (!qimtool::TerminalToSjis(value, path)) return qimtool::Failure("添付ファイルの名前が Shift_JIS にできません");
        attachments.push_back(path);
    }

    std::string body;
    if (!qimtool::ReadInput("-", body)) return qimtool::Failure("本文を読めませんでした");
    if (parsed.Has("--utf8")) {
        std::string sjis;
        if (!platform::Utf8ToCp932(body, sjis)) return qimtool::Failure("本文に Shift_JIS にできない文字があります");
        body = sjis;
    }
    SComposeText editor(body);
    if (!CheckBeforeSend(editor, nullptr)) return qimtool::kExitFailure;
    std::string message;
    if (!qimtool::MakeMessage(header, editor, attachments, sendSettings.textAsMime || !attachments.empty(), message))
        return qimtool::kExitFailure;
    if (!header.CheckHeader()) return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::HeaderIncomplete)));
    if (!qimtool::WriteOutput("-", message)) return qimtool::Failure("書き出せませんでした");
    return qimtool::kExitOk;
}

// Reads the header of a finished message into a header object: its text as
// the recipients are taken from, and the decoded fields for a rebuilt header.
bool ReadMessageHeader(const std::string& typed, const std::string& path, SEMailMimeHeader& header) {
    std::string message;
    if (!qimtool::ReadInput(typed, message)) return false;
    std::string block = HeaderBlock(message);
    if (block.size() >= 2 && block.compare(block.size() - 2, 2, "\r\n") == 0) block.resize(block.size() - 2);
    header.SetHeaderText(block);
    SReplyFields fields;
    if (!header.ReadReplyFields(path.c_str(), fields)) return false;
    header.from = fields.from;
    header.to = fields.to;
    header.cc = fields.cc;
    header.replyTo = fields.replyTo;
    header.inReplyTo = fields.inReplyTo;
    header.references = fields.references;
    header.subject = fields.subject;
    header.xMailer = kQimMailer;
    std::string bcc;
    for (const std::string& value : FindHeaderFields(block, "Bcc:")) bcc += (bcc.empty() ? "" : ", ") + value;
    header.bcc = bcc;
    FindHeaderField(block, "MIME-Version:", header.mimeVersion);
    FindHeaderField(block, "Content-Type:", header.contentType);
    return true;
}

int SendCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {}, {"--home"}, parsed, error)) return qimtool::UsageError(kSend, error);
    if (parsed.operands.size() != 1) return qimtool::UsageError(kSend, "送るメールのファイルを一つ指定してください");
    int status = 0;
    if (!qimtool::SetHome(parsed, kSend, status)) return status;
    std::string path;
    if (!qimtool::TerminalToSjis(parsed.operands[0], path)) return qimtool::Failure("ファイル名が Shift_JIS にできません");

    // Before the settings: a password kept in the desktop's keyring is read through the event loop.
    static int argc = 1;
    static char name[] = "qimtool";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    SUserInetData inet;
    inet.Read();
    if (inet.smtpServer.empty() || inet.smtpPort < 1 || inet.userName.empty() || inet.mailAddress.empty()) {
        char text[1024];
        std::snprintf(text, sizeof text, LoadQimString(qimstr::SmtpSettingsMissing).c_str(), GetQimIniPath().c_str());
        return qimtool::Failure(qimtool::Utf8Of(text));
    }
    SEMailMimeHeader header;
    if (!ReadMessageHeader(parsed.operands[0], path, header)) return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::CannotOpenFile)));

    // The POP3 login is the receiving side's; from the command line the
    // account is taken as confirmed.
    SLoginAlreadyConfirmed login;
    SSendMail send(inet, header, login, [](const SNotice& notice) { ShowNotice(notice); });
    send.SetMessageFile(path);
    send.SetLineSource(std::make_unique<SGetLineFileWithoutBcc>(path));
    // The sent copy goes where the home's settings say (bFcc, Fcc), copied:
    // the file named on the command line stays the user's.
    SQimSendSettingData sendSettings;
    sendSettings.Read();
    bool copyStored = true;
    send.storeSentCopy = [&](const std::string& file) {
        SSaveSentMailFile writer(file, SSaveSentMailFile::Mode::Copy);
        copyStored = StoreSentCopy(sendSettings.sentMail, writer);
    };
    // Nobody can complete a header from here: say what is missing.
    send.completeHeader = [](SEMailHeader&) {
        qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::HeaderIncomplete)));
        return false;
    };
    // The session's TLS version and cipher, as qimtool receive prints them.
    send.onSecured = [](const std::string& text) {
        std::fprintf(stderr, "%s\n", qimtool::Utf8Of(text).c_str());
    };
    std::optional<SSmtpOutcome> outcome;
    send.onEnded = [&](SSmtpOutcome o) {
        outcome = o;
        QCoreApplication::exit(0);
    };
    send.Start();
    if (!outcome) QCoreApplication::exec();
    if (outcome != SSmtpOutcome::Sent) return qimtool::kExitFailure;
    // Sent, but without its copy: the user must know, so the tool fails.
    if (!copyStored) return qimtool::Failure(qimtool::Utf8Of(LoadQimString(qimstr::SentCopyFailed)));
    return qimtool::kExitOk;
}

const bool kRegistered = qimtool::RegisterCommand(kCompose) && qimtool::RegisterCommand(kSend);

}  // namespace

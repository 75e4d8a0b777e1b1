// The commands of the session: each Send state's command, and the message
// lines of an APPEND.
#include "imap/SImap4Session.h"

#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/SUserInetData.h"
#include "imap/Imap4Operations.h"
#include "imap/SImap4Command.h"
#include "imap/SImap4Flags.h"
#include "platform/SocketCodes.h"

using qimimap::State;

namespace {

// Most bytes of a message an APPEND sends from one write notification.
constexpr std::size_t kAppendBatchBytes = 32 * 1024;

std::string Range(int first, int last) {
    std::string text(" ");
    return text.append(std::to_string(first)).append(":").append(std::to_string(last));
}

}  // namespace

// ---- Sending ----

bool SImap4Session::FlushPending() {
    while (!pendingOut_.empty()) {
        const int n = socket_->Send(pendingOut_.data(), static_cast<int>(pendingOut_.size()));
        if (n < 0) {
            if (socket_->LastError() == platform::kWsaEWouldBlock) return true;  // the rest goes at the next write-ready
            ReportSocketError("SendData() Error", socket_->LastError());
            return false;
        }
        pendingOut_.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

bool SImap4Session::Send(const SImap4Command& command, State next) {
    const char* tag = tag_.Next();
    std::vector<std::string> segments = command.Segments(tag);
    display_.Running(command.Word());
    awaitingTag_ = tag;
    state_ = next;
    pendingOut_ = std::move(segments.front());
    segments_.assign(std::make_move_iterator(segments.begin() + 1), std::make_move_iterator(segments.end()));
    return FlushPending();
}

void SImap4Session::WriteStep() {
    if (!pendingOut_.empty()) {
        if (!FlushPending()) {
            Notify(qimstr::ErrorAborting);
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
        return;
    }
    if (operation_ == 0) return;
    if (abortRequested_) {
        // Between commands, or in the middle of a message whose literal the
        // server still counts: then only a new connection gets in step again.
        if (state_ == State::SendingAppendLines) Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::None);
        return;
    }
    SendForState();
}

void SImap4Session::SendForState() {
    const SImap4MailboxNames names = Names();
    bool sent = true;
    switch (state_) {
    case State::SendCapability:
        sent = Send(SImap4Command("CAPABILITY"), State::AwaitCapability);
        break;
    case State::SendStartTls:
        sent = Send(SImap4Command("STARTTLS"), State::AwaitStartTls);
        break;
    case State::SendLogin:
        sent = Send(SImap4Command("LOGIN").Arg(inet_.userName).Arg(inet_.password), State::AwaitLogin);
        break;
    case State::SendAuthenticate:
        sent = Send(SImap4Command("AUTHENTICATE").Raw(" PLAIN"), State::AwaitAuthenticateContinuation);
        break;
    case State::SendSelect:
    case State::SendExamine: {
        const bool select = state_ == State::SendSelect;
        mailbox_.Clear();
        sent = Send(SImap4Command(select ? "SELECT" : "EXAMINE").Arg(names.MailboxOf(current_)),
                    select ? State::AwaitSelect : State::AwaitExamine);
        break;
    }
    case State::SendDelimiterList:
        delimiter_.clear();
        sent = Send(SImap4Command("LIST").Arg("").Arg(""), State::AwaitDelimiterList);
        break;
    case State::SendCreate:
        sent = Send(SImap4Command("CREATE").Arg(creatingInimbox_ ? names.SettingsMailbox()
                                                                  : names.MailboxOf(request_.folder)),
                    State::AwaitCreate);
        break;
    case State::SendRootList: {
        std::string root = names.ServerNameOf(request_.folder.empty() ? qimimap::kQimPRoot : request_.folder);
        if (root.size() < delimiter_.size() || root.compare(root.size() - delimiter_.size(), delimiter_.size(), delimiter_) != 0)
            root.append(delimiter_);
        listOpenPending_ = true;
        listFailed_ = false;
        sent = Send(SImap4Command("LIST").Arg(root).Raw(" *"), State::AwaitRootList);
        break;
    }
    case State::SendRename:
        sent = Send(SImap4Command("RENAME").Arg(names.ServerNameOf(request_.source)).Arg(names.ServerNameOf(request_.destination)),
                    State::AwaitRename);
        break;
    case State::SendDeleteMbox: {
        std::string mbox(request_.folder);
        mbox.append("\\").append(qimimap::kMboxFolder);
        sent = Send(SImap4Command("DELETE").Arg(names.ServerNameOf(mbox)), State::AwaitDeleteMbox);
        break;
    }
    case State::SendDeleteFolder:
        sent = Send(SImap4Command("DELETE").Arg(names.ServerNameOf(request_.folder)), State::AwaitDeleteFolder);
        break;
    case State::SendHeaderFetch:
        header_.Clear();
        headerBegun_ = false;
        headerLine_.clear();
        // PEEK: listing the headers must not mark anything read on the server.
        sent = Send(SImap4Command("FETCH")
                        .Raw(" " + std::to_string(currentMessage_))
                        .Raw(" (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])"),
                    State::AwaitHeaderFetch);
        break;
    case State::SendBodyFetch:
        body_.Clear();
        bodyReceived_ = false;
        bodyProblem_.reset();
        bodyShown_ = -1;
        observer_.SetProgressRange(0, 0);
        sent = Send(SImap4Command("FETCH").Raw(" " + std::to_string(request_.first)).Raw(" BODY[]"),
                    State::AwaitBodyFetch);
        break;
    case State::SendCopy:
        sent = Send(SImap4Command("COPY").Raw(Range(request_.first, request_.last)).Arg(names.MailboxOf(request_.destination)),
                    State::AwaitCopy);
        break;
    case State::SendStore: {
        std::string flags(storeAdd_ ? " +" : " -");
        flags.append("FLAGS.SILENT (").append(qimimap::FlagListText(storeFlags_)).append(")");
        sent = Send(SImap4Command("STORE").Raw(Range(storeFirst_, storeLast_)).Raw(flags), State::AwaitStore);
        break;
    }
    case State::SendAppend: {
        if (!append_.Open(request_.mailFile)) {
            Fail(SNotice::Program(qimstr::ImapMailFileUnreadable, {request_.mailFile, static_cast<long>(append_.Error())}));
            return;
        }
        appendSent_ = 0;
        SImap4Command command("APPEND");
        command.Arg(names.MailboxOf(request_.folder));
        const std::string flags = qimimap::FlagListText(qimimap::SettableFlags(qimimap::FlagsOfMark(request_.mark)));
        if (!flags.empty()) command.Raw(" (" + flags + ")");
        command.Raw(" {" + std::to_string(append_.Size()) + "}");
        sent = Send(command, State::AwaitContinuation);
        break;
    }
    case State::SendingAppendLines:
        SendAppendLines();
        return;
    case State::SendSearch:
        search_.Begin(request_.searchResult);
        sent = Send(SImap4Search::CommandFor(request_.condition), State::AwaitSearch);
        break;
    case State::SendNoop:
        sent = Send(SImap4Command("NOOP"), State::AwaitNoop);
        break;
    case State::SendClose:
        sent = Send(SImap4Command("CLOSE"), State::AwaitClose);
        break;
    case State::SendLogout:
        sent = Send(SImap4Command("LOGOUT"), State::AwaitLogout);
        break;
    default:
        return;
    }
    if (!sent) {
        Notify(qimstr::ErrorAborting);
        Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::Session);
    }
}

// The message of an APPEND, a batch per write notification, then the CR LF
// that ends the command. The bytes must come to the size announced: a file
// that changed meanwhile would leave the server reading our next commands as
// part of the message.
void SImap4Session::SendAppendLines() {
    std::string out;
    bool more = true;
    while (out.size() < kAppendBatchBytes && (more = append_.NextLine(out))) {
    }
    if (append_.Error() != 0) {
        FailAndDisconnect(SNotice::Program(qimstr::ImapMailFileUnreadable, {request_.mailFile, static_cast<long>(append_.Error())}));
        return;
    }
    appendSent_ += static_cast<long long>(out.size());
    if (appendSent_ > append_.Size() || (!more && appendSent_ != append_.Size())) {
        FailAndDisconnect(SNotice::Program(qimstr::ImapMailFileChanged, {request_.mailFile}));
        return;
    }
    if (!more) {
        append_.Close();
        out.append("\r\n");
        state_ = State::FinalLineSent;
    }
    pendingOut_ = std::move(out);
    if (!FlushPending()) {
        Notify(qimstr::ErrorAborting);
        Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    if (state_ == State::SendingAppendLines && pendingOut_.empty()) socket_->Rearm();
}


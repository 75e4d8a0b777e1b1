// How the session reads the server's replies: every piece the reader gives,
// by the state it comes in; the fetches, the folder list and the search.
#include "imap/SImap4Session.h"

#include <QByteArray>
#include <algorithm>
#include <cstdio>

#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/STlsConnection.h"
#include "config/SUserInetData.h"
#include "imap/Imap4Operations.h"
#include "imap/SImap4Flags.h"
#include "imap/SImap4HeaderSink.h"
#include "platform/SocketCodes.h"

using qimimap::State;
using Piece = SImap4Read::Piece;

namespace {

// A header line longer than this is cut (the rest of it is dropped).
constexpr std::size_t kHeaderLineMax = 16 * 1024;

std::string Printed(const char* format, long a, long b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

// ---- Receiving ----

void SImap4Session::ReadStep() {
    if (!reader_.MoveToMyBuffer()) {
        if (socket_->LastError() == platform::kWsaEWouldBlock) return;  // taken already
        const int s = static_cast<int>(state_);
        ReportSocketError(Printed("Stage: %ld-%ld", s, s), socket_->LastError());
        Notify(qimstr::ErrorAborting);
        Disconnect();
        if (operation_ != 0) Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    const unsigned connection = connection_;
    for (;;) {
        const Piece piece = reader_.Next();
        if (piece == Piece::None) break;
        OnPiece(piece);
        // A handler may have closed the connection: what is left of it is not read.
        if (alive.expired() || connection != connection_) return;
    }
    if (reader_.Broken()) FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {reader_.ShownLine()}));
}

void SImap4Session::OnPiece(Piece piece) {
    if (piece == Piece::Literal) return OnLiteral();
    if (!reader_.StartsResponse()) return OnLineRest();
    OnResponseStart();
}

void SImap4Session::OnResponseStart() {
    response_ = Response::Other;
    if (listOpenPending_) {
        listOpenPending_ = false;
        if (!listFile_.Open(request_.listFile)) {
            Notify(qimstr::FolderFileNotOpened);
            listFailed_ = true;  // the replies are still read
        }
    }
    const int kind = reader_.Classify(awaitingTag_.empty() ? tag_.Current() : awaitingTag_.c_str());
    if (kind & SImap4Read::kUntagged) {
        if (reader_.IsUntagged("BYE") && state_ != State::AwaitLogout) {
            // The server ends the session; the next request connects anew.
            FailAndDisconnect(SNotice::Program(qimstr::ImapBye, {reader_.ShownLine()}));
            return;
        }
        return OnUntagged();
    }
    if (kind == SImap4Read::kNoTokens) {
        // Nothing a reply may be: fails what waits for one.
        if (!awaitingTag_.empty()) Fail();
        return;
    }
    if (reader_.IsContinuation()) return OnContinuation();
    if (awaitingTag_.empty() || !(kind & SImap4Read::kTagged)) {
        // A tagged reply to no command of ours: what the server says cannot
        // be matched to what was sent any more.
        FailAndDisconnect(SNotice::Program(qimstr::ImapTagMismatch, {reader_.ShownLine()}));
        return;
    }
    awaitingTag_.clear();
    segments_.clear();
    lastReply_ = reader_.ShownLine();
    OnTagged((kind & SImap4Read::kOk) != 0);
}

void SImap4Session::OnStatusData() {
    const SImap4Read::StatusKind kind = reader_.ParseStatus(mailbox_);
    if (kind == SImap4Read::StatusKind::Recent && mailbox_.recent > 0 && state_ != State::AwaitSelect &&
        state_ != State::AwaitExamine)
        Complete(qimimap::kOpNewMail, qimimap::kResultSuccess, SImap4Target::Session);
}

void SImap4Session::OnUntagged() {
    switch (state_) {
    case State::AwaitGreeting:
        return OnGreeting((reader_.Classify("*") & SImap4Read::kOk) != 0);
    case State::AwaitCapability:
        if (caps_.TakeFrom(reader_.LineText())) {
            capsLine_ = reader_.ShownLine();
            return;
        }
        return OnStatusData();
    case State::AwaitDelimiterList: {
        std::string delimiter;
        if (reader_.ParseList(&delimiter, nullptr, nullptr)) {
            delimiter_ = delimiter;
            return;
        }
        return OnStatusData();
    }
    case State::AwaitSelect:
    case State::AwaitExamine:
        reader_.ParseStatus(mailbox_);
        return;
    case State::AwaitRootList:
        return OnListLine();
    case State::AwaitHeaderFetch:
        return OnHeaderFetchLine();
    case State::AwaitBodyFetch:
        return OnBodyFetchLine();
    case State::AwaitSearch:
        if (reader_.IsSearchLine()) {
            response_ = Response::Search;
            const std::string line = reader_.LineText();
            search_.AddPiece(line.c_str(), static_cast<int>(line.size()), true, reader_.IsCut());
            return;
        }
        return OnStatusData();
    default:
        return OnStatusData();
    }
}

void SImap4Session::OnContinuation() {
    if (!segments_.empty()) {
        // The server takes the literal announced: the command goes on.
        pendingOut_ = std::move(segments_.front());
        segments_.erase(segments_.begin());
        if (!FlushPending()) {
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
        return;
    }
    if (state_ == State::AwaitContinuation) {
        state_ = State::ContinuationReceived;
        state_ = State::SendingAppendLines;
        socket_->Rearm();
    } else if (state_ == State::AwaitAuthenticateContinuation) {
        std::string response;
        response.append(1, '\0').append(inet_.userName).append(1, '\0').append(inet_.password);
        pendingOut_ = QByteArray::fromStdString(response).toBase64().toStdString().append("\r\n");
        state_ = State::AwaitAuthenticate;
        if (!FlushPending()) {
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
    }
    // Any other "+" asks for nothing we are sending: it is passed over.
}

void SImap4Session::OnTagged(bool ok) {
    switch (state_) {
    case State::AwaitCapability:
        if (!ok) return FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {lastReply_}));
        caps_.known = true;
        return ContinueToLogin();
    case State::AwaitStartTls:
        if (!ok) return FailAndDisconnect(SNotice::Program(qimstr::ImapStartTlsNotOffered, {lastReply_}));
        // What else came in plain text is dropped unread.
        reader_.Reset();
        if (!socket_->StartTls()) return FailAndDisconnect(TlsFailureNotice(host_, platform::kTlsHandshakeFailed));
        display_.Status(qimstr::StartingTls);
        state_ = State::TlsHandshake;
        return;
    case State::AwaitLogin:
    case State::AwaitAuthenticateContinuation:
    case State::AwaitAuthenticate:
        return OnLoginReply(ok);
    case State::AwaitLogout:
        return OnLogoutDone();
    case State::AwaitDelimiterList:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        if (delimiter_.empty()) return Fail(SNotice::Program(qimstr::ImapNoHierarchy));
        state_ = FirstState();
        socket_->Rearm();
        return;
    case State::AwaitSelect:
    case State::AwaitExamine:
        return OnSelected(ok);
    case State::AwaitRootList:
        return OnListEnd(ok);
    case State::AwaitHeaderFetch:
        return OnHeaderFetched(ok);
    case State::AwaitBodyFetch:
        return OnBodyFetched(ok);
    case State::AwaitSearch:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        StatusText(std::string());
        return Finish(qimimap::kResultSuccess, SImap4Target::Reply);
    case State::AwaitContinuation:
        // The server refused the message before taking it.
        display_.Ended();
        return Fail();
    case State::ContinuationReceived:
    case State::SendingAppendLines:
        // A reply in the middle of the message: the rest would be read as commands.
        return FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {lastReply_}));
    case State::AwaitDeleteFolder:
        // A folder whose mail box was its only mailbox may not exist by
        // itself on the server: once its "_mbox" is gone, it is gone too.
        if (!ok && operation_ == qimimap::kOpDeleteFolder && DeletesMboxFirst(operation_) &&
            lastReply_.find("[NONEXISTENT]") != std::string::npos)
            ok = true;
        [[fallthrough]];
    default:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        return OnCommandDone();
    }
}

// The tagged OK of CREATE, RENAME, DELETE, COPY, STORE, NOOP, CLOSE and APPEND.
void SImap4Session::OnCommandDone() {
    switch (state_) {
    case State::AwaitCreate:
        if (creatingInimbox_) {
            // The settings mailbox exists now: the list is made once more.
            creatingInimbox_ = false;
            listedAfterCreate_ = true;
            state_ = State::SendRootList;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    case State::AwaitRename:
    case State::AwaitDeleteFolder:
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    case State::AwaitDeleteMbox:
        state_ = State::SendDeleteFolder;
        socket_->Rearm();
        return;
    case State::AwaitStore:
        if (operation_ == qimimap::kOpReplace) {
            state_ = State::SendClose;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    case State::AwaitCopy:
    case State::AwaitClose:
    case State::AwaitNoop:
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    case State::FinalLineSent:
        state_ = State::AppendDone;
        if (operation_ == qimimap::kOpReplace) {
            // The older messages of the folder go: it holds only the new one afterwards.
            state_ = State::SendSelect;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    default:
        return Fail();
    }
}

void SImap4Session::OnSelected(bool ok) {
    if (!ok) {
        display_.Ended();
        return Fail();
    }
    display_.Succeeded();
    const bool select = state_ == State::AwaitSelect;
    state_ = select ? State::SelectDone : State::ExamineDone;
    first_ = currentMessage_ = 1;
    last_ = mailbox_.exists;
    recent_ = mailbox_.recent;
    if (current_ == qimimap::kQimPRoot && recent_ > 0)
        Complete(qimimap::kOpNewMail, qimimap::kResultSuccess, SImap4Target::Session);
    const int op = operation_;
    const bool empty = last_ < 1;
    State next = State::Idle;
    if (qimimap::IsHeaderFetch(op)) {
        if (recent_ < 1) Complete(qimimap::kOpNoRecentMail, qimimap::kResultSuccess, SImap4Target::None);
        const bool recentOnly = op == qimimap::kOpFetchRecentHeaders;
        if (empty || (recentOnly && recent_ < 1)) {
            request_.cache->SetFilled(true);
            return Finish(qimimap::kResultSuccess, SImap4Target::None);
        }
        if (recentOnly) first_ = currentMessage_ = std::max(1, last_ - recent_ + 1);
        headerFetching_ = true;
        observer_.SetProgressRange(first_, last_);
        next = State::SendHeaderFetch;
    } else if (op == qimimap::kOpRenameFolder) {
        next = State::SendRename;
    } else if (op == qimimap::kOpDeleteFolder || op == qimimap::kOpDeleteFolderOnly) {
        next = DeletesMboxFirst(op) ? State::SendDeleteMbox : State::SendDeleteFolder;
    } else if (op == qimimap::kOpCopy || op == qimimap::kOpMarkDeleted) {
        if (empty) return Finish(qimimap::kResultFailure, SImap4Target::None);
        next = op == qimimap::kOpCopy ? State::SendCopy : State::SendStore;
    } else if (qimimap::IsBodyFetch(op)) {
        if (empty) return Finish(qimimap::kResultFailure, SImap4Target::Reply);
        next = State::SendBodyFetch;
    } else if (op == qimimap::kOpReplace) {
        if (last_ == 1) return Finish(qimimap::kResultSuccess, SImap4Target::None);
        if (empty) return Fail();
        SetStore(1, last_ - 1, true, qimimap::kFlagDeleted);
        next = State::SendStore;
    } else if (op == qimimap::kOpChangeFlags) {
        next = State::SendStore;
    } else if (op == qimimap::kOpSearch) {
        next = State::SendSearch;
    } else {
        return Fail(SNotice::Program(qimstr::SomethingStrange));
    }
    state_ = next;
    socket_->Rearm();
}

// The rest of a cut line, or of a response after its literal.
void SImap4Session::OnLineRest() {
    const std::string text = reader_.LineText();
    switch (response_) {
    case Response::Search:
        search_.AddPiece(text.c_str(), static_cast<int>(text.size()), false, reader_.IsCut());
        break;
    case Response::HeaderFetch:
        SImap4Read::ParseFetchItems(text.c_str(), header_);
        break;
    case Response::BodyFetch:
        SImap4Read::ParseFetchItems(text.c_str(), body_);
        break;
    default:
        break;
    }
}

void SImap4Session::OnLiteral() {
    const int raw = reader_.LineLength();
    const bool ends = reader_.PendingLiteral() == 0;
    switch (response_) {
    case Response::HeaderFetch: {
        header_.consumed += raw;
        if (headerLine_.size() < kHeaderLineMax)
            headerLine_.append(reader_.SjisPiece(),
                               std::min<std::size_t>(static_cast<std::size_t>(reader_.SjisPieceLength()),
                                                     kHeaderLineMax - headerLine_.size()));
        // The cache takes whole lines; the last one may lack its line end.
        if (!reader_.IsCut() || ends) {
            request_.cache->HeaderLine(headerLine_.c_str());
            headerLine_.clear();
        }
        break;
    }
    case Response::BodyFetch: {
        body_.consumed += raw;
        if (!bodyProblem_ && !bodyFile_.Write(reader_.SjisPiece(), reader_.SjisPieceLength())) {
            // What else comes of the message is read and dropped.
            bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
            bodyFile_.Close();
        }
        const int shown = body_.consumed / bodyUnit_;
        if (shown != bodyShown_) {
            bodyShown_ = shown;
            observer_.SetProgress(shown);
            StatusText(Printed("%ld/%ld", body_.consumed, body_.literal));
        }
        break;
    }
    case Response::ListName:
        if (listName_.size() + static_cast<std::size_t>(raw) > static_cast<std::size_t>(kSocketLineSize))
            listNameTooLong_ = true;
        else
            listName_.append(reader_.RawData(), static_cast<std::size_t>(raw));
        if (ends && !listNameTooLong_) OnListName(listName_);
        break;
    default:
        break;
    }
}

// ---- Header fetch ----

void SImap4Session::OnHeaderFetchLine() {
    SImap4FetchRecord record = header_;
    if (!reader_.ParseFetchSize(record) || record.number != currentMessage_) return OnStatusData();
    const std::string line = reader_.LineText();
    const bool hasHeader = reader_.AnnouncesLiteral() || line.find("BODY[") != std::string::npos;
    header_ = record;
    response_ = Response::HeaderFetch;
    if (hasHeader && !headerBegun_) {
        request_.cache->BeginHeader();
        headerBegun_ = true;
    }
}

void SImap4Session::OnHeaderFetched(bool ok) {
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (!ok) return Fail();
    SImap4HeaderSink& cache = *request_.cache;
    if (!headerBegun_) {
        // The message is gone from the server: nothing is stored for it, and
        // the numbers of the others stay theirs.
        cache.BeginHeader();
        cache.EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, false);
    } else {
        headerBegun_ = false;
        // Stored under the server's number in both kinds of fetch, so that a
        // message that gave no header shifts no other one.
        if (!cache.EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, true)) return Fail();
    }
    state_ = State::HeaderFetchDone;
    AdvanceHeaderFetch();
}

void SImap4Session::AdvanceHeaderFetch() {
    observer_.SetProgress(currentMessage_);
    StatusText(Printed("%ld/%ld", currentMessage_, last_));
    if (++currentMessage_ > last_) {
        headerFetching_ = false;
        request_.cache->SetFilled(true);
        StatusText(std::string());
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    }
    state_ = State::SendHeaderFetch;
    socket_->Rearm();
}

void SImap4Session::AbandonHeaderFetch() {
    if (!headerFetching_) return;
    headerFetching_ = false;
    if (headerBegun_) request_.cache->EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, false);
    headerBegun_ = false;
    request_.cache->SetFilled(false);
}

// ---- Body fetch ----

void SImap4Session::OnBodyFetchLine() {
    SImap4FetchRecord record = body_;
    if (!reader_.ParseFetchLiteral(record) || record.number != request_.first || !reader_.AnnouncesLiteral() ||
        bodyReceived_)
        return OnStatusData();
    body_ = record;
    bodyReceived_ = true;
    response_ = Response::BodyFetch;
    bodyUnit_ = body_.literal > 1024 ? 1024 : 1;
    observer_.SetProgressRange(0, body_.literal / bodyUnit_);
    if (!bodyFile_.Open(request_.mailFile))
        bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
}

void SImap4Session::OnBodyFetched(bool ok) {
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (bodyFile_.IsOpen() && !bodyFile_.Close() && !bodyProblem_)
        bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
    StatusText(std::string());
    state_ = State::BodyFetchDone;
    if (!ok) return Fail();
    if (bodyProblem_) return Fail(*bodyProblem_);
    if (!bodyReceived_) return Fail(SNotice::Program(qimstr::ImapNoSuchMessage, {static_cast<long>(request_.first)}));
    Finish(qimimap::kResultSuccess, SImap4Target::Reply);
}

// ---- Folder list ----

void SImap4Session::OnListLine() {
    std::string name;
    bool inLiteral = false;
    if (reader_.IsCut() || !reader_.ParseList(nullptr, &name, &inLiteral)) return OnStatusData();
    if (!inLiteral) return OnListName(name);
    // The name is the literal that follows.
    response_ = Response::ListName;
    listName_.clear();
    listNameTooLong_ = false;
    if (reader_.AnnouncedLength() == 0) OnListName(listName_);
}

void SImap4Session::OnListName(const std::string& name) {
    const SImap4MailboxNames names = Names();
    if (name == names.SettingsMailbox()) {
        inimboxSeen_ = true;
        return;
    }
    // The list makes directories under the cache root: a name that would
    // lead anywhere else (or is no folder under the root) is left out.
    std::string local = names.LocalPathOf(name);
    if (!SImap4MailboxNames::IsSafeLocalPath(local) || !listFile_.IsOpen() || listFailed_) return;
    local.append("\r\n");
    if (!listFile_.Write(local.data(), static_cast<int>(local.size()))) {
        Notify(qimstr::FolderFileCannotWrite, {static_cast<long>(listFile_.Error())});
        listFailed_ = true;
    }
}

void SImap4Session::OnListEnd(bool ok) {
    if (listFile_.IsOpen() && !listFile_.Close() && !listFailed_) {
        Notify(qimstr::FolderFileCannotWrite, {static_cast<long>(listFile_.Error())});
        listFailed_ = true;
    }
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (!ok || listFailed_) return Fail();
    if (!listedAfterCreate_ && !inimboxSeen_) {
        // The settings mailbox is made when the server has none.
        creatingInimbox_ = true;
        state_ = State::SendCreate;
        socket_->Rearm();
        return;
    }
    Finish(qimimap::kResultSuccess, SImap4Target::Session);
}


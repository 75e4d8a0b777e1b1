// Numbers of the IMAP4 session: its states (their order matters: connected
// means kConnectedFirst..kConnectedLast, logged in kLoggedInFirst..), the
// operation codes requests and completions carry, the result codes, the
// server flag bits, and the resources of its dialogs.
#pragma once

namespace qimimap {

enum class State : int {
    Idle = 0,
    LookingUpHost = 2,
    Connecting = 3,
    AwaitGreeting = 4,
    GreetingReceived = 5,
    ConnectedIdle = 6,
    SendLogin = 7,
    AwaitLogin = 8,
    LoggedIn = 9,
    LoggedInIdle = 10,
    SendSelect = 11,
    AwaitSelect = 12,
    SelectDone = 13,
    SendExamine = 14,
    AwaitExamine = 15,
    ExamineDone = 16,
    SendDelimiterList = 17,
    AwaitDelimiterList = 18,
    DelimiterListDone = 19,
    SendCreate = 20,
    AwaitCreate = 21,
    CreateDone = 22,
    SendRootList = 23,
    AwaitRootList = 24,
    RootListDone = 25,
    SendRename = 26,
    AwaitRename = 27,
    RenameDone = 28,
    SendDeleteMbox = 29,
    AwaitDeleteMbox = 30,
    DeleteMboxDone = 31,
    SendDeleteFolder = 32,
    AwaitDeleteFolder = 33,
    DeleteFolderDone = 34,
    SendHeaderFetch = 38,
    AwaitHeaderFetch = 39,
    HeaderFetchDone = 40,
    SendBodyFetch = 41,
    AwaitBodyFetch = 42,
    BodyFetchDone = 43,
    SendCopy = 44,
    AwaitCopy = 45,
    CopyDone = 46,
    SendStore = 47,
    AwaitStore = 48,
    StoreDone = 49,
    SendAppend = 50,
    AwaitContinuation = 51,
    ContinuationReceived = 52,
    SendingAppendLines = 53,
    FinalLineSent = 54,
    AppendDone = 55,
    SendSearch = 56,
    AwaitSearch = 57,
    SearchDone = 58,
    SendNoop = 59,
    AwaitNoop = 60,
    NoopDone = 61,
    SendClose = 62,
    AwaitClose = 63,
    CloseDone = 64,
    SendLogout = 65,
    AwaitLogout = 66,
    LogoutDone = 67,
    LogoutFinished = 68,
    // Secure connections and authentication, beyond the plain LOGIN: the
    // capabilities, STARTTLS and its handshake, AUTHENTICATE PLAIN.
    SendCapability = 80,
    AwaitCapability = 81,
    SendStartTls = 82,
    AwaitStartTls = 83,
    TlsHandshake = 84,
    SendAuthenticate = 85,
    AwaitAuthenticateContinuation = 86,
    AwaitAuthenticate = 87,
};

constexpr int kConnectedFirst = 5;
constexpr int kConnectedLast = 65;
constexpr int kLoggedInFirst = 9;
constexpr int kLoggedInLast = 65;

// Operation codes: they travel in requests and come back in completions.
constexpr int kOpConnect = 741;
constexpr int kOpCreateFolder = 742;
constexpr int kOpListFolders = 743;
constexpr int kOpFetchHeaders = 744;
constexpr int kOpRenameFolder = 745;
constexpr int kOpDeleteFolder = 746;          // the folder and its "_mbox" mailbox
constexpr int kOpCopy = 747;
constexpr int kOpMarkDeleted = 748;
constexpr int kOpCloseFolder = 749;           // CLOSE: deleted mail is expunged
constexpr int kOpFetchBody = 750;
constexpr int kOpLoginResult = 751;           // notifications only
constexpr int kOpFetchBodyForReply = 752;
constexpr int kOpNoRecentMail = 754;          // notifications only
constexpr int kOpAppend = 755;
constexpr int kOpAppendSent = 756;
constexpr int kOpReplace = 757;               // the folder holds only the appended message afterwards
constexpr int kOpFetchBodyForForward = 758;
constexpr int kOpDeleteFolderOnly = 759;
constexpr int kOpChangeFlags = 760;
constexpr int kOpNewMail = 761;               // notifications only
constexpr int kOpNoop = 762;
constexpr int kOpAppendSettings = 763;
constexpr int kOpSearch = 764;
constexpr int kOpFetchRecentHeaders = 765;

// Result codes of completions and notifications.
constexpr int kResultFailure = 0;
constexpr int kResultSuccess = 1;
constexpr int kResultCannotStart = 2;   // with kOpLoginResult: the connection could not be started
constexpr int kResultLoggedIn = 6;      // with kOpLoginResult, and kOpConnect when already logged in
constexpr int kResultLoginFailed = 7;

// Server flags as bits (the session, the caches and the requesters use them).
constexpr unsigned kFlagSeen = 1;
constexpr unsigned kFlagAnswered = 2;
constexpr unsigned kFlagFlagged = 4;
constexpr unsigned kFlagDeleted = 8;
constexpr unsigned kFlagDraft = 16;
constexpr unsigned kFlagRecent = 32;

// Folder names of the server-folder mode.
constexpr const char* kQimPRoot = "_QimP";        // the local root of every server folder
constexpr const char* kMhRoot = "#mh";            // the root on servers of the MH namespace
constexpr const char* kMboxFolder = "_mbox";      // the mailbox that holds a folder's mail
constexpr const char* kSettingsMailbox = "_inimbox";

// Steps the session posts to itself.
constexpr int kCommandConnect = 493;
// Requests to the main window when the account needs completing.
constexpr int kAskNetworkSettings = 495;
constexpr int kAskPassword = 494;

// Keep-alive: the timer's tick, and the default ticks before a NOOP.
constexpr int kKeepAliveTickMs = 60000;
constexpr int kDefaultNoopMinutes = 10;
// Without a word from the server for this long, the operation fails and the
// connection is closed.
constexpr int kDefaultTimeoutSeconds = 120;
// A search result stops growing at this many characters.
constexpr int kSearchResultLimit = 32768;

// Dialog resources and controls.
constexpr int kControlCancel = 732;
constexpr int kControlStatus = 733;
constexpr int kControlGauge = 734;
constexpr int kDialogSocketErrorWithCode = 350;
constexpr int kDialogSocketError = 721;

}  // namespace qimimap

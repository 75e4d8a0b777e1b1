// Numbers of the POP3 receive: the conversation's states (their order matters:
// some checks compare ranges), the commands it posts itself, the results a
// run ends with, and the resources of its dialogs.
#pragma once

namespace qimpop3 {

enum class State : int {
    Idle = 0,
    LookingUpHost = 2,
    Connecting = 3,
    Connected = 4,
    AwaitGreeting = 5,
    SendUser = 6,
    AwaitUserReply = 7,
    SendPass = 8,
    AwaitPassReply = 9,
    SendStat = 10,
    AwaitStatReply = 11,
    SendRetr = 12,
    AwaitRetrReply = 13,
    ReceivingBody = 14,
    SendDele = 15,
    AwaitDeleReply = 16,
    SendApop = 17,
    AwaitApopReply = 18,
    SendQuitAfterAuthFailure = 19,
    AwaitQuitAfterAuthFailure = 20,
    ClosedAfterAuthFailure = 21,
    SendQuit = 22,
    AwaitQuitReply = 23,
    Finished = 24,
    // While mail stays on the server: the unique ids, to skip what was received.
    SendUidl = 25,
    AwaitUidlReply = 26,
    ReceivingUidlList = 27,
    // STLS after the greeting (POP3Security 1); the login follows inside TLS.
    SendStls = 28,
    AwaitStlsReply = 29,
    TlsHandshake = 30,
};

// Steps the conversation posts to itself.
constexpr int kCommandStart = 483;
constexpr int kCommandConnect = 493;

// How a run ends (the dialog's result).
constexpr int kResultOk = 1;      // finished, closed while idle, or given up for lack of settings
constexpr int kResultCancel = 2;  // a reply or a read failed

// Bit of "APOP" that selects the APOP login.
constexpr int kApopBit = 0x01;
// Messages are written under ".qimrecvXXXXXX.tmp" in the inbox until complete.
constexpr const char* kReceiveTempPrefix = "qimrecv";

// Without a word from the server for this long, the conversation gives up.
constexpr int kDefaultTimeoutSeconds = 120;

// Dialog resources and their controls.
constexpr int kDialogReceive = 273;
constexpr int kDialogNoNewMail = 317;
constexpr int kControlSubject = 269;
constexpr int kControlProgress = 270;
constexpr int kControlFrom = 271;
constexpr int kControlStatus = 272;

// Longest From or Subject value the dialog shows.
constexpr int kHeaderShowLimit = 255;

}  // namespace qimpop3

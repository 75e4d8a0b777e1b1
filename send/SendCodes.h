// The numbers of composing and sending: the SMTP conversation's states and
// data phases, the dialog results, the sizes of the header and the message
// parts, and the texts the composer writes into every mail.
#pragma once

// States of the SMTP conversation (value 1 is not used).
enum class SSmtpState : int {
    Idle = 0,
    LookingUpHost = 2,
    Connecting = 3,
    Connected = 4,  // passed through at once
    AwaitGreeting = 5,
    SendHelo = 6,
    AwaitHeloReply = 7,
    SendMailFrom = 8,
    AwaitMailFromReply = 9,
    SendRcpt = 10,
    AwaitRcptReply = 11,
    SendData = 12,
    AwaitDataReply = 13,
    SendingMessage = 14,
    AwaitMessageReply = 15,
    SendQuit = 16,
    AwaitQuitReply = 17,
    Finished = 18,
    // Beyond the classic conversation: EHLO, STARTTLS and AUTH. EHLO takes
    // HELO's place; HELO follows only when the server refuses EHLO.
    SendEhlo = 30,
    AwaitEhloReply = 31,
    SendStartTls = 32,
    AwaitStartTlsReply = 33,
    TlsHandshake = 34,  // the socket's handshake; the EHLO follows inside TLS
    SendAuth = 35,
    AwaitAuthReply = 36,
};

// Where the DATA transmission stands.
enum class SSmtpDataPhase : int {
    HeaderText = 0,  // the compose window's header text
    BlankLine = 1,   // the empty line that ends the header
    Body = 2,        // the lines of the line source
    Done = 4,        // the terminating dot line went out
};

// How a send dialog ends, numbered as the dialog results are.
constexpr int kSendIdOk = 1;
constexpr int kSendIdCancel = 2;

// Commands of the send dialog, posted to itself.
constexpr int kCmdSmtpConnect = 493;
constexpr int kCmdSmtpStart = 2141;
constexpr int kCmdSmtpCancel = 2143;
// Posted to the compose window's parent once attachments were chosen.
constexpr int kCmdAttachmentsChosen = 2188;

// The header text: lines are refused once text and line would reach this many bytes.
constexpr int kHeaderTextSize = 22528;
// Header lines of SEMailHeader are folded from this length on.
constexpr int kHeaderFoldLength = 73;
constexpr int kHeaderFoldColumn = 72;
// The multipart boundary: its buffer, NUL included.
constexpr int kBoundarySize = 71;
// The most a joined attachment list may take in the confirmation text.
constexpr int kAttachListTextMax = 259;
// The collected "X-Qim-Attach-Files" values of an unsent mail, NUL included.
constexpr int kAttachRecordSize = 26100;
// Estimated size (KB) above which the user is asked whether to go on.
constexpr long kLargeAttachmentKB = 1023;
// Lines wider than this many half-width columns are questioned before a send.
constexpr int kLongLineColumns = 78;

constexpr char kQimMailer[] = "Qim Ver.0.9931";
constexpr char kAttachFilesField[] = "X-Qim-Attach-Files: ";
constexpr char kCryptVersionField[] = "X-Qim-Crypt-Version: ";

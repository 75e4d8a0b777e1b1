// Codes of the requests windows send to the application object, and of the
// login-state exchange between the network conversations and the application.
#pragma once

namespace qimreq {

// Internal requests (the code, with a sub-code or flag and an argument).
constexpr int OpenUrl = 455;              // 0x1c7: the argument is the URL text
constexpr int AskPassword = 494;          // 0x1ee: answers 1 on OK
constexpr int AskNetworkSettings = 495;   // 0x1ef: answers 1 on OK
constexpr int ComposeRequest = 498;       // 0x1f2: sub-codes below
constexpr int HomeDirectory = 530;        // 0x212: answers the home directory (single-instance test)
constexpr int OperationDone = 757;        // 0x2f5: one outstanding operation has ended
constexpr int MailAddress = 2176;         // 0x880: answers the user's mail address
constexpr int ReloadFolder = 2195;        // 0x893: the argument names a folder

constexpr int ComposeHandOver = 1;  // sub-codes of ComposeRequest
constexpr int ComposeToFront = 3;

// Login state: the answer a receive session gives, and the state an asker gets.
constexpr int LoginPromptCancelled = 2;
constexpr int LoginAccepted = 6;
constexpr int LoginRefused = 7;

}  // namespace qimreq

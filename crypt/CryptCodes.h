// Names and numbers of the mail encryption and the PGP bridge: the header
// fields an encrypted mail carries, the key-file settings and their values,
// and the codes the bridge exchanges with the outside PGP library (the
// request block itself is in outside/pgpmsg/PgpMsgApi.h).
#pragma once

namespace qimcrypt {

// Header fields of an encrypted mail.
constexpr const char* VersionField = "X-Qim-Crypt-Version";
constexpr const char* OptionField = "X-Qim-Crypt-Option";
constexpr const char* FromField = "From";
// The version this program writes and the only one it reads.
constexpr const char* VersionText = "0.1";
constexpr int VersionMajor = 0;
constexpr int VersionMinor = 1;
constexpr int OptionLoki91 = 1;
// A mail without an option field was written with the only option there is.
constexpr int OptionDefault = OptionLoki91;
// What the send window adds to the header of a mail it encrypts.
constexpr const char* ExtraHeader = "X-Qim-Crypt-Version: 0.1\n";

// File encryption works in chunks of this many bytes (a multiple of 8).
constexpr int FileChunk = 4000;
// Header lines are read in pieces of this size when a mail is recognised.
constexpr int HeaderLineSize = 512;

// The key file in the home directory and its records.
constexpr const char* KeyFileName = "KeyFileB.cip";
constexpr int KeyRecordPlain = 88;
constexpr int KeyRecordSize = 89;
constexpr int KeyAddressSize = 72;

// Settings of the key file: section "CryptMail" of CONFIG.INI (QIM.INI when
// CONFIG.INI has none).
constexpr const char* Section = "CryptMail";
constexpr const char* KeyFileLock = "KeyFileLock";
constexpr const char* KeyFileExist = "KeyFileExist";
// KeyFileLock: what protects the key file.
constexpr int LockTyped = 0;      // a key the user types when it is needed
constexpr int LockPassword = 1;   // the first 8 bytes of the login password
constexpr int LockBuiltIn = 2;    // the program's own fixed key
// KeyFileExist: only this value makes the key dialogs look keys up in the file.
constexpr int KeyFileLookup = 1;

}  // namespace qimcrypt

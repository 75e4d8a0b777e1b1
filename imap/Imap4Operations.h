// Which operations are which, for the parts of the session.
#pragma once

#include "imap/Imap4Codes.h"

namespace qimimap {

// The codes a request may carry (the notifications' own are not among them).
inline bool IsRequestOperation(int op) {
    switch (op) {
    case kOpConnect:
    case kOpCreateFolder:
    case kOpListFolders:
    case kOpFetchHeaders:
    case kOpRenameFolder:
    case kOpDeleteFolder:
    case kOpCopy:
    case kOpMarkDeleted:
    case kOpCloseFolder:
    case kOpFetchBody:
    case kOpFetchBodyForReply:
    case kOpAppend:
    case kOpAppendSent:
    case kOpReplace:
    case kOpFetchBodyForForward:
    case kOpDeleteFolderOnly:
    case kOpChangeFlags:
    case kOpNoop:
    case kOpAppendSettings:
    case kOpSearch:
    case kOpFetchRecentHeaders:
        return true;
    default:
        return false;
    }
}

inline bool IsHeaderFetch(int op) { return op == kOpFetchHeaders || op == kOpFetchRecentHeaders; }
inline bool IsBodyFetch(int op) { return op == kOpFetchBody || op == kOpFetchBodyForReply || op == kOpFetchBodyForForward; }
inline bool IsAppend(int op) {
    return op == kOpAppend || op == kOpAppendSent || op == kOpAppendSettings || op == kOpReplace;
}

// Flags a client may set: \Recent belongs to the server, which refuses it.
inline unsigned SettableFlags(unsigned flags) { return flags & ~kFlagRecent; }

}  // namespace qimimap

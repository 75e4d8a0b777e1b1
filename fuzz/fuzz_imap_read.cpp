// IMAP4 server replies through the session's reader: lines, literals of any
// announced length, and the judging of each response line as the session
// does it. The first byte picks the chunking.
#include <string>

#include "fuzz/ChunkedSocket.h"
#include "fuzz/FuzzSupport.h"
#include "imap/SImap4Capabilities.h"
#include "imap/SImap4MailboxNames.h"
#include "imap/SImap4Read.h"

namespace {

void JudgeResponse(SImap4Read& reader) {
    (void)reader.Classify("A0001");
    (void)reader.IsContinuation();
    (void)reader.IsSearchLine();
    (void)reader.IsUntagged("BYE");
    SImap4Status status;
    (void)reader.ParseStatus(status);
    std::string delimiter, name;
    bool nameInLiteral = false;
    if (reader.ParseList(&delimiter, &name, &nameInLiteral) && !nameInLiteral) {
        SImap4MailboxNames names("_QimP", delimiter);
        const std::string local = names.LocalPathOf(name);
        (void)SImap4MailboxNames::IsSafeLocalPath(local);
        (void)names.ServerNameOf(local);
    }
    SImap4FetchRecord record;
    (void)reader.ParseFetchSize(record);
    SImap4Capabilities capabilities;
    (void)capabilities.TakeFrom(reader.LineText());
    (void)reader.ShownLine();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qimfuzz::Split input = qimfuzz::TakeChoice(qimfuzz::Bytes(data, size));
    qimfuzz::ChunkedSocket socket(input.rest, input.choice);
    SImap4Read reader(&socket);
    // Receives until the close; a reader that stops taking bytes is a hang.
    for (int rounds = 0; rounds < 100000; ++rounds) {
        if (reader.MoveToMyBuffer()) {
            for (;;) {
                const SImap4Read::Piece piece = reader.Next();
                if (piece == SImap4Read::Piece::None) break;
                if (piece == SImap4Read::Piece::Literal) {
                    (void)reader.SjisPiece();
                    if (reader.SjisPieceLength() < 0) __builtin_trap();
                } else if (reader.StartsResponse()) {
                    JudgeResponse(reader);
                } else {
                    SImap4FetchRecord record;
                    SImap4Read::ParseFetchItems(reader.LineText().c_str(), record);
                }
            }
            if (reader.Broken()) return 0;
            if (reader.LastReceive() == 0 && !reader.HasUnreadBytes()) return 0;
        }
    }
    __builtin_trap();
}

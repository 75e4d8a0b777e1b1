// Server replies of POP3 and SMTP through the socket line reader: the first
// byte picks the conversation and the chunking, the rest is what the server
// sends.
#include <string>

#include "common/SSocketRead.h"
#include "fuzz/ChunkedSocket.h"
#include "fuzz/FuzzSupport.h"
#include "pop3/SUidlListing.h"
#include "send/SSmtpExtensions.h"

namespace {

void Pop3Line(SPop3Read& reader, const char* raw, SUidlListing& listing) {
    (void)reader.IsOK();
    int count = 0;
    long size = 0;
    (void)reader.Stat(&count, &size);
    const char* stamp = nullptr;
    (void)reader.GetApopTimestamp(&stamp);
    const char* first = nullptr;
    const char* second = nullptr;
    const char* third = nullptr;
    (void)reader.GetTokens(&first, &second, &third);
    (void)reader.ShownLine();
    std::string line(raw, static_cast<std::size_t>(reader.LineLength()));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    (void)listing.AddLine(line.c_str(), line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qimfuzz::Split input = qimfuzz::TakeChoice(qimfuzz::Bytes(data, size));
    qimfuzz::ChunkedSocket socket(input.rest, input.choice >> 2);
    const int mode = static_cast<int>(input.choice & 3);

    SPop3Read pop3(&socket);
    SSmtpRead smtp(&socket);
    SUidlListing listing(1000);
    SSmtpExtensions extensions;
    // Receives until the close; a reader that stops taking bytes is a hang.
    for (int rounds = 0; rounds < 100000; ++rounds) {
        SSocketRead& reader = mode == 1 ? static_cast<SSocketRead&>(smtp) : pop3;
        const bool received = reader.MoveToMyBuffer();
        if (received) {
            if (mode == 2) {
                while (reader.GetASjisLine()) (void)reader.SjisLineLength();
            } else {
                while (const char* line = reader.GetALine()) {
                    if (mode == 1) {
                        (void)smtp.IsOK(250, 354);
                        extensions.Note(line);
                    } else {
                        Pop3Line(pop3, line, listing);
                    }
                }
            }
        }
        if (received && reader.LastReceive() == 0 && !reader.HasUnreadBytes()) return 0;
    }
    __builtin_trap();
}

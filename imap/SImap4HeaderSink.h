// Where a header fetch puts what it receives: the cache of the server
// folder (SQimPMemCacheFolder). The session knows nothing else of caches.
#pragma once

#include <cstdint>

class SImap4HeaderSink {
public:
    virtual ~SImap4HeaderSink() = default;
    // A new header begins.
    virtual void BeginHeader() = 0;
    // One header line, Shift_JIS, with its line end.
    virtual void HeaderLine(const char* line) = 0;
    // The header is complete (`ok` false: its FETCH failed). `mark` is the
    // local mark made from the server's flags, `size` its RFC822.SIZE.
    // `serverNumber` 0: stored under the next local number (all headers);
    // otherwise under the server's message number (recent mail only).
    // False when it could not be stored.
    virtual bool EndHeader(unsigned char mark, std::uint32_t size, int serverNumber, bool ok) = 0;
    // The fetch is over: the cache is complete (true) or to be fetched again.
    virtual bool SetFilled(bool filled) = 0;
};

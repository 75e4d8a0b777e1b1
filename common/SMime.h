// The MIME body codecs: an error code and the file operations shared by every
// codec (decode a file, decode a byte range of an open message, encode a file),
// each built on the codec's own line decoder and block encoder.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

#include "platform/TextFile.h"

class SMimeOutputFile;

class SMime {
public:
    // Why the last operation failed; kMimeOk when it did not.
    enum Error : int {
        kMimeOk = 0,
        kMimeErrorOpenInput = 1,   // the input file cannot be opened
        kMimeErrorOpenOutput = 2,  // the output file cannot be opened or created
        kMimeErrorRead = 3,        // reading the input failed
        kMimeErrorWrite = 4,       // writing the output failed
        kMimeErrorData = 5,        // the data cannot be decoded or encoded
    };
    // Input lines are read in pieces of at most kLineBufferSize - 1 bytes.
    static constexpr int kLineBufferSize = 1025;

    // A NUL-terminated text into a NUL-terminated result; `dest` or null.
    virtual unsigned char* Decode(const unsigned char* src, unsigned char* dest) = 0;
    virtual unsigned char* Encode(const unsigned char* src, unsigned char* dest) = 0;
    // Decodes lines of the text stream `in` into the raw handle `outHandle` until
    // the end of the stream or, when `endOffset` is not -1, until the line that
    // reaches that byte offset of the file.
    virtual bool DecodeFileBody(FILE* in, int outHandle, long endOffset, bool skipEmptyLines) = 0;
    // Encodes the raw bytes of `inHandle` into lines of the text stream `out`
    // (each LF reaches the file as CR LF).
    virtual bool EncodeFileBody(int inHandle, FILE* out) = 0;
    virtual ~SMime() = default;

    // The input as a text stream, the output as a raw handle (created with read and
    // write permission, appended to or truncated). A failed read or write removes
    // the output again (or, when appending, cuts it back to its former length), so
    // no half-written file is left behind; undecodable base64 lines leave the
    // decodable rest in place and only report kMimeErrorData.
    bool DecodeFile(const char* inPath, const char* outPath, bool append);
    // The input as raw bytes, the output as a text stream; failures as above.
    bool EncodeFile(const char* inPath, const char* outPath, bool append);
    // Decodes the byte range [start, end) of the open text stream `in` (with
    // DecodeFileBody's skipEmptyLines set); failures as above.
    bool DecodeFilePart(FILE* in, long start, long end, const char* outPath, bool append);

    int ErrorCode() const { return error_; }

protected:
    void SetError(int code) { error_ = code; }

    // The input of a decoder: a text stream read in line pieces, up to an end offset.
    class LineReader {
    public:
        LineReader(FILE* in, long endOffset);
        // The next piece of a line (up to and including its LF, at most
        // kLineBufferSize - 1 bytes) into `buffer`, NUL-terminated; it may hold
        // NUL bytes of its own. Returns its length; 0 at the end of the stream or
        // once the position has reached the end offset.
        int Next(char* buffer);
        // Whether reading stopped on an error rather than at the end.
        bool Failed() const { return text_.Error(); }

    private:
        platform::TextFile text_;
        long endOffset_;
    };

    // The output of a decoder: a raw handle written in large blocks.
    class HandleWriter {
    public:
        static constexpr std::size_t kCapacity = 1 << 16;
        explicit HandleWriter(int handle);
        // Room for `count` (at most kCapacity) bytes; Commit says how many were used.
        unsigned char* Room(std::size_t count);
        void Commit(std::size_t count) { used_ += count; }
        void Write(const void* data, std::size_t count);
        // Writes out what is buffered; false once any write has failed.
        bool Flush();
        bool Failed() const { return failed_; }

    private:
        int handle_;
        std::unique_ptr<unsigned char[]> buffer_;
        std::size_t used_ = 0;
        bool failed_ = false;
    };

    // The start of a decoder's work: false (with kMimeErrorRead) without input.
    bool BeginDecode(FILE* in);
    // The end of a decoder's work: writes out what is buffered and reports a
    // write or read failure; otherwise `ok`.
    bool EndDecode(HandleWriter& out, const LineReader& reader, bool ok);
    // The start of an encoder's work: `stream` writes to `out` as a text stream.
    bool BeginEncode(FILE* out, platform::TextFile& stream);

    // Reads until `size` bytes are in or the input ends (a pipe may deliver less
    // at a time). Returns the count, or -1 on a read error.
    static long ReadFull(int handle, unsigned char* buffer, std::size_t size);

private:
    // Closes the output of a file operation, keeping it when the work succeeded.
    bool Finish(SMimeOutputFile& out, bool ok);

    int error_ = kMimeOk;
};

#include "common/SReplyMimeMail.h"

#include <cstring>

#include "common/CmmnStringIds.h"
#include "common/SAnalizeMimeHeader.h"
#include "common/SMimeLineReader.h"

namespace {

// Up to size - 1 raw bytes through the next LF; returns the count (0 at the end).
int ReadPiece(FILE* file, char* buffer, int size) {
    int n = 0;
    while (n < size - 1) {
        int c = getc_unlocked(file);
        if (c == EOF) break;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n;
}

bool IsBlankLine(const char* piece) { return std::strcmp(piece, "\r\n") == 0 || std::strcmp(piece, "\n") == 0; }

}  // namespace

bool SReplyMimeMail::Process(const char* path) {
    SAnalizeMimeHeaderFile header;
    if (!header.AnalizeMimeHeader(path)) {
        ReportError(cmmnstr::HeaderParseFailed);
        return false;
    }
    if (!header.IsVersion1P0() || header.Part().type == kMimeTypeText) return ShowAsIs(path);
    return DecodeMimeMail(path);
}

void SReplyMimeMail::Insert(const char* piece, bool lineStart) {
    if (lineStart && !prefix_.empty()) target_->InsertAtCaret(prefix_.c_str());
    target_->InsertAtCaret(piece);
}

bool SReplyMimeMail::ShowAsIs(const char* path) {
    if (!target_) return false;
    FILE* file = OpenMessageFile(path);
    if (!file) return false;
    char piece[kLinePiece + 1];
    bool lineStart = true;
    bool inHeader = true;
    while (int n = ReadPiece(file, piece, sizeof piece)) {
        const bool startsLine = lineStart;
        lineStart = piece[n - 1] == '\n';
        // Only a whole empty line ends the header, never the tail of a long one.
        if (inHeader) {
            if (startsLine && IsBlankLine(piece)) inHeader = false;
            continue;
        }
        Insert(piece, startsLine);
    }
    std::fclose(file);
    return true;
}

bool SReplyMimeMail::ShowAsIs(FILE* file, long start, long end) {
    if (!target_ || !file || start < 0 || std::fseek(file, start, SEEK_SET) != 0) return false;
    char piece[kLinePiece + 2];  // room for the CR before a bare LF
    long position = start;
    bool lineStart = true;
    bool afterCr = false;  // the piece before ended in CR
    // Through the end of the line that reaches `end`.
    while (position < end || !lineStart) {
        const int n = ReadPiece(file, piece, kLinePiece + 1);
        if (n == 0) break;
        position += n;
        const bool startsLine = lineStart;
        lineStart = piece[n - 1] == '\n';
        const bool bareLf = lineStart && (n < 2 ? !afterCr : piece[n - 2] != '\r');
        afterCr = piece[n - 1] == '\r';
        if (bareLf) {
            piece[n - 1] = '\r';
            piece[n] = '\n';
            piece[n + 1] = '\0';
        }
        Insert(piece, startsLine);
    }
    return true;
}

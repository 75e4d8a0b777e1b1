#include "imap/SJisPieceConverter.h"

#include <cstring>
#include <vector>

#include "common/JapaneseCodes.h"

namespace {

constexpr unsigned char kEsc = 0x1B;

bool IsJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

}  // namespace

void SJisPieceConverter::Reset() {
    mode_ = kAscii;
    heldCount_ = 0;
}

int SJisPieceConverter::Convert(const char* piece, int length, bool continues, char* out) {
    // The designation of the mode left open, the held bytes, then the piece.
    static thread_local std::vector<unsigned char> text;
    const int designation = mode_ == kAscii ? 0 : 3;
    const int pieceLength = length > 0 ? length : 0;
    const int n = designation + heldCount_ + pieceLength;
    text.resize(static_cast<std::size_t>(n) + 1);
    unsigned char* p = text.data();
    if (designation) {
        p[0] = kEsc;
        p[1] = mode_ == kKanji ? '$' : '(';
        p[2] = mode_ == kKanji ? 'B' : 'I';
    }
    if (heldCount_ > 0) std::memcpy(p + designation, held_, static_cast<std::size_t>(heldCount_));
    if (pieceLength > 0) std::memcpy(p + designation + heldCount_, piece, static_cast<std::size_t>(pieceLength));
    int end = n;
    Mode mode = kAscii;
    if (continues) {
        // Walk the text as the converter reads it, to find where an
        // incomplete sequence at its very end begins.
        int i = 0;
        while (i < n) {
            const int left = n - i;
            const unsigned char c = text[static_cast<std::size_t>(i)];
            if (c == kEsc) {
                if (left < 3) break;
                const unsigned char a = text[static_cast<std::size_t>(i) + 1], b = text[static_cast<std::size_t>(i) + 2];
                if (a == '$' && (b == 'B' || b == '@')) mode = kKanji, i += 3;
                else if (a == '(' && (b == 'B' || b == 'J')) mode = kAscii, i += 3;
                else if (a == '(' && b == 'I') mode = kKatakana, i += 3;
                else ++i;
                continue;
            }
            if (mode == kKanji && IsJisByte(c)) {
                if (left == 1) break;
                i += IsJisByte(text[static_cast<std::size_t>(i) + 1]) ? 2 : 1;
                continue;
            }
            ++i;
        }
        end = i;
    }
    heldCount_ = n - end;
    if (heldCount_ > 0) std::memcpy(held_, text.data() + end, static_cast<std::size_t>(heldCount_));
    mode_ = continues ? mode : kAscii;
    return Jis2SjisBytes(out, text.data(), end);
}

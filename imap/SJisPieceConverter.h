// ISO-2022-JP to Shift_JIS over a text that arrives in pieces (the parts of a
// long line of a literal): a kanji or katakana run left open at the end of a
// piece goes on in the next one, and an escape sequence or a two-byte
// character that a cut splits is held back and converted with the next piece.
#pragma once

class SJisPieceConverter {
public:
    // The most bytes Convert writes beyond the piece's length (the held bytes
    // of the piece before), and the NUL.
    static constexpr int kExtra = 2 + 1;

    // Converts `piece` into `out` (room for `length` + kExtra bytes; `out`
    // must not overlap `piece`) and returns the bytes written (a NUL follows).
    // `continues`: the text goes on in the next piece, so an incomplete
    // sequence at the end is kept for it; otherwise everything is written.
    int Convert(const char* piece, int length, bool continues, char* out);
    // Forgets what a piece before left open.
    void Reset();

private:
    enum Mode { kAscii, kKanji, kKatakana };
    Mode mode_ = kAscii;
    unsigned char held_[2] = {};
    int heldCount_ = 0;
};

// Where quoted text goes: the compose editor implements it, tests record what
// arrives. Texts are Shift_JIS.
#pragma once

class STextSink {
public:
    virtual ~STextSink() = default;
    // Inserts `text` at the caret (replacing a selection, as typing would).
    virtual void InsertAtCaret(const char* text) = 0;
};

// The text of the mail being composed, as the composer's checks, makers and
// fold commands see it: numbered lines (paragraphs) of Shift_JIS text without
// their line breaks, a selection to show the user what a question is about,
// and the two edits the checks and folds make. The compose window implements
// it over its editor; SComposeText holds the lines in memory (the tool, tests).
#pragma once

#include <string>
#include <vector>

class SComposeEditor {
public:
    virtual ~SComposeEditor() = default;
    virtual int LineCount() const = 0;
    // Line `index` without its line break.
    virtual std::string Line(int index) const = 0;
    // Replaces bytes [start, end) of a line by `text` (no line breaks in it).
    virtual void Replace(int index, int start, int end, const std::string& text) = 0;
    // Splits a line in two before byte `position`.
    virtual void BreakLine(int index, int position) = 0;
    // Shows bytes [start, end) of a line selected, before a question about them.
    virtual void Select(int index, int start, int end) {}
};

class SComposeText : public SComposeEditor {
public:
    SComposeText() = default;
    // Lines at LF (a CR before it goes with it); a final line break ends the
    // last line and starts none.
    explicit SComposeText(const std::string& text);

    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string Line(int index) const override { return lines_[static_cast<std::size_t>(index)]; }
    void Replace(int index, int start, int end, const std::string& text) override;
    void BreakLine(int index, int position) override;
    void Select(int index, int start, int end) override;

    // The lines joined, each with CR LF.
    std::string Text() const;
    const std::vector<std::string>& Lines() const { return lines_; }
    // The last selection made: line, start, end.
    int selectedLine = -1;
    int selectedStart = 0;
    int selectedEnd = 0;

private:
    std::vector<std::string> lines_;
};

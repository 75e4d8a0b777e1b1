#include "send/SComposeEditor.h"

SComposeText::SComposeText(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!last && !line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

void SComposeText::Replace(int index, int start, int end, const std::string& text) {
    lines_[static_cast<std::size_t>(index)].replace(static_cast<std::size_t>(start),
                                                     static_cast<std::size_t>(end - start), text);
}

void SComposeText::BreakLine(int index, int position) {
    std::string& line = lines_[static_cast<std::size_t>(index)];
    std::string rest = line.substr(static_cast<std::size_t>(position));
    line.resize(static_cast<std::size_t>(position));
    lines_.insert(lines_.begin() + index + 1, std::move(rest));
}

void SComposeText::Select(int index, int start, int end) {
    selectedLine = index;
    selectedStart = start;
    selectedEnd = end;
}

std::string SComposeText::Text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    return text;
}

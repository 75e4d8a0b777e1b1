#include "ui/TMailViewPane.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "common/SMHUnfoldDecode.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"

namespace {

// Collects the decoded header fields and the body lines as they arrive.
class DisplayCollector : public SMHUnfoldDecodeMail {
public:
    explicit DisplayCollector(std::string& out) : out_(out) {}
    ~DisplayCollector() override { Finish(); }
    bool Action(const char* field) override {
        out_ += field;
        return true;
    }

private:
    std::string& out_;
};

}  // namespace

TMailViewPane::TMailViewPane(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setObjectName("QimViewPane");
}

bool TMailViewPane::DisplayText(const std::string& mailPath, std::string& text, std::size_t limit) {
    text.clear();
    FILE* fp = platform::OpenFile(mailPath.c_str(), "rb");
    if (!fp) return false;
    std::string data;
    char block[1 << 16];
    std::size_t got = 0;
    bool cut = false;
    while ((got = std::fread(block, 1, sizeof block, fp)) > 0) {
        if (data.size() + got > limit) {
            data.append(block, limit - data.size());
            cut = true;
            break;
        }
        data.append(block, got);
    }
    std::fclose(fp);
    DisplayCollector collector(text);
    collector.Init();
    std::size_t at = 0;
    std::string line;
    while (at < data.size()) {
        std::size_t nl = data.find('\n', at);
        const std::size_t end = nl == std::string::npos ? data.size() : nl + 1;
        line.assign(data, at, end - at);
        // CR LF on disk, LF on screen.
        if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') line.erase(line.size() - 2, 1);
        // A NUL would end the line early for the collector.
        std::replace(line.begin(), line.end(), '\0', ' ');
        collector.Execute(line.c_str());
        at = end;
        if (!collector.InHeader()) break;
    }
    collector.Finish();
    if (at < data.size()) {
        std::string body = data.substr(at);
        std::string::size_type out = 0;
        for (std::string::size_type i = 0; i < body.size(); ++i) {
            if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
            body[out++] = body[i];
        }
        body.resize(out);
        text += body;
    }
    if (cut) text += "\n...\n";
    return true;
}

bool TMailViewPane::ShowMail(const std::string& mailPath) {
    std::string text;
    if (!DisplayText(mailPath, text)) {
        Clear();
        return false;
    }
    shown_ = mailPath;
    setPlainText(platform::ToQString(text));
    return true;
}

void TMailViewPane::Clear() {
    shown_.clear();
    clear();
}

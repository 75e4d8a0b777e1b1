#include "config/QimLayoutSettings.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/FilePath.h"
#include "common/SFont.h"

namespace {

constexpr int kColumnWidthSize = 256;
constexpr int kPaneHeightSize = 128;
constexpr int kMarkerSize = 80;
constexpr double kDefaultViewerShare = 0.7;

}  // namespace

void ReadColumnWidths(int widths[kHeaderColumns], int listWidth) {
    for (int i = 0; i < kHeaderColumns; ++i) widths[i] = kBuiltInColumnWidths[i];
    char text[kColumnWidthSize];
    if (!SQimProfile(qimini::Qim).GetString(qimini::ColumnWidth, text, sizeof text, nullptr)) return;
    char* save = nullptr;
    int i = 0;
    for (char* token = strtok_r(text, ", \t", &save); token && i < kHeaderColumns;
         token = strtok_r(nullptr, ", \t", &save), ++i) {
        const long width = std::strtol(token, nullptr, 10);
        if (width >= 1 && width <= listWidth) widths[i] = static_cast<int>(width);
    }
}

bool WriteColumnWidths(const int widths[kHeaderColumns]) {
    char text[kColumnWidthSize];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", widths[0], widths[1], widths[2], widths[3]);
    return SQimProfile(qimini::Qim).WriteString(qimini::ColumnWidth, text);
}

double ReadViewerShare() {
    char text[kPaneHeightSize];
    SQimProfile(qimini::Qim).GetString(qimini::ListInnerHeight, text, sizeof text, "0:0");
    int list = 0, viewer = 0;
    if (std::sscanf(text, "%d:%d", &list, &viewer) != 2 || list <= 0 || viewer <= 0) return kDefaultViewerShare;
    const double share = static_cast<double>(viewer) / (static_cast<double>(list) + viewer);
    return share >= 1.0 ? kDefaultViewerShare : share;
}

bool WritePaneHeights(int listHeight, int viewerHeight) {
    char text[kPaneHeightSize];
    std::snprintf(text, sizeof text, "%d:%d", listHeight, viewerHeight);
    return SQimProfile(qimini::Qim).WriteString(qimini::ListInnerHeight, text);
}

int ReadTreeWindowWidth() { return SQimProfile(qimini::Qim).GetInt(qimini::TreeWindowWidth, 0); }

bool WriteTreeWindowWidth(int width) { return SQimProfile(qimini::Qim).WriteInt(qimini::TreeWindowWidth, width); }

bool ReadQimFont(const char* key, SFont& font) {
    if (font.ReadFont(SConfigProfile(qimini::Font), key, &font)) return true;
    SFont::SetDefault(&font);
    return false;
}

bool WriteQimFont(const char* key, const SFont& font) { return font.WriteFont(SConfigProfile(qimini::Font), key, font); }

std::string ReadNewMailSound() {
    std::string sound;
    SQimProfile(qimini::Sound).GetString(qimini::NewMail, sound, kMaxPath, nullptr);
    return sound;
}

std::string ReadWebBrowser() {
    std::string path;
    SQimProfile(qimini::Qim).GetString(qimini::WebBrowser, path, kMaxPath, nullptr);
    return path;
}

bool WriteWebBrowser(const std::string& path) {
    return SQimProfile(qimini::Qim).WriteString(qimini::WebBrowser, path.c_str());
}

void ReadForwardMarkers(std::string& pre, std::string& post) {
    const SConfigProfile config(qimini::QimSend);
    config.GetString(qimini::PreForwardMarker, pre, kMarkerSize, "----- Forwarded Message ------ ------");
    config.GetString(qimini::PostForwardMarker, post, kMarkerSize, "----- End of Forwarded Message ------");
}

bool TakeMessageNumber(int& number) {
    const SConfigProfile config(qimini::QimSend);
    const int current = config.GetInt(qimini::MessageNum, 0);
    if (current < 1) return false;
    number = current == INT_MAX ? 1 : current + 1;
    config.WriteInt(qimini::MessageNum, number);
    return true;
}

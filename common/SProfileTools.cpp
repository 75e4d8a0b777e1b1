#include "common/SProfileTools.h"

#include <cstdio>

#include "platform/Screen.h"

bool SProfileTools::ReadWindowRect(TWindowAttr* attr, const char* key) const {
    char text[63];
    if (!GetString(key, text, sizeof text, nullptr) || !text[0]) return false;
    int left, top, right, bottom;
    if (std::sscanf(text, "%d %d %d %d", &left, &top, &right, &bottom) != 4) return false;
    platform::ScreenSize screen = platform::PrimaryScreenSize();
    if (left < 0 || right > screen.width || top < 0 || bottom > screen.height) return false;
    // A rectangle turned inside out would give a negative size.
    if (right < left || bottom < top) return false;
    attr->X = left;
    attr->Y = top;
    attr->W = right - left;
    attr->H = bottom - top;
    return true;
}

bool SProfileTools::WriteWindowRect(const char* key) const {
    SWindowPlacement p;
    if (!window_ || !window_->GetWindowPlacement(p)) return false;
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", p.left, p.top, p.right, p.bottom);
    return WriteString(key, text);
}

int SProfileTools::ReadShow(const char* key) const {
    switch (GetInt(key, 0)) {
    case 1:
        return SW_SHOWMAXIMIZED;
    case 2:
        return SW_SHOWMINIMIZED;
    default:
        return SW_SHOWNORMAL;
    }
}

bool SProfileTools::WriteShow(const char* key) const {
    SWindowPlacement p;
    if (!window_ || !window_->GetWindowPlacement(p)) return false;
    int stored = p.showCmd == SW_SHOWMAXIMIZED ? 1 : (p.showCmd == SW_SHOWMINIMIZED ? 2 : 0);
    return WriteInt(key, stored);
}

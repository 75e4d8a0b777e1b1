// Single settings outside the records: the main window's layout (folder tree
// width, header-list column widths, list and viewer pane heights), the fonts,
// the new-mail sound, the forward markers and the message-id counter.
#pragma once

#include <string>

class SFont;

constexpr int kHeaderColumns = 4;  // in the list's order: No., Date, From/To, Subject
// The widths a column takes when nothing usable is stored.
constexpr int kBuiltInColumnWidths[kHeaderColumns] = {64, 112, 160, 320};

// ColumnWidth: each width below 1 or wider than `listWidth` takes its built-in width.
void ReadColumnWidths(int widths[kHeaderColumns], int listWidth);
bool WriteColumnWidths(const int widths[kHeaderColumns]);

// ListInnerHeight "list:viewer" read back as the viewer's share of the height;
// 0.7 when either height is not above 0 or the share would be 1 or more.
double ReadViewerShare();
bool WritePaneHeights(int listHeight, int viewerHeight);

int ReadTreeWindowWidth();
bool WriteTreeWindowWidth(int width);

// A font of section Font of CONFIG.INI (MVDefFont, SMEDefFont, MVQuoteFont,
// HLWFont); the default font when the stored one cannot be read (then false).
bool ReadQimFont(const char* key, SFont& font);
bool WriteQimFont(const char* key, const SFont& font);

// The sound file played when new mail came in; empty when unset.
std::string ReadNewMailSound();

// The web browser that opens links (QIM.INI); empty: the desktop's own.
std::string ReadWebBrowser();
bool WriteWebBrowser(const std::string& path);

// First and last lines around a forwarded mail.
void ReadForwardMarkers(std::string& pre, std::string& post);

// The message-id counter: false while MessageNum is below 1 (no message ids);
// otherwise stores the next value (1 after the largest int) and gives it.
bool TakeMessageNumber(int& number);

// The header list's view as both main windows show it: rows selected whole,
// several at once, dragged out to move or copy, columns at their built-in
// widths, sorted by the window (not by clicks on the view).
#pragma once

#include <QString>
#include <vector>

class QSplitter;
class QTreeView;
class QWidget;
class THeaderListModel;

// A new view over a new model (parented to the view); `stretchLastColumn`
// lets the last column take the rest of the width.
QTreeView* MakeHeaderListView(const QString& objectName, THeaderListModel*& model, bool stretchLastColumn);

// The mail numbers of the selected rows, in row order.
std::vector<int> SelectedHeaderNumbers(const QTreeView& list, const THeaderListModel& model);
// Selects the rows of these mail numbers (and nothing else); numbers not listed are passed over.
void SelectHeaderNumbers(QTreeView& list, const THeaderListModel& model, const std::vector<int>& numbers);

// The header list and the viewer in `listPane` as the docking setting
// (EInnerView) places them; with the separate viewer, the viewer goes into a
// new window of `owner` named `windowName` (opened by the first mail shown),
// which is returned; null otherwise.
QWidget* PlaceListAndViewer(QSplitter* listPane, QTreeView* list, QWidget* viewer, int docking, QWidget* owner,
                            const QString& windowName);

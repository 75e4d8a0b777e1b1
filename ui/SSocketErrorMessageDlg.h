// "Socket Error": the modeless report of a failed connection, send or
// receive of the server-folder session. A new report replaces the old one.
#pragma once

#include <QDialog>
#include <string>

class QLabel;

class SSocketErrorMessageDlg : public QDialog {
    Q_OBJECT

public:
    // `text` Shift_JIS, with the description of the error code appended by the
    // session; at most kTextLimit characters are shown.
    SSocketErrorMessageDlg(QWidget* parent, const std::string& text, int code);
    static constexpr int kTextLimit = 254;
    QLabel* message = nullptr;
};

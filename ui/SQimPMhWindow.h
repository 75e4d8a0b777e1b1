// The server-folder window for servers whose folders live under the MH
// namespace "#mh": its session is the MH one, and every folder keeps its mail
// in its own mailbox (no "_mbox").
#pragma once

#include "ui/SQimPWindow.h"

class SQimPMhWindow : public SQimPWindow {
    Q_OBJECT

public:
    using SQimPWindow::SQimPWindow;

protected:
    std::unique_ptr<SImap4CommunDlg> MakeSession() override;
    bool MboxFolders() const override { return false; }
};

#include "ui/SQimPMhWindow.h"

#include "ui/SImap4CommunDlg.h"

std::unique_ptr<SImap4CommunDlg> SQimPMhWindow::MakeSession() {
    return std::make_unique<SImap4MhCommunDlg>(window(), inet_, settings_);
}

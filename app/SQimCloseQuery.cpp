#include "app/SQimCloseQuery.h"

bool SQimCloseQuery::CanClose() {
    if (!ChildrenMayClose()) return false;
    WriteSettings();
    WriteWindowState();
    StoreClientLayout();
    SClosingWindow* compose = ComposeWindow();
    if (!ViewersMayClose() || (compose && !compose->IsEnabled())) {
        ShowDialogStillOpen();
        return false;
    }
    if (compose) {
        if (!compose->CanClose()) return false;
        compose->Destroy();
    }
    return true;
}

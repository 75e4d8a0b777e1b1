// The compose window of the server-folder mode: a sent copy or an unsent
// mail whose folder is one of the server's ("_QimP" and the folder below it)
// is appended to that server folder (operation 756) through the server-folder
// window; any other folder is the local store's, as in the local mode.
#pragma once

#include <string>

#include "ui/TQimSendWindow.h"

class SQimPWindow;

class SQimPSendFrame : public TQimSendWindow {
    Q_OBJECT

public:
    SQimPSendFrame(SQimPWindow& qimp, SUserInetData& inet, SQimSendSettingData& settings, SLoginConfirmation& login,
                   bool pgpInUse, QWidget* parent = nullptr);

    // The server folder a property names ("_QimP\A\B"); false when the
    // property is no server folder's or its name leads out of "_QimP".
    static bool ServerFolderOf(const SSaveMailFolderProperty& property, std::string& folder);

protected:
    bool StoreSentCopyIn(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer) override;
    bool SaveDraftIn(const SSaveMailFolderProperty& draft, SSaveMailFile& writer) override;
    bool OffersServerFolders() const override { return true; }

private:
    // Writes the mail aside and hands it to the server-folder window.
    bool AppendToServer(const std::string& folder, SSaveMailFile& writer);

    SQimPWindow& qimp_;
};

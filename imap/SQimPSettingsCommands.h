// The server-folder window's commands on the settings kept on the server, as
// an interface the window calls: put the settings mail on the server, fetch
// it back, save it into a server folder or a local file, edit where the
// settings are kept (INIFilesPlace), and the hooks of the window's start and
// close. The default does nothing; the implementation is installed with
// SetQimPSettingsMail.
#pragma once

#include <string>

#include "imap/SImap4Session.h"
#include "platform/DialogService.h"

class SQimPSettingData;

// What the settings commands get from the server-folder window.
class SQimPSettingsHost {
public:
    virtual ~SQimPSettingsHost() = default;
    // Hands a request to the window's session (made when there is none yet);
    // its completion comes back to SQimPSettingsMail::Completed. False when
    // the session did not take it.
    virtual bool Request(const SImap4Request& request, int operation) = 0;
    // The window's temporary file for the settings mail; it lives as long
    // as the window.
    virtual std::string SettingsMailFile() = 0;
    // The window's settings (INIFilesPlace among them) and their changed flag.
    virtual SQimPSettingData& Settings() = 0;
    virtual void MarkSettingsChanged() = 0;
    virtual bool AreSettingsChanged() const = 0;
    // The settings were read anew: the window takes them over.
    virtual void SettingsReread() = 0;
    // Lists the server folders: what the start does once the settings came.
    virtual void ListFolders() = 0;
    // Posts a command to the window, as the window system posts one.
    virtual void PostCommand(int id) = 0;
    // The owner of boxes and dialogs.
    virtual platform::ParentWindow Parent() = 0;
};

class SQimPSettingsMail {
public:
    virtual ~SQimPSettingsMail() = default;

    // qimcmd::SettingsToServer, SettingsFromServer, BackupSettingsOnServer,
    // BackupSettingsLocally, SettingsOnServer.
    virtual void Put(SQimPSettingsHost& host) {}
    virtual void Fetch(SQimPSettingsHost& host) {}
    virtual void SaveToServerFolder(SQimPSettingsHost& host) {}
    virtual void SaveLocally(SQimPSettingsHost& host) {}
    virtual void EditOptions(SQimPSettingsHost& host) {}

    // The window starts: true when the settings are fetched first (the
    // folders are then listed through host.ListFolders once they came);
    // false and the window lists them at once.
    virtual bool OnStart(SQimPSettingsHost& host) { return false; }
    // The window is asked to close: false refuses (a put was posted first).
    virtual bool OnCloseRequest(SQimPSettingsHost& host) { return true; }
    // The window closes.
    virtual void OnClosed(SQimPSettingsHost& host) {}
    // The completion of a request sent through the host.
    virtual void Completed(SQimPSettingsHost& host, int operation, int result) {}
};

// The implementation in use: the do-nothing default until one is installed.
SQimPSettingsMail& QimPSettingsMail();
// Installs `mail` (null: the default again) and returns the one it replaces;
// the caller keeps ownership.
SQimPSettingsMail* SetQimPSettingsMail(SQimPSettingsMail* mail);

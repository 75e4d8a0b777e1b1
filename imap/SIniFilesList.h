// The settings files the settings mail carries, in the order they go:
// CONFIG.INI, ALIAS.INI, the head and tail template texts, the address book's
// list files, the key file (with kIniWithKeyFile) and QIM.INI (with
// kIniWithMainFile). A fixed file that does not exist is left out; a template
// or list file that the settings name but that is missing stops the list.
#pragma once

#include <string>
#include <vector>

#include "common/SNotice.h"

struct SIniFile {
    std::string name;  // the attachment's name, a plain file name
    std::string path;  // the file (Shift_JIS)
};

class SIniFilesList {
public:
    explicit SIniFilesList(int place) : place_(place) {}

    // Makes the list from the files as they are now (the settings-file
    // caches are flushed first). False with Problem() set: a settings file
    // that cannot be read (the read-error text), or a named file that is
    // missing (the not-found text); with `skipMissing` missing files are
    // simply left out instead.
    bool Make(bool skipMissing = false);

    const std::vector<SIniFile>& Files() const { return files_; }
    // List files in folders below the home directory: a settings mail holds
    // plain names only, so they stay out of it.
    const std::vector<std::string>& LeftOut() const { return leftOut_; }
    const SNotice& Problem() const { return problem_; }

private:
    bool AddFixed(const std::string& name, const std::string& path);
    bool AddNamed(const std::string& name, const std::string& path, bool skipMissing);
    void AddTemplates(bool skipMissing, bool& ok);

    int place_;
    std::vector<SIniFile> files_;
    std::vector<std::string> leftOut_;
    SNotice problem_;
};

// Drops the parsed copies of QIM.INI, CONFIG.INI and ALIAS.INI, so the next
// read sees the files as they are on disk.
void FlushSettingsFiles();

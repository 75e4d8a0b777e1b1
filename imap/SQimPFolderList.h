// The folder-list file of the server folders: one folder path a line
// ("_QimP\A\B"), as the IMAP4 list operation writes it. Every object of the
// process shares one temporary file; it goes when the last object goes.
#pragma once

#include <string>
#include <vector>

class SQimPFolderList {
public:
    // The first object makes the shared file name in `dir` (null: the TempDir
    // folder or the home directory); later ones take it as it is.
    explicit SQimPFolderList(const char* dir = nullptr);
    ~SQimPFolderList();
    SQimPFolderList(const SQimPFolderList&) = delete;
    SQimPFolderList& operator=(const SQimPFolderList&) = delete;

    // The shared file; "PFolders.TXT" (relative) while no object exists.
    static std::string Path();
    // The file is there and not empty.
    bool Exists() const;
    // Appends the folders of the file to `list` in file order, leaving out
    // every folder that is the parent of another one listed, so that only the
    // deepest paths remain. A line longer than the longest path is no folder
    // and is passed over whole. False when the file cannot be read.
    bool Read(std::vector<std::string>& list) const;

    // How many objects exist.
    static int Count();
};

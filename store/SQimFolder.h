// A local mail folder: a directory under the home directory whose mails are
// files named by their numbers. It hands out mail paths, finds the highest
// number, reads and sets the two marks kept in a mail's attributes, and makes
// and removes subfolders.
#pragma once

#include <string>
#include <vector>

class SQimFolder {
public:
    SQimFolder() = default;
    explicit SQimFolder(const std::string& path);
    virtual ~SQimFolder() = default;

    virtual void SetFolder(const char* path);
    virtual void SetFolder(const std::string& path);
    // Removes the subfolder `name` when it holds nothing but an empty header
    // cache; that cache goes with it. False for a name that is no single
    // folder name ("", ".", "..", one with '/').
    virtual bool RemoveSubfolder(const char* name);
    // Highest mail number present (ScanMaxNumber).
    virtual int LastNumber();
    // Mark byte of mail `number`; kMarkError when its attributes cannot be read.
    virtual unsigned char GetMarks(int number);
    // Sets (or clears) the attributes of the given flags, keeping all others;
    // false (with errno) when they cannot be changed.
    virtual bool SetMarks(int number, unsigned char marks);
    virtual bool ClearMarks(int number, unsigned char marks);
    // Every entry whose name is an integer string counts, files and folders
    // alike; 0 for a folder without one. Values beyond the largest mail
    // number count as that number, so no new number can be had then.
    virtual int ScanMaxNumber();

    const std::string& Path() const { return path_; }
    // The folder path joined with the number in decimal.
    std::string MailPath(int number) const;
    std::string ChildPath(const char* name) const;
    // One directory level.
    bool CreateSubfolder(const char* name);
    // Whether mail `number` is there as a regular file.
    bool MailExists(int number) const;
    // Numbers of the mail files (regular files whose name is a number written
    // the way mail names are written), ascending.
    std::vector<int> MailNumbers() const;

    // Names of the subfolders, as the folder tree lists them (sorted by name,
    // links to folders included).
    std::vector<std::string> Subfolders() const;

    // A mail file name: decimal digits, no sign, no leading zero, within int.
    static bool IsMailFileName(const char* name, int* number = nullptr);
    // A name that names one entry of a folder: not empty, not "." or "..",
    // without '/'.
    static bool IsSingleName(const char* name);

protected:
    std::string path_;
};

// The header list's icon for a mail (qimstore::kState...): `firstNew` is the
// first number of the latest receive or import into the inbox (0: none).
int MailListState(unsigned char marks, bool inInbox, int number, int firstNew);
// Whether two paths name the same folder on disk (another spelling or a link
// to it included).
bool IsSameFolderOnDisk(const std::string& a, const std::string& b);

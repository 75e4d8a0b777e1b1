// The name of a temporary file that belongs to this object: the file is made
// on first use and deleted when the object goes, also when the work that used
// it failed halfway.
#pragma once

#include <string>

class STmpFilePath {
public:
    // `dir` null: the system's folder for temporary files.
    explicit STmpFilePath(const char* dir = nullptr);
    virtual ~STmpFilePath();
    STmpFilePath(const STmpFilePath&) = delete;
    STmpFilePath& operator=(const STmpFilePath&) = delete;

    // The path, made on first use.
    virtual const char* Path();
    // Deletes the file when a path was made and the file exists. True when
    // nothing is left to delete. The name stays this object's.
    virtual bool Delete();
    // Creates a new empty file "qimXXXXXX.tmp" in the folder. When the folder
    // does not take it, the name becomes "_qimtmpN.TMP" there with a count
    // kept by the process, skipping names already in use (that file is not
    // made). False only when not even such a name is free.
    virtual bool MakePath();

    const std::string& Directory() const { return dir_; }
    bool HasPath() const { return !path_.empty(); }

protected:
    std::string path_;
    std::string dir_;
};

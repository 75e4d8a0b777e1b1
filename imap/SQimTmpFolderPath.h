// A temporary directory of the program, in the TempDir folder (or the folder
// the caller gives, or the home directory): the cache root of the server
// folders. It is made on first use, hidden (its name begins with a dot) and
// private to the user, and goes with everything below it when the object goes.
#pragma once

#include "config/SQimTmpFilePath.h"

class SQimTmpFolderPath : public SQimTmpFilePath {
public:
    explicit SQimTmpFolderPath(const char* dir = nullptr);
    ~SQimTmpFolderPath() override;

    // Makes a new directory of a unique name; false when the folder takes none.
    bool MakePath() override;
    // Removes the directory with everything below it. Links inside are
    // removed, never followed, so nothing outside the directory is touched.
    bool Delete() override;
};

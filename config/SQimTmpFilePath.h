// A temporary file of the program: in the folder named by TempDir of QIM.INI
// when that folder exists, else in the folder the caller gives, else in the
// home directory.
#pragma once

#include <string>

#include "common/STmpFilePath.h"

class SQimTmpFilePath : public STmpFilePath {
public:
    explicit SQimTmpFilePath(const char* dir = nullptr);
};

// The TempDir folder once a query found it valid (then kept until the program
// ends); empty while it is unset or names no existing folder.
std::string GetQimTempDir();
void ResetQimTempDirCache();

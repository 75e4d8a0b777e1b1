// Reads a finished archive back before any mail goes: each packed file must
// be in it under its name, with the size and CRC-16 of the file in the
// folder, and must unpack to the very bytes of that file. Anything less and
// the command keeps every mail.
#pragma once

#include <string>
#include <vector>

#include "archive/SUnlha32.h"
#include "common/SNotice.h"

class SArchiveCheck {
public:
    SArchiveCheck(const SUnlhaEntryPoints& library, void* owner) : library_(library), owner_(owner) {}

    // `packed`: the names (Shift_JIS) of the files the run was to pack. True
    // when every one still in `folder` checks; `verified` gets the names
    // that may now be deleted. Otherwise `failure` says why.
    bool Verify(const std::string& archivePath, const std::string& folder, const std::vector<std::string>& packed,
                std::vector<std::string>& verified, SNotice& failure);

private:
    // The entry the walk stands on against the file at `path`; 0 when they
    // agree, else the string id of what is wrong.
    unsigned CheckEntry(void* archive, const UnlhaEntry& entry, const std::string& path);

    const SUnlhaEntryPoints& library_;
    void* owner_;
};

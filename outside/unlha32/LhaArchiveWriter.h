// Writes a new archive (Unlha's command "a"): the files of the base folder
// that match the patterns, each with a level-2 header, -lh5- (or -lh0- when
// packing would not make it smaller, or when asked), in pattern order. The
// archive is written under a temporary name beside its final one, flushed to
// stable storage, and only then given its name, so a failure half-way (a
// full disk, a file that cannot be read, a cancel) leaves no archive at all.
#pragma once

#include <cstdint>
#include <string>

#include "outside/unlha32/UnlhaCommandLine.h"

namespace lha {

class AddProgress {
public:
    virtual ~AddProgress() = default;
    // One of the UNLHA_STATE_ values; false stops the run.
    virtual bool Report(std::uint32_t state, const std::string& archive, const std::string& name, std::uint64_t size,
                        std::uint64_t written) = 0;
};

class LhaArchiveWriter {
public:
    // Runs the command; an UNLHA_ result code. `log` gets one line per file
    // and one for the whole run, or the reason of the failure.
    static int Add(const UnlhaCommandLine& line, AddProgress& progress, std::string& log);
};

}  // namespace lha

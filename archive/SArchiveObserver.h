// What the archiving command tells the one who runs it, and the one question
// it asks: the progress window in the program, standard error in qimtool.
#pragma once

#include <string>

#include "common/SNotice.h"

class SArchiveObserver {
public:
    virtual ~SArchiveObserver() = default;
    // The archive's name, `name` holding the default; false: the user cancelled.
    virtual bool AskArchiveName(std::string& name) = 0;
    // A message to show (an error, or what could not be deleted).
    virtual void Notify(const SNotice& notice) = 0;
    // The run begins: the archive in the second status line, the bar from 0
    // to `range` in steps of one.
    virtual void BeginRun(const std::string& archive, int range) = 0;
    // The first status line while the run is open ("Mail Number: ... -->").
    virtual void ShowFirstLine(const std::string& text) = 0;
    virtual void StepRun() = 0;
    // The run ends: the first status line is cleared.
    virtual void EndRun() = 0;
    // What the command does after the run ("書庫に入れたメールを削除中です...").
    virtual void ShowStatus(const std::string& text) = 0;
};

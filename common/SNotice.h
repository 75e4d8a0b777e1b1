// Something a conversation or an analyser has to tell the user, as it is to be
// told: a text of a string table by number, the values its format takes, and
// the icon of its box. The code below the windows reports notices; a window
// (or qimtool) turns each into its text and shows it.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/DialogService.h"

// The string table a notice's number belongs to.
enum class SNoticeTable { Program, Library };

struct SNotice {
    using Arg = std::variant<long, std::string>;

    SNoticeTable table = SNoticeTable::Program;
    unsigned id = 0;
    std::vector<Arg> args;  // in the order of the format's conversions
    platform::MessageIcon icon = platform::MessageIcon::Stop;

    static SNotice Program(unsigned id, std::vector<Arg> args = {},
                           platform::MessageIcon icon = platform::MessageIcon::Stop) {
        return SNotice{SNoticeTable::Program, id, std::move(args), icon};
    }
    static SNotice Library(unsigned id, std::vector<Arg> args = {},
                           platform::MessageIcon icon = platform::MessageIcon::Stop) {
        return SNotice{SNoticeTable::Library, id, std::move(args), icon};
    }
    bool operator==(const SNotice&) const = default;
};

// `format` (a table text) with its conversions filled from `args` in order:
// %d, %i, %u, %ld, %lu, %x and %c take a number, %s a text, with the flags,
// width and precision printf knows; %% is a percent sign. A conversion whose
// argument is missing or of the other kind is left as it is written, so a
// broken table row shows as such instead of reading memory it should not.
std::string FormatNotice(const std::string& format, const std::vector<SNotice::Arg>& args);

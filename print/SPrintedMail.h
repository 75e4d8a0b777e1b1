// A mail as the viewer shows it, ready for the page or a text file: the
// header block (From, To, Cc, the Date in local time, Subject; every field on
// request), then the text, in Unicode. The viewer builds its own header block
// here too, so the paper and the screen say the same.
#pragma once

#include <QString>
#include <utility>
#include <vector>

struct SMailView;

struct SPrintedMail {
    QString subject;  // the header line of every page
    std::vector<std::pair<QString, QString>> header;  // field name, value as shown
    QString body;     // LF line ends
    // "Name: value" lines, an empty line, the body.
    QString Text() const;
};

// The header block of the viewer: the five fields in its order (empty ones
// left out), or every field as it stands in the mail.
std::vector<std::pair<QString, QString>> ViewerHeaderBlock(const SMailView& view, bool allFields);

// "2026/06/01(月) 10:00" in the machine's zone; the text as it came when it is no date.
QString LocalDate(const std::string& utf8);

SPrintedMail PrintedMailOf(const SMailView& view, bool allFields);

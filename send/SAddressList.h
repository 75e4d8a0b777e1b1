// Address lists: a To field of "\name" sends the message once to each entry
// of the file "name" in the home directory. A list is a text file, one entry
// a line: ";" starts a comment line, an empty line ends the list, and "%"
// separates the address from a salutation put at the head of that copy's text.
#pragma once

#include <string>
#include <vector>

#include "send/SGetLine.h"

struct SAddressEntry {
    std::string address;
    std::string salutation;  // empty when the entry has none
};

// Whether the To field names an address list (after leading blanks, a "\").
bool IsAddressListField(const std::string& to);
// The list's path under `home`; false when the name would lead outside it
// (an absolute name or a ".." component). Backslashes separate folders.
bool AddressListPath(const std::string& to, const std::string& home, std::string& path);

// Reads the entries; false when the file cannot be opened.
bool SGetAddressAndSalutationList(const std::string& path, std::vector<SAddressEntry>& entries);
// The addresses alone.
bool SGetAddressList(const std::string& path, std::vector<std::string>& addresses);

// The lines of another source with a salutation put first in the text: at
// the very start, or, in a multipart message (`boundary` not empty), after
// the header of its first part, so the reader sees it above the text.
class SGetLineWithSalutation : public SGetLine {
public:
    SGetLineWithSalutation(SGetLine& inner, std::string salutation, std::string boundary)
        : inner_(inner), salutation_(std::move(salutation)), boundary_(std::move(boundary)) {}
    bool Open() override;
    bool NextLine(std::string& line) override;
    void Close() override { inner_.Close(); }

private:
    enum class Where { BeforeBoundary, InPartHeader, Done };
    SGetLine& inner_;
    std::string salutation_;
    std::string boundary_;
    Where where_ = Where::Done;
    bool held_ = false;
    std::string heldLine_;
};

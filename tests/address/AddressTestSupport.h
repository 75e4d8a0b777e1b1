// A home directory whose ALIAS.INI a test writes as text and reads back as
// the bytes and keys the program left there.
#pragma once

#include <string>

#include "platform/PrivateProfile.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"

namespace addresstest {

class AliasHome : public qimtest::QimHomeTest {
protected:
    std::string AliasIni() const { return home_ + "/ALIAS.INI"; }
    // `utf8` lines joined with CR LF, stored as Shift_JIS.
    void WriteAliasIni(const std::string& utf8) {
        std::string text;
        for (char c : qimtest::Sjis(utf8)) {
            if (c == '\n') text += '\r';
            text += c;
        }
        qimtest::WriteFileBytes(AliasIni(), text);
        platform::FlushPrivateProfile(AliasIni().c_str());
    }
    // The file as UTF-8 with LF lines.
    std::string AliasIniText() const {
        std::string text = qimtest::Utf8(qimtest::ReadFileBytes(AliasIni()));
        std::string out;
        for (char c : text)
            if (c != '\r') out += c;
        return out;
    }
    // A key as stored, UTF-8; "<none>" when absent.
    std::string Key(const char* section, const std::string& key) const {
        return qimtest::Utf8(Stored(AliasIni(), section, key.c_str()));
    }
    void WriteHomeFile(const std::string& name, const std::string& bytes) const {
        qimtest::WriteFileBytes(home_ + "/" + name, bytes);
    }
};

}  // namespace addresstest

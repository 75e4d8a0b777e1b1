// Helpers shared by the test programs: throw-away folders and small file I/O.
#pragma once

#include <string>

namespace qimtest {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& data);
bool FileExists(const std::string& path);
unsigned FileMode(const std::string& path);

// Runs a shell command and returns its standard output; `status` gets the exit status.
std::string RunCommand(const std::string& command, int* status = nullptr);

// The text of a PDF file as poppler's pdftotext reads it (-layout), with the
// spaces taken out (it drops some between glyphs) and the CJK radicals read
// back as the ideographs they were drawn for: Qt's PDF writer names a glyph
// shared by 日 and the radical ⽇ by the lower code point.
std::string PdfText(const std::string& pdf);

// Shift_JIS bytes of a UTF-8 literal, so tests can be written in readable
// Japanese; fails the test when the text has no Shift_JIS form.
std::string Sjis(const std::string& utf8);
// UTF-8 of Shift_JIS bytes, for messages and for comparing with peers.
std::string Utf8(const std::string& sjis);

// Path of a program built beside the tests (qimtool, qim).
std::string BuiltProgram(const std::string& name);

}  // namespace qimtest

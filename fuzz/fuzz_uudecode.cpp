// The viewer's uudecode over a mail of any content: every block found is
// written to the file the save dialog gives (inside the private folder).
#include <string>

#include "crypt/SUudecode.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string bytes(qimfuzz::Bytes(data, size));
    const std::string mail = qimfuzz::WriteInput("uumail", bytes);
    SUudecode decoder(nullptr, qimfuzz::PrivateDir());
    decoder.Run(mail.c_str());

    // The line pieces on their own, line by line.
    qimfuzz::ForEachLine(bytes, [](const std::string& line) {
        std::string name, out;
        int count = 0;
        (void)SUudecode::ParseBegin(line.c_str(), name);
        if (SUudecode::DecodeLine(line.c_str(), out, count) && count < 0) __builtin_trap();
        return true;
    });
    return 0;
}

// Header lines as they arrive: unfolding and decoding field by field, the
// encoded words of any charset, the JIS-keeping decoder, and the encoding
// back of what was decoded.
#include <string>
#include <vector>

#include "common/SHeaderMime.h"
#include "common/SHeaderWords.h"
#include "common/SMHUnfoldDecode.h"
#include "fuzz/FuzzSupport.h"

namespace {

// Keeps the fields and body lines it is handed, so they are read through.
class CollectingMail : public SMHUnfoldDecodeMail {
public:
    bool Action(const char* field) override {
        fields.emplace_back(field);
        return true;
    }
    bool ActionBody(const char* line) override {
        bodyBytes += std::string_view(line).size();
        return true;
    }
    std::vector<std::string> fields;
    std::size_t bodyBytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(qimfuzz::Bytes(data, size));

    // Line by line, each line with its LF, as the file readers hand them over.
    CollectingMail mail;
    mail.Init();
    qimfuzz::ForEachLine(bytes, [&](const std::string& line) { return mail.Execute(line.c_str()); });
    mail.Finish();

    // One line at a time through the static decoders (they stop at a NUL).
    const std::string line(bytes.c_str());
    std::vector<char> dest(line.size() + 1);
    SHeaderMime::DecodeALine(line.c_str(), dest.data());
    SHeaderMime::DecodeALineSjis(line.c_str(), dest.data());
    (void)DecodeHeaderUtf8(bytes);
    const std::string sjis = DecodeHeaderSjis(bytes);
    // What was decoded encodes again for the compose side.
    std::string encoded;
    SHeaderMime::EncodeALine(std::string(sjis.c_str()).c_str(), encoded);
    std::string unfolded = line;
    SHeaderMime::UnFolding(unfolded);
    return 0;
}

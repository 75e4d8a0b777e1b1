// The text of a part in whatever charset the mail names: the first line of
// the input is the label, the rest the bytes.
#include <string>

#include "common/SCharsetText.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = qimfuzz::Bytes(data, size);
    std::string_view charset;
    const std::size_t end = bytes.find('\n');
    if (end != std::string_view::npos && end <= 64) {
        charset = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
    }
    (void)TextToUtf8(charset, bytes);
    (void)TextToSjis(charset, bytes);
    (void)IsJisCharset(charset);
    return 0;
}

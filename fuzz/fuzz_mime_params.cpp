// The MIME header of a part: Content-Type and Content-Disposition parameters
// with RFC 2231 pieces and charsets, quoted encoded words, boundaries, as the
// line-driven analysis and the in-memory reading take them.
#include <string>

#include "common/SAnalizeMimeHeader.h"
#include "common/SMimeEntity.h"
#include "common/SStrTok.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(qimfuzz::Bytes(data, size));

    SAnalizeMimeHeader header;
    header.Init();
    qimfuzz::ForEachLine(bytes, [&](const std::string& line) { return header.Execute(line.c_str()); });
    header.Finish();
    (void)header.Part();
    (void)header.Boundary();

    // The first line as a Content-Type value, the second as a disposition.
    const std::size_t lf = bytes.find('\n');
    const std::string type = bytes.substr(0, lf);
    const std::string disposition = lf == std::string::npos ? std::string() : bytes.substr(lf + 1);
    (void)SMimeEntity::FileNameOf(type, disposition);
    std::string value;
    (void)SMimeEntity::ParamOf(type, "boundary", value);
    (void)SMimeEntity::ParamOf(type, "charset", value);

    std::string name;
    const std::string text = type.c_str();
    SAnalizeMimeHeader::GetName(text.c_str(), name, true, false);
    SAnalizeMimeHeader::GetName(text.c_str(), name, true, true);
    std::string work = text;
    SStrTok tokens(work.data());
    SAnalizeMimeHeader::TakeParam(&tokens, "name", name, true);
    return 0;
}

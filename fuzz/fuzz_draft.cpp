// An unsent mail of any content opened again: the header read back into the
// compose fields and the attachment record.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "send/SAttachmentList.h"
#include "send/SHalfwayHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string path = qimfuzz::WriteInput("draft", qimfuzz::Bytes(data, size));
    SHalfwayHeader header;
    SAttachmentList attachments;
    header.ReadDraft(path.c_str(), attachments);
    // What was read builds a draft again.
    SHalfwayHeader again;
    again.TakeFields(header);
    again.BuildDraft(0, attachments);
    return 0;
}

// A stored mail taken apart as the viewer does it: the parts listed, the
// counts, the display copy without binary parts, and the in-memory reading.
#include <string>
#include <vector>

#include "common/SAnalizeMimeMail.h"
#include "common/SDistMimeMail.h"
#include "common/SMimeEntity.h"
#include "fuzz/FuzzSupport.h"

namespace {

// Reads every part through its codec, as saving an attachment would.
class DecodingDistMail : public SDistMimeMail {
public:
    explicit DecodingDistMail(const char* path) : SDistMimeMail(nullptr, path) {}
    bool ActionPart(FILE* file, long start, long end, const SMimePart& part) override {
        return DecodeAndWrite(sink_, nullptr, start, end, part, scratch_.c_str());
    }
    FILE* sink_ = nullptr;
    std::string scratch_ = qimfuzz::PrivatePath("part.tmp");
};

// The in-memory entity and every part below it, as far as it opens them.
void Walk(std::string_view bytes, int depth) {
    SMimeEntity entity(bytes);
    (void)entity.FileName();
    (void)entity.Charset();
    (void)entity.DecodedBody();
    if (depth < SMimeEntity::kMaxDepth)
        for (std::string_view part : entity.Parts()) Walk(part, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string path = qimfuzz::WriteInput("mail", qimfuzz::Bytes(data, size));

    std::vector<SDecodeBand> bands;
    SAnalizeMimeMail analysis;
    analysis.AnalizeMimeMail(path.c_str(), &bands);
    for (const SDecodeBand& band : bands)
        if (band.start > band.end || band.end > static_cast<long>(size)) __builtin_trap();

    DecodingDistMail dist(path.c_str());
    if (dist.AnalizeMimeMail()) {
        (void)dist.Rfc822PartCount();
        (void)dist.EncodedTextPlainUsJpPartCount();
        (void)dist.BinaryPartCount(false);
        dist.SetContinueAfterFailure(true);
        dist.sink_ = std::fopen("/dev/null", "wb");
        if (dist.sink_) {
            dist.TakeBinaryFile(true);
            std::fclose(dist.sink_);
        }
        dist.MakeOmitBinaryFile(qimfuzz::PrivatePath("display").c_str(), qimfuzz::PrivatePath("scratch").c_str());
    }
    Walk(qimfuzz::Bytes(data, size), 0);
    return 0;
}

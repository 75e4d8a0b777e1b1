// A settings file of any content: every section and key listed and read in
// each form the program reads settings (text, number, hex bytes, the scrambled
// password), then a write and a removal that must keep the rest readable.
#include <cstring>
#include <string>
#include <vector>

#include "common/SCrypt.h"
#include "common/SpProfile.h"
#include "fuzz/FuzzSupport.h"
#include "platform/PrivateProfile.h"

namespace {

// The NUL-separated names of a listing.
std::vector<std::string> Names(const char* section, const char* file) {
    std::vector<char> buffer(8192);
    const unsigned n = platform::GetPrivateProfileString(section, nullptr, "", buffer.data(),
                                                         static_cast<unsigned>(buffer.size()), file);
    std::vector<std::string> names;
    for (unsigned i = 0; i < n && buffer[i];) {
        names.emplace_back(&buffer[i]);
        i += static_cast<unsigned>(names.back().size()) + 1;
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string file = qimfuzz::WriteInput("QIM.INI", qimfuzz::Bytes(data, size));
    platform::FlushPrivateProfile(file.c_str());

    const std::vector<std::string> sections = Names(nullptr, file.c_str());
    for (std::size_t s = 0; s < sections.size() && s < 16; ++s) {
        SpProfile profile(sections[s].c_str(), file.c_str());
        const std::vector<std::string> keys = Names(sections[s].c_str(), file.c_str());
        for (std::size_t k = 0; k < keys.size() && k < 64; ++k) {
            const char* key = keys[k].c_str();
            char small[8];
            profile.GetString(key, small, sizeof small, "");
            if (std::strlen(small) >= sizeof small) __builtin_trap();
            std::string value;
            profile.GetString(key, value, 1024, "");
            (void)profile.GetInt(key, 0);
            unsigned char bytes[16];
            (void)profile.GetBinary(key, bytes, sizeof bytes);
            std::string password;
            (void)SCrypt().GetProfile(profile, key, password);
        }
    }
    // A write must land and leave the file readable; so must a removal.
    SpProfile profile("Fuzz", file.c_str());
    char back[16];
    profile.GetString("Written", back, sizeof back, "absent");
    if (std::strcmp(back, "absent") != 0) return 0;  // a key given twice keeps its second
    if (!profile.WriteString("Written", "value")) return 0;
    profile.GetString("Written", back, sizeof back, "");
    if (std::strcmp(back, "value") != 0) __builtin_trap();
    profile.DeleteKey("Written");
    profile.GetString("Written", back, sizeof back, "gone");
    if (std::strcmp(back, "gone") != 0) __builtin_trap();
    return 0;
}

#include "crypt/SUsePGP.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <strings.h>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/QimMessageBox.h"
#include "platform/NativePath.h"
#include "platform/OutsideLibrary.h"
#include "platform/TextFile.h"

namespace {

void ShowStop(platform::ParentWindow parent, const std::string& text) {
    QimMessageBox(parent, text.c_str(), platform::MessageIcon::Stop);
}

// The prompt of the part dialog for an operation; the key dialog's for kind 1.
unsigned PromptId(std::int32_t kind, std::uint32_t operation) {
    if (kind == PGPMSG_CB_SELECT_KEY) return qimstr::PgpPromptKey;
    static const unsigned prompts[] = {qimstr::PgpPromptEncrypt, qimstr::PgpPromptSign, qimstr::PgpPromptEncryptSign,
                                       qimstr::PgpPromptDecrypt, qimstr::PgpPromptAttachKey};
    return operation < sizeof prompts / sizeof prompts[0] ? prompts[operation] : 0;
}

// A line of the file begins with one of `heads` (any case). Lines are read
// in pieces of 1024 bytes; only the start of a line counts.
bool HoldsLine(const char* path, const char* const* heads, int count) {
    platform::TextFile file;
    if (!file.Open(path, "r")) return false;
    char line[1024];
    bool lineStart = true;
    while (file.Gets(line, sizeof line)) {
        if (lineStart)
            for (int i = 0; i < count; ++i)
                if (strncasecmp(line, heads[i], std::strlen(heads[i])) == 0) return true;
        const std::size_t len = std::strlen(line);
        lineStart = len > 0 && line[len - 1] == '\n';
    }
    return false;
}

}  // namespace

const char* SUsePGP::LibraryName(int major, int minor) {
    if (major == 6 && minor == 0) return "libpgpmsg60.so";
    if (major == 5 && minor == 50) return "libpgpmsg55.so";
    return nullptr;
}

bool SUsePGP::Load(const char* name, platform::ParentWindow parent) {
    // The library stays mapped after Close: GPGME under it is not made to be unloaded.
    library_ = platform::OpenOutsideLibrary(name, RTLD_NODELETE);
    if (!library_) return false;
    init_ = reinterpret_cast<PgpMsgInitFunction>(dlsym(library_, PGPMSG_INIT_NAME));
    perform_ = reinterpret_cast<PgpMsgPerformFunction>(dlsym(library_, PGPMSG_PERFORM_NAME));
    exit_ = reinterpret_cast<PgpMsgExitFunction>(dlsym(library_, PGPMSG_EXIT_NAME));
    if (init_ && perform_ && exit_) return true;
    Close();
    return false;
}

bool SUsePGP::Open(int major, int minor, platform::ParentWindow parent) {
    if (initialised_ && major == major_ && minor == minor_) return true;
    if (major != major_ || minor != minor_) Close();
    const char* name = LibraryName(major, minor);
    if (!name) {
        ShowStop(parent, LoadQimString(qimstr::PgpIllegalVersion));
        return false;
    }
    if (!library_ && !Load(name, parent)) {
        // Without the library there is no PGP to work with.
        ShowStop(parent, LoadQimString(qimstr::PgpInitFailed) + LoadQimString(qimstr::PgpInitNoPgp) +
                             LoadQimString(qimstr::PgpInitFailedEnd));
        return false;
    }
    major_ = major;
    minor_ = minor;
    std::uint32_t version = PGPMSG_INTERFACE_VERSION;
    const std::int32_t result = init_(&version);
    if (result == PGPMSG_OK) {
        initialised_ = true;
        return true;
    }
    std::string detail;
    if (result == PGPMSG_ERR_VERSION) {
        char text[128];
        std::snprintf(text, sizeof text, LoadQimString(qimstr::PgpInitVersion).c_str(), int(version >> 24),
                      int((version >> 16) & 0xFF), char((version >> 8) & 0xFF), char(version & 0xFF));
        detail = text;
    } else if (result == PGPMSG_ERR_NO_PGP) {
        detail = LoadQimString(qimstr::PgpInitNoPgp);
    }
    ShowStop(parent, LoadQimString(qimstr::PgpInitFailed) + detail + LoadQimString(qimstr::PgpInitFailedEnd));
    return false;
}

bool SUsePGP::Perform(platform::ParentWindow owner, int operation, const char* inPath, const char* outPath) {
    if (operation < Encrypt || operation > AttachKey) {
        lastError_ = PGPMSG_ERR_OPERATION;
        return false;
    }
    if (!initialised_) {
        lastError_ = PGPMSG_ERR_NOT_READY;
        return false;
    }
    std::string in, out;
    if (!inPath || !outPath || !platform::ToNativePath(inPath, in) || !platform::ToNativePath(outPath, out)) {
        lastError_ = PGPMSG_ERR_REQUEST;
        return false;
    }
    PgpMsgRequest request{};
    request.size = sizeof request;
    request.owner = owner;
    request.operation = static_cast<std::uint32_t>(operation);
    request.input = in.c_str();
    request.output = out.c_str();
    request.callback = &SUsePGP::CallBack;
    lastError_ = perform_(&request);
    return lastError_ == PGPMSG_OK;
}

void SUsePGP::Close() {
    if (initialised_ && exit_) exit_();
    initialised_ = false;
    if (library_) dlclose(library_);
    library_ = nullptr;
    init_ = nullptr;
    perform_ = nullptr;
    exit_ = nullptr;
    major_ = minor_ = -1;
}

std::int32_t SUsePGP::CallBack(std::int32_t kind, void* data) {
    if (!data) return 0;
    if (kind == PGPMSG_CB_BOUNDARY) {
        std::snprintf(static_cast<char*>(data), PGPMSG_BOUNDARY_SIZE, "QimKuGiRi-%ld=_PGP",
                      static_cast<long>(std::time(nullptr)));
        return 1;
    }
    if (kind != PGPMSG_CB_SELECT_PART && kind != PGPMSG_CB_SELECT_KEY) return 0;
    PgpMsgSelectData* select = static_cast<PgpMsgSelectData*>(data);
    if (select->message == PGPMSG_DLG_INIT && select->dialog) {
        const unsigned caption = kind == PGPMSG_CB_SELECT_KEY ? qimstr::PgpSelectKey : qimstr::PgpSelectPart;
        std::snprintf(select->dialog->caption, sizeof select->dialog->caption, "%s", LoadQimString(caption).c_str());
        if (const unsigned prompt = PromptId(kind, select->operation))
            LoadQimString(prompt, select->dialog->prompt, sizeof select->dialog->prompt);
        select->result = 1;
    }
    return 1;
}

bool SUsePGP::HoldsPgpMessage(const char* path) {
    static const char* const heads[] = {"-----BEGIN PGP MESSAGE-----", "-----BEGIN PGP SIGNED MESSAGE-----",
                                        "-----BEGIN PGP SIGNATURE-----"};
    return HoldsLine(path, heads, 3);
}

bool SUsePGP::HoldsPgpKey(const char* path) {
    static const char* const heads[] = {"-----BEGIN PGP PUBLIC KEY BLOCK-----"};
    return HoldsLine(path, heads, 1);
}

// The viewer's preparation of a stored mail (the program's own encryption and
// the display copy), its list of attachments, and the text it shows in UTF-8.
#include <string>

#include "common/SHtmlText.h"
#include "common/SMailText.h"
#include "config/QimGlobals.h"
#include "crypt/SViewMailData.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        qimfuzz::InstallQuietDialogs();
        SetQimHome(qimfuzz::FreshFolder("home"));
        SetQimIniPath(qimfuzz::PrivatePath("home/QIM.INI"));
        return true;
    }();
    (void)ready;
    const std::string bytes(qimfuzz::Bytes(data, size));
    const std::string path = qimfuzz::WriteInput("home/1", bytes);
    {
        SViewMailData view;
        view.SetTempDir(qimfuzz::PrivateDir());
        view.Prepare(path, 1, "Inbox");
        (void)view.Attachments();
    }
    (void)MailViewUtf8(bytes);
    (void)MailTextUtf8(bytes);
    (void)HtmlToText(bytes);
    return 0;
}

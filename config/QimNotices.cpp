#include "config/QimNotices.h"

#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/SocketCodes.h"

std::string NoticeText(const SNotice& notice) {
    const std::string format =
        notice.table == SNoticeTable::Library ? LoadStringCmmnDll(notice.id) : LoadQimString(notice.id);
    return FormatNotice(format, notice.args);
}

SNotice SocketErrorNotice(const char* operation, int code) {
    return SNotice::Program(qimstr::SocketError,
                            {std::string(operation), std::string(platform::SocketErrorText(code)), static_cast<long>(code)});
}

void ShowNotice(const SNotice& notice, platform::ParentWindow parent) {
    QimMessageBox(parent, NoticeText(notice).c_str(), notice.icon);
}

void ShowNotices(const std::vector<SNotice>& notices, platform::ParentWindow parent) {
    for (const SNotice& n : notices) ShowNotice(n, parent);
}

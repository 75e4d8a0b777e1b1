// The MIME classes as a window uses them: their notices appear as boxes (the
// tests' scripted dialog service records them), in the order they come.
#pragma once

#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "common/SNotice.h"

namespace qimtest {

template <typename Base>
class ShownNotices : public Base {
public:
    using Base::Base;
    void Report(const SNotice& notice) override {
        QimMessageBox(nullptr, FormatNotice(LoadStringCmmnDll(notice.id), notice.args).c_str(), notice.icon);
    }
};

}  // namespace qimtest

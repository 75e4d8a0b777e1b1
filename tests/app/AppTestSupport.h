// A home directory and QIM.INI of their own for each test, and a look at what
// the settings files hold.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/QimGlobals.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "support/TestSupport.h"

namespace qimtest {

class QimHomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetQimProcessValues();
        home_ = dir_.File("QimHome");
        platform::CreateDirectory(home_.c_str());
        SetQimHome(home_);
        SetQimIniPath(home_ + "/QIM.INI");
    }
    void TearDown() override { ResetQimProcessValues(); }

    std::string Ini() const { return home_ + "/QIM.INI"; }
    std::string Config() const { return home_ + "/CONFIG.INI"; }

    // The stored text of a key, or "<none>" when the key is not there.
    static std::string Stored(const std::string& file, const char* section, const char* key) {
        char buffer[512];
        platform::GetPrivateProfileString(section, key, "<none>", buffer, sizeof buffer, file.c_str());
        return buffer;
    }
    static void Store(const std::string& file, const char* section, const char* key, const std::string& value) {
        ASSERT_TRUE(platform::WritePrivateProfileString(section, key, value.c_str(), file.c_str()));
    }

    TempDir dir_;
    std::string home_;
};

}  // namespace qimtest

#include "imap/SQimPSettingsCommands.h"

namespace {

SQimPSettingsMail* g_installed = nullptr;

}  // namespace

SQimPSettingsMail& QimPSettingsMail() {
    static SQimPSettingsMail none;
    return g_installed ? *g_installed : none;
}

SQimPSettingsMail* SetQimPSettingsMail(SQimPSettingsMail* mail) {
    SQimPSettingsMail* before = g_installed;
    g_installed = mail;
    return before;
}

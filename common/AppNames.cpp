#include "common/AppNames.h"

const char* GetAppName() { return "Qim"; }
const char* GetSendAppName() { return "QimSend"; }
const char* GetAppClassName() { return "QimWindowClass"; }
const char* GetQimPAppName() { return "QimP"; }

// The fixed names of the application: "Qim" is the caption of every message
// box and the main section of QIM.INI; "QimWindowClass" is the name under which
// a second start finds the running copy.
#pragma once

const char* GetAppName();       // "Qim"
const char* GetSendAppName();   // "QimSend", the compose window
const char* GetAppClassName();  // "QimWindowClass"
const char* GetQimPAppName();   // "QimP", the server-folder window

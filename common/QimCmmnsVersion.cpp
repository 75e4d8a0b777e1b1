#include "common/QimCmmnsVersion.h"

int QimCmmnsVersionMajor() { return 0; }
int QimCmmnsVersionMinor() { return 56; }

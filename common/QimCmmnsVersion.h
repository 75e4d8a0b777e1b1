// Version of the common library, as the programs that load it report it.
#pragma once

int QimCmmnsVersionMajor();
int QimCmmnsVersionMinor();

// Entry of the qim program.
#include "ui/TQimWindows.h"

int main(int argc, char** argv) { return RunQim(argc, argv); }

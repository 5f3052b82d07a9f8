#include "tools/dump/dump.h"

int main(int argc, char** argv) { return tw::RunDump(argc, argv, stdout, stderr); }

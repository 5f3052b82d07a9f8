#include "tools/dump/dump.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The writers produce their own line ends (CR LF for csv and html).
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return tw::RunDump(argc, argv, stdout, stderr);
}

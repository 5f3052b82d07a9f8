// tidewell-dump: the rows of index files, as the tab of each file's kind
// shows them.
#pragma once

#include <cstdio>

namespace tw {

// Exit codes: 0 every file dumped, 2 a file could not be dumped or the
// command line is wrong.
int RunDump(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace tw

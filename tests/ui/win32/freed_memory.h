// What the Windows tests have instead of a sanitizer for memory used after
// it was freed: in a program that links freed_memory.cpp, every block that
// operator delete frees is overwritten and held back for a while before it
// goes back to the heap. An object read after it was freed then holds
// pointers that lead nowhere (a call through its table, or into one of its
// containers, fails at once), and one written after it was freed is found
// here.
#pragma once

namespace tw::testing {

// Whether every block still held back holds only what it was overwritten with.
bool FreedMemoryIntact();

}  // namespace tw::testing

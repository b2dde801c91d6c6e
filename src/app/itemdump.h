// The item dump: consecutive items of given themes generated as in one session, printed as
// one JSON object per item, optionally saved as pictures. For teachers who want to look at
// items in bulk, and for the tests that check generators over thousands of seeds.
#pragma once
#include "app/commandline.h"
#include <cstdio>

namespace kav {

// Runs the dump; the exit status: 0, 1 with a one-line error when a picture library is
// missing or the pictures cannot be written (checked before the first item), 2 when a code
// has no items.
int RunItemDump(int argc, char** argv, const CommandLine& cl);
// Writes the items (the windows must exist); the exit status: 0, 1 when a picture cannot be
// written (with its message), 2 when a code has no generator.
int DumpItems(const ItemDumpOptions& options, std::FILE* out);

}  // namespace kav

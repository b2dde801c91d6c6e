// The item dump: consecutive items of given themes generated as in one session, printed as
// one JSON object per item, optionally saved as pictures. For teachers who want to look at
// items in bulk, and for the tests that check generators over thousands of seeds.
#pragma once
#include <QStringList>
#include <cstdio>

namespace kav {

// True when the arguments ask for the item dump (--items).
bool WantsItemDump(int argc, char** argv);
// Runs the dump; the exit status (0, or 2 with a one-line error for bad arguments).
int RunItemDump(int argc, char** argv);

struct ItemDumpOptions {
    QList<int> codes;
    int level = 1;
    int count = 1;
    std::uint32_t seed = 1;
    bool seedGiven = false;
    bool practice = false;
    QString pngFolder;
    QString screen;
};
// Parses the dump's arguments; an empty error means they are fine.
QString ParseItemDumpArguments(const QStringList& args, ItemDumpOptions& out);
// Writes the items (the windows must exist); false when a code has no generator.
bool DumpItems(const ItemDumpOptions& options, std::FILE* out);

}  // namespace kav

// Where the program's data lie: the two picture libraries and the five lessons.
#pragma once
#include <QStringList>

namespace kav {

// The folders to look in, in order: beside the program (a build folder), the share/kavrin2
// folder next to the program's bin/ (an installed copy, wherever its prefix), and the
// folder the program was installed for.
QStringList DataFolders();

}  // namespace kav

// Where the program's data lie: the two picture libraries and the five lessons. They are read
// only from the program's own folders, never from the working folder, so that a file of the
// same name lying wherever the program happens to be started cannot take their place.
#pragma once
#include <QString>
#include <QStringList>

namespace kav {

// The folders to look in, in order: beside the program (a build folder), the share/kavrin2
// folder next to the program's bin/ (an installed copy, wherever its prefix), and the
// folder the program was installed for.
QStringList DataFolders();

// Tests and tools: look only in these folders from now on (an empty list: the usual ones).
void SetDataFolders(const QStringList& folders);

// The path of that name in the first data folder that holds it (a file, or whatever else lies
// there under that name: the reader checks what it is); empty when no folder holds it.
QString FindDataFile(const QString& fileName);

}  // namespace kav

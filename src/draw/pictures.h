// The two picture libraries, "reskav2" (the program's pictures) and "boekhoud" (the
// bookkeeper game's pictures): binary resource files beside the program, opened once.
#pragma once
#include <QString>
#include <QStringList>

#include "draw/picture.h"

namespace kav {

enum class Library { Reskav2, Boekhoud };

// The file name of a library ("reskav2.rcc").
QString LibraryFileName(Library lib);
// Every picture the program asks for from the library, by name.
const QStringList& PictureNames(Library lib);
// Opens the library from the first of the program's data folders (draw/datafolders.h) that
// holds a readable file of it with every picture of PictureNames. False when none does: the
// file is missing, unreadable or lacks pictures. Opening twice is harmless.
bool OpenLibrary(Library lib);
bool LibraryIsOpen(Library lib);
// Where the library was looked for last (the path of the file, or the first place searched).
QString LibraryLookedFor(Library lib);
// The message shown when a library cannot be opened.
QString LibraryErrorMessage(Library lib);
void CloseLibraries();

// The picture of that name at its natural size; an empty picture when the library is
// not open or lacks the name.
Picture LoadPicture(Library lib, const QString& name);
inline Picture LoadPicture(const QString& name) { return LoadPicture(Library::Reskav2, name); }

}  // namespace kav

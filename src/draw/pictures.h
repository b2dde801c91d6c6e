// The two picture libraries, "reskav2" (the program's pictures) and "boekhoud" (the
// bookkeeper game's pictures): binary resource files beside the program, opened once.
#pragma once
#include <QString>

#include "draw/picture.h"

namespace kav {

enum class Library { Reskav2, Boekhoud };

// The file name of a library ("reskav2.rcc").
QString LibraryFileName(Library lib);
// Folders searched for the library files, in order: a folder set here (tests), the
// program's folder, the working directory.
void SetPictureFolder(const QString& folder);
// Opens the library; false when its file is missing or unreadable. Opening twice is harmless.
bool OpenLibrary(Library lib);
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

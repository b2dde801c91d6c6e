#include "draw/pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QResource>
#include <QSvgRenderer>
#include <memory>

#include "draw/datafolders.h"

namespace kav {

namespace {

struct LibraryState {
    bool open = false;
    QString path;
    QString lookedFor;
};

LibraryState states[2];
QHash<QString, Picture> cache;

int index(Library lib) { return lib == Library::Reskav2 ? 0 : 1; }
QString baseName(Library lib) { return lib == Library::Reskav2 ? QStringLiteral("reskav2") : QStringLiteral("boekhoud"); }
QString mapRoot(Library lib) { return QLatin1Char('/') + baseName(lib); }

}  // namespace

QString LibraryFileName(Library lib)
{
    return baseName(lib) + QStringLiteral(".rcc");
}

const QStringList& PictureNames(Library lib)
{
    static const QStringList reskav2 = {
        QStringLiteral("winner"), QStringLiteral("info"),  QStringLiteral("calc"),  QStringLiteral("uitleg"),
        QStringLiteral("smile"),  QStringLiteral("sad"),   QStringLiteral("muis"),  QStringLiteral("kikker"),
        QStringLiteral("huis1"),  QStringLiteral("huis2"), QStringLiteral("jeep1"), QStringLiteral("jeep2"),
        QStringLiteral("vogel"),
    };
    static const QStringList boekhoud = {
        QStringLiteral("kassa"),     QStringLiteral("hulp"), QStringLiteral("bediende"),
        QStringLiteral("assistent"), QStringLiteral("chef"), QStringLiteral("bedrijfsleider"),
        QStringLiteral("directeur"),
    };
    return lib == Library::Reskav2 ? reskav2 : boekhoud;
}

namespace {

QString PictureFile(Library lib, const QString& name)
{
    return QStringLiteral(":") + mapRoot(lib) + QLatin1Char('/') + name + QStringLiteral(".svg");
}

// Every picture of the list is in the registered library. The pictures themselves are read
// when they are first drawn: reading them all would cost the start-up a good deal.
bool HoldsEveryPicture(Library lib)
{
    for (const QString& name : PictureNames(lib))
        if (QFileInfo(PictureFile(lib, name)).size() <= 0)
            return false;
    return true;
}

}  // namespace

bool OpenLibrary(Library lib)
{
    LibraryState& st = states[index(lib)];
    if (st.open)
        return true;
    st.lookedFor.clear();
    for (const QString& folder : DataFolders()) {
        const QString path = QDir(folder).filePath(LibraryFileName(lib));
        if (st.lookedFor.isEmpty())
            st.lookedFor = path;
        if (!QFileInfo(path).isFile())
            continue;
        st.lookedFor = path;
        if (!QResource::registerResource(path, mapRoot(lib)))
            continue;
        st.open = true;
        st.path = path;
        // A library that opens but lacks pictures would give empty buttons and faces without
        // a word: it counts as missing.
        if (HoldsEveryPicture(lib))
            return true;
        QResource::unregisterResource(path, mapRoot(lib));
        st.open = false;
        st.path.clear();
    }
    return false;
}

bool LibraryIsOpen(Library lib)
{
    return states[index(lib)].open;
}

QString LibraryLookedFor(Library lib)
{
    const LibraryState& st = states[index(lib)];
    return st.lookedFor.isEmpty() ? LibraryFileName(lib) : st.lookedFor;
}

QString LibraryErrorMessage(Library lib)
{
    return QStringLiteral("ERROR bij lezen van DLL\r") + LibraryLookedFor(lib) +
           QStringLiteral("\rNeem contact op met \"Orvelaan\"");
}

void CloseLibraries()
{
    for (Library lib : {Library::Reskav2, Library::Boekhoud}) {
        LibraryState& st = states[index(lib)];
        if (st.open)
            QResource::unregisterResource(st.path, mapRoot(lib));
        st = LibraryState();
    }
    cache.clear();
}

Picture LoadPicture(Library lib, const QString& name)
{
    if (!states[index(lib)].open || name.isEmpty())
        return Picture();
    const QString key = baseName(lib) + QLatin1Char('/') + name;
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QString file = PictureFile(lib, name);
    Picture pic;
    // A name the library lacks gives an empty picture, without a warning on the way.
    auto svg = QFileInfo::exists(file) ? std::make_shared<QSvgRenderer>(file) : nullptr;
    if (svg && svg->isValid() && !svg->defaultSize().isEmpty())
        pic = Picture(svg->defaultSize(), svg);
    cache.insert(key, pic);
    return pic;
}

}  // namespace kav

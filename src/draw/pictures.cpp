#include "draw/pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
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

QString extraFolder;
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

void SetPictureFolder(const QString& folder)
{
    extraFolder = folder;
}

bool OpenLibrary(Library lib)
{
    LibraryState& st = states[index(lib)];
    if (st.open)
        return true;
    QStringList folders;
    if (!extraFolder.isEmpty())
        folders << extraFolder;
    folders << DataFolders() << QDir::currentPath();
    st.lookedFor.clear();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(LibraryFileName(lib));
        if (st.lookedFor.isEmpty())
            st.lookedFor = path;
        if (!QFileInfo(path).isFile())
            continue;
        st.lookedFor = path;
        if (QResource::registerResource(path, mapRoot(lib))) {
            st.open = true;
            st.path = path;
            return true;
        }
    }
    return false;
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
    auto svg = std::make_shared<QSvgRenderer>(QStringLiteral(":") + mapRoot(lib) + QLatin1Char('/') + name +
                                              QStringLiteral(".svg"));
    Picture pic;
    if (svg->isValid() && !svg->defaultSize().isEmpty()) {
        QImage img(svg->defaultSize(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        svg->render(&p);
        p.end();
        pic = Picture(img, svg);
    }
    cache.insert(key, pic);
    return pic;
}

}  // namespace kav

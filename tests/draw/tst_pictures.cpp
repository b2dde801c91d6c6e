// The two picture libraries: every picture the program asks for is there and drawn, the
// houses can be recoloured, and missing names or libraries give empty pictures.
#include <QDir>
#include <QTest>

#include "draw/canvas.h"
#include "draw/pictures.h"
#include "support.h"

using namespace testsupport;

namespace {

int opaquePixels(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 128;
    return n;
}

// The area of equal colour around (x, y) (4-connected), and whether it reaches the border.
int regionSize(const QImage& img, int x0, int y0, bool& touchesBorder)
{
    const QRgb c = img.pixel(x0, y0);
    QVector<QPoint> stack{QPoint(x0, y0)};
    QVector<bool> seen(img.width() * img.height(), false);
    int n = 0;
    touchesBorder = false;
    while (!stack.isEmpty()) {
        const QPoint p = stack.takeLast();
        if (!img.rect().contains(p) || seen[p.y() * img.width() + p.x()] || img.pixel(p) != c)
            continue;
        seen[p.y() * img.width() + p.x()] = true;
        ++n;
        if (p.x() == 0 || p.y() == 0 || p.x() == img.width() - 1 || p.y() == img.height() - 1)
            touchesBorder = true;
        stack << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
    }
    return n;
}

}  // namespace

class TestPictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        QVERIFY(kav::OpenLibrary(kav::Library::Boekhoud));
    }

    void everyPictureIsDrawn_data()
    {
        QTest::addColumn<int>("library");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("maxWidth");
        const int r = int(kav::Library::Reskav2), b = int(kav::Library::Boekhoud);
        const struct {
            int lib;
            const char* name;
            int lo, hi;
        } all[] = {{r, "winner", 60, 160},   {r, "info", 60, 160},    {r, "calc", 16, 48},
                   {r, "uitleg", 60, 160},   {r, "smile", 24, 96},    {r, "sad", 24, 96},
                   {r, "muis", 16, 64},      {r, "kikker", 16, 64},   {r, "huis1", 40, 40},
                   {r, "huis2", 40, 40},     {r, "jeep1", 32, 128},   {r, "jeep2", 32, 128},
                   {r, "vogel", 24, 96},     {b, "kassa", 100, 320},  {b, "hulp", 64, 200},
                   {b, "bediende", 64, 200}, {b, "assistent", 64, 200}, {b, "chef", 64, 200},
                   {b, "bedrijfsleider", 64, 200}, {b, "directeur", 64, 200}};
        for (const auto& p : all)
            QTest::newRow(p.name) << p.lib << QString::fromLatin1(p.name) << p.lo << p.hi;
    }

    void everyPictureIsDrawn()
    {
        QFETCH(int, library);
        QFETCH(QString, name);
        QFETCH(int, minWidth);
        QFETCH(int, maxWidth);
        const kav::Picture pic = kav::LoadPicture(kav::Library(library), name);
        QVERIFY(!pic.isNull());
        QVERIFY2(pic.width() >= minWidth && pic.width() <= maxWidth, qPrintable(QString::number(pic.width())));
        // A real drawing: a good part of the natural-size bitmap is covered, in several colours.
        const int covered = opaquePixels(pic.image());
        QVERIFY2(covered > pic.width() * pic.height() / 6, qPrintable(QString::number(covered)));
        QSet<QRgb> colours;
        for (int y = 0; y < pic.height(); y += 2)
            for (int x = 0; x < pic.width(); x += 2)
                if (qAlpha(pic.image().pixel(x, y)) == 255)
                    colours.insert(pic.image().pixel(x, y));
        QVERIFY(colours.size() >= 3);
        // Stretched onto a canvas it changes the picture there.
        kav::Canvas c(2 * pic.width(), 2 * pic.height());
        c.setBrush(kav::col::BtnFace);
        c.fillRect(0, 0, c.width(), c.height());
        c.stretchDraw(0, 0, c.width(), c.height(), pic);
        QVERIFY(CountColour(c.image(), kav::col::BtnFace) < c.width() * c.height() * 5 / 6);
    }

    void housesHaveARecolourableWall_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("newColour");
        QTest::newRow("huis1") << "huis1" << QPoint(20, 30) << kav::col::Gray;
        QTest::newRow("huis2") << "huis2" << QPoint(20, 20) << kav::col::Silver;
    }

    void housesHaveARecolourableWall()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, pixel);
        QFETCH(QColor, newColour);
        kav::Picture pic = kav::LoadPicture(name);
        QCOMPARE(pic.size(), QSize(40, 40));
        const QImage& img = pic.image();
        QCOMPARE(qAlpha(img.pixel(pixel)), 255);
        QVERIFY(QColor(img.pixel(pixel)).rgb() != newColour.rgb());
        bool border = false;
        const int size = regionSize(img, pixel.x(), pixel.y(), border);
        QVERIFY2(size >= 100 && size < 40 * 40 / 2, qPrintable(QString::number(size)));
        QVERIFY(!border);
        // Recoloured the way the houses of Dotland are: the whole area, nothing else.
        kav::Canvas c(40, 40);
        c.draw(0, 0, img);
        c.setBrush(newColour);
        c.floodFill(pixel.x(), pixel.y(), QColor(c.image().pixel(pixel)), kav::FillMode::Surface);
        QCOMPARE(c.pixel(pixel.x(), pixel.y()), newColour);
        QCOMPARE(CountColour(c.image(), newColour) - CountColour([&] {
                     kav::Canvas before(40, 40);
                     before.draw(0, 0, img);
                     return before.image();
                 }(), newColour),
                 size);
        // Editing the pixels keeps the edited bitmap for stretching.
        pic.editImage() = c.image();
        kav::Canvas big(160, 160);
        big.stretchDraw(0, 0, 160, 160, pic);
        QCOMPARE(big.pixel(pixel.x() * 4 + 2, pixel.y() * 4 + 2), newColour);
    }

    void missingNamesGiveEmptyPictures()
    {
        QVERIFY(kav::LoadPicture(QStringLiteral("olifant")).isNull());
        QVERIFY(kav::LoadPicture(kav::Library::Boekhoud, QStringLiteral("winner")).isNull());
        QVERIFY(kav::LoadPicture(QString()).isNull());
        kav::Canvas c(10, 10);
        c.stretchDraw(0, 0, 10, 10, kav::Picture());  // draws nothing, no crash
        QCOMPARE(CountColour(c.image(), Qt::white), 100);
    }

    // A library that opens but lacks a picture the program asks for counts as missing: the
    // program stops with its message instead of showing empty buttons and faces.
    void incompleteLibrariesAreRefused()
    {
        kav::CloseLibraries();
        const QString partial = QStringLiteral(KAVRIN_PARTIAL_LIBRARIES);
        kav::SetDataFolders({partial});
        for (kav::Library lib : {kav::Library::Reskav2, kav::Library::Boekhoud}) {
            QVERIFY(!kav::OpenLibrary(lib));
            QCOMPARE(kav::LibraryErrorMessage(lib), QStringLiteral("ERROR bij lezen van DLL\r%1\rNeem contact op met \"Orvelaan\"")
                                                        .arg(QDir(partial).filePath(kav::LibraryFileName(lib))));
        }
        // Not even the pictures it has are shown.
        QVERIFY(kav::LoadPicture(QStringLiteral("smile")).isNull());
        QVERIFY(kav::LoadPicture(kav::Library::Boekhoud, QStringLiteral("kassa")).isNull());

        // A complete library in a later data folder is taken.
        kav::SetDataFolders({partial, QStringLiteral(KAVRIN_BUILD_DIR)});
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        QCOMPARE(kav::LibraryLookedFor(kav::Library::Reskav2), QStringLiteral(KAVRIN_BUILD_DIR "/reskav2.rcc"));
        QVERIFY(!kav::LoadPicture(QStringLiteral("vogel")).isNull());
        UseBuildPictures();
    }

    // The list of pictures the program needs is the list of pictures drawn for it.
    void everyDrawnPictureIsNeeded()
    {
        for (kav::Library lib : {kav::Library::Reskav2, kav::Library::Boekhoud}) {
            const QString folder = QStringLiteral(KAVRIN_SOURCE_DIR "/resources/") +
                                   (lib == kav::Library::Reskav2 ? QStringLiteral("reskav2") : QStringLiteral("boekhoud"));
            QStringList drawn = QDir(folder).entryList({QStringLiteral("*.svg")});
            drawn.replaceInStrings(QStringLiteral(".svg"), QString());
            QStringList needed = kav::PictureNames(lib);
            drawn.sort();
            needed.sort();
            QCOMPARE(needed, drawn);
        }
    }

    void closedLibrariesGiveEmptyPictures()
    {
        kav::CloseLibraries();
        QVERIFY(kav::LoadPicture(QStringLiteral("smile")).isNull());
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));  // twice is harmless
        QVERIFY(!kav::LoadPicture(QStringLiteral("smile")).isNull());
        QVERIFY(kav::LibraryErrorMessage(kav::Library::Boekhoud).contains(QStringLiteral("boekhoud.rcc")));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"

// An item kept without pictures: drawn again as the pupil saw it at any size, with the random
// source left as it was; the pictures of items kept before made smaller in the background,
// through a kill halfway; and a pupil's results PDF that stays small.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "draw/measures.h"
#include "results/itemreplay.h"
#include "results/picturepacker.h"
#include "results/player.h"
#include "results/report.h"
#include "results/sample.h"
#include "results/store.h"

using namespace kav;
using testsupport::Play;

namespace {

// A count from the file on a connection of the test's own.
qint64 Count(const QString& path, const QString& sql)
{
    static int n = 0;
    const QString name = QStringLiteral("pictures-%1").arg(++n);
    qint64 value = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

bool Exec(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("pictures-exec");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString& sql : statements)
            ok = ok && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// The flat colours the program draws with.
const QList<QColor> FlatColours{col::BtnFace, col::Black, col::White, col::Red, col::Blue, col::Yellow, col::Lime};

}  // namespace

class TestResultsPictures : public QObject {
    Q_OBJECT
    testsupport::SessionPlayer player;

private slots:
    void initTestCase() { player.setUp(); }

    void recordingLeavesTheNumbersAlone()
    {
        SeedRandom(99);
        QVector<int> plain;
        for (int i = 0; i < 200; ++i)
            plain << Random(7 + i);
        std::vector<std::uint32_t> draws;
        SeedRandom(99);
        std::vector<std::uint32_t>* before = RecordRandom(&draws);
        QVector<int> recorded;
        for (int i = 0; i < 200; ++i)
            recorded << Random(7 + i);
        RecordRandom(before);
        QCOMPARE(recorded, plain);
        QVERIFY(draws.size() >= 200);
        // Played back, the numbers come again; after the last the source goes on its own.
        SeedRandom(5);
        ReplayRandom(&draws);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(Random(7 + i), plain[i]);
        ReplayRandom(nullptr);
    }

    // Items of every kind drawn again twice as large: the same texts, each twice as far in,
    // and the running session untouched; bytes that are not a kept item draw nothing.
    void itemsAreDrawnAgainAtAnySize()
    {
        const SessionResult r = player.playSession(-10, true, 2, testsupport::Sweep(12), 31);
        const RandomState random = SaveRandom();
        const SessionState state = Session();
        for (const ItemResult& item : r.items) {
            QVERIFY(item.redrawn());
            QVERIFY2(item.kept.size() < 2048, qPrintable(QString::number(item.kept.size())));
            const std::optional<RedrawnItem> one = RedrawItem(item.kept, 1, false, item.themeCode, item.rightAnswer);
            const std::optional<RedrawnItem> two = RedrawItem(item.kept, 2, false, item.themeCode, item.rightAnswer);
            QVERIFY(one && two);
            QCOMPARE(one->text.size(), item.textArea());
            QCOMPARE(two->picture.size(), item.pictureArea() * 2);
            QCOMPARE(one->texts.size(), item.texts.size());
            QCOMPARE(two->texts.size(), one->texts.size());
            for (int k = 0; k < one->texts.size(); ++k) {
                QCOMPARE(two->texts[k].text, one->texts[k].text);
                QVERIFY(qAbs(two->texts[k].y - 2 * one->texts[k].y) <= 4 + one->texts[k].y / 10);
            }
        }
        QVERIFY(SaveRandom() == random);
        QCOMPARE(Session().ItemCount, state.ItemCount);
        QCOMPARE(Session().ThemeCode, state.ThemeCode);
        const ItemResult& first = r.items.first();
        for (const QByteArray& bad : {QByteArray(), QByteArray("KIT1"), first.kept.left(first.kept.size() / 2),
                                      QByteArray(first.kept).replace(8, 4, "\xff\xff\xff\xff")})
            QVERIFY(!RedrawItem(bad, 1, false, first.themeCode, first.rightAnswer));
        // Another right answer than the item's: not the item, so not shown as it.
        QVERIFY(!RedrawItem(first.kept, 1, false, first.themeCode, first.rightAnswer + u'1'));
        QVERIFY(!RedrawItem(first.kept, 0, false, first.themeCode, first.rightAnswer));
        // Such an item shows its texts where they stood, and no picture.
        ItemResult other = first;
        other.rightAnswer += u'1';
        QVERIFY(other.pictureImage().isNull());
        const QImage texts = other.textImage();
        QCOMPARE(texts.size(), first.textArea());
        QVERIFY(testsupport::CountColour(texts, other.texts.first().color) > 0);
    }

    // A store of the previous version with full-colour pictures: its pictures made smaller in
    // the background by a process killed halfway, then finished by the next opening, while
    // saving and reading go on. Nothing is lost, and the flat colours keep every pixel.
    void oldPicturesAreMadeSmallerThroughAKill()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("resultaten.sqlite"));
        // Items as the previous version kept them: both areas as PNG at 1920 x 1080.
        Canvas picture(1209, 967), text(686, 1004);
        QVector<QImage> texts, pictures;
        qint64 bytesBefore = 0;
        {
            ResultStore store(path);
            for (int s = 0; s < 5; ++s) {
                SessionResult r = testsupport::SampleSession(QStringLiteral("Leerling %1").arg(s));
                r.uuid = NewSessionId();
                r.items.clear();
                for (int n = 1; n <= 12; ++n) {
                    ClearBitmap(&text, col::BtnFace);
                    ClearBitmap(&picture, col::BtnFace);
                    FrameBitmap(&picture, col::Black);
                    text.font.size = 14 + n % 5;
                    for (int line = 0; line < 12; ++line)
                        text.textOut(20, 10 + 40 * line, QStringLiteral("Opgave %1, regel %2: 3,75 × 12").arg(n).arg(line));
                    picture.setBrush(n % 2 ? col::Yellow : col::Lime);
                    picture.ellipse(40 + 5 * n, 50, 700 + 20 * n, 600);
                    picture.textOut(100, 700, QStringLiteral("%1 cm").arg(n * 7));
                    ItemResult i;
                    i.number = n;
                    i.themeCode = 11;
                    i.themeTitle = QStringLiteral("t");
                    i.firstAnswer = i.rightAnswer = QString::number(n);
                    i.textPng = PngBytes(text.image());
                    i.picturePng = PngBytes(picture.image());
                    bytesBefore += i.textPng.size() + i.picturePng.size();
                    texts << text.image();
                    pictures << picture.image();
                    r.items << i;
                }
                QVERIFY(store.save(r));
            }
        }
        QVERIFY(Exec(path, {QStringLiteral("DROP INDEX sessions_by_uuid"), QStringLiteral("DROP INDEX sessions_to_hand_in"),
                            QStringLiteral("ALTER TABLE sessions DROP COLUMN handed_in"),
                            QStringLiteral("ALTER TABLE items DROP COLUMN kept"),
                            QStringLiteral("ALTER TABLE items DROP COLUMN pictures_packed"),
                            QStringLiteral("PRAGMA user_version = 4")}));
        const qint64 total = texts.size();

        // The first run: killed once some batches are done and before all are.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ResultStore store(path);
            for (;;)
                pause();
        }
        qint64 packed = 0;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 120000) {
            packed = Count(path, QStringLiteral("SELECT COUNT(*) FROM items WHERE pictures_packed = 1"));
            if (packed > 0)
                break;
            QThread::usleep(500);
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        packed = Count(path, QStringLiteral("SELECT COUNT(*) FROM items WHERE pictures_packed = 1"));
        QVERIFY2(packed > 0 && packed < total, qPrintable(QString::number(packed)));

        // The second run finishes the work; the store is used meanwhile.
        {
            ResultStore store(path);
            QVERIFY(store.available());
            const qint64 id = store.save(testsupport::SampleSession(QStringLiteral("Tussendoor")));
            QVERIFY(id > 0);
            QCOMPARE(store.list().size(), 6);
            store.waitForPictures();
            QCOMPARE(Count(path, QStringLiteral("SELECT COUNT(*) FROM items WHERE pictures_packed = 0")), 0);
            qint64 bytesAfter = 0;
            int k = 0;
            for (const SessionSummary& s : store.list()) {
                if (s.id == id)
                    continue;
                const std::optional<SessionResult> r = store.load(s.id);
                QVERIFY(r);
                QCOMPARE(r->items.size(), 12);
                for (const ItemResult& i : r->items) {
                    bytesAfter += i.textPng.size() + i.picturePng.size();
                    const int at = (4 - (k / 12)) * 12 + i.number - 1;  // the list is newest first
                    ++k;
                    for (const auto& [stored, original] : {std::pair{i.textImage(), texts[at]},
                                                           std::pair{i.pictureImage(), pictures[at]}}) {
                        QCOMPARE(stored.size(), original.size());
                        const QImage a = stored.convertToFormat(QImage::Format_RGB32);
                        for (int y = 0; y < a.height(); y += 3)
                            for (int x = 0; x < a.width(); ++x) {
                                const QRgb o = original.pixel(x, y) | 0xff000000u;
                                if (FlatColours.contains(QColor(o)) && (a.pixel(x, y) | 0xff000000u) != o)
                                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 changed").arg(x).arg(y)));
                            }
                    }
                }
            }
            QVERIFY2(bytesAfter < bytesBefore * 2 / 3, qPrintable(QStringLiteral("%1 -> %2").arg(bytesBefore).arg(bytesAfter)));
        }
        QCOMPARE(Count(path, QStringLiteral("SELECT COUNT(*) FROM items")), total + 3);
        QCOMPARE(Count(path, QStringLiteral("SELECT COUNT(*) FROM pragma_integrity_check WHERE integrity_check = 'ok'")), 1);
        // A pass that went to the end is not made again: later openings read only what came after.
        QVERIFY(Exec(path, {QStringLiteral("UPDATE items SET pictures_packed = 0 WHERE rowid = 1")}));
        PackAllPictures(path, 10, nullptr);
        QCOMPARE(Count(path, QStringLiteral("SELECT pictures_packed FROM items WHERE rowid = 1")), 0);
    }

    // A pupil's copy of a coded test of 20 items, its pictures drawn again for paper.
    void aPupilsResultsPdfIsSmall()
    {
        SeedRandom(12);
        player.start(10, false, 1, QStringLiteral("Anna"), QStringLiteral("ABCDEFGHJK"), 20);
        std::mt19937 ways(3);
        for (int n = 0; n < 20; ++n)
            player.playItem(Play(ways() % 3));
        QTemporaryDir dir;
        // Through the store, as the results window and the corner read it.
        ResultStore store(dir.filePath(QStringLiteral("resultaten.sqlite")));
        const std::optional<SessionResult> kept = store.load(store.save(player.rec.finish()));
        QVERIFY(kept && kept->items.size() == 20);
        const SessionResult& r = *kept;
        for (const ItemResult& i : r.items)
            QVERIFY(i.redrawn() && !i.pictureImage().isNull());
        const QString pdf = dir.filePath(QStringLiteral("resultaten.pdf"));
        QString error;
        ReportOptions pupil;
        pupil.rightAnswers = false;
        QVERIFY(WriteReportPdf(pdf, {r}, pupil, &error));
        QVERIFY2(QFileInfo(pdf).size() <= 400 * 1024, qPrintable(QString::number(QFileInfo(pdf).size())));
    }
};

QTEST_MAIN(TestResultsPictures)
#include "tst_results_pictures.moc"

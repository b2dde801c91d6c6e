// The results store on real SQLite files in a temporary folder: what is written comes back
// whole, filters and removal, the upgrade of an older file, files that are damaged or not
// ours set aside with their bytes kept, and a folder that can't be written.
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <unistd.h>
#include <QtEndian>
#include <random>

#include <QSet>
#include <QUuid>

#include "results/sample.h"
#include "results/sessionqueries.h"
#include "results/store.h"
#include "session/testcode.h"

using namespace kav;
using testsupport::SampleSession;

namespace {

// A class code for a test of 20 items.
const QString Code20 = [] {
    TestCodeSettings t;
    t.themes = 0b111;
    t.length = 20;
    t.level = 2;
    t.seed = 4711;
    return EncodeTestCode(t).value();
}();

// A connection of the test's own, removed cleanly at the end of its scope.
struct RawDb {
    explicit RawDb(const QString& path)
    {
        static int n = 0;
        name = QStringLiteral("test-raw-%1").arg(++n);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawDb()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery q(db);
        return q.exec(sql);
    }
    qint64 number(const QString& sql)
    {
        QSqlQuery q(db);
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }
    QString name;
    QSqlDatabase db;
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray b(size, 0);
    for (char& c : b)
        c = char(rng());
    return b;
}

void compareItems(const ItemResult& a, const ItemResult& b)
{
    QCOMPARE(a.number, b.number);
    QCOMPARE(a.themeCode, b.themeCode);
    QCOMPARE(a.themeTitle, b.themeTitle);
    QCOMPARE(a.firstAnswer, b.firstAnswer);
    QCOMPARE(a.secondAnswer, b.secondAnswer);
    QCOMPARE(a.right, b.right);
    QCOMPARE(a.rightAnswer, b.rightAnswer);
    QCOMPARE(a.points, b.points);
    QCOMPARE(a.attempts, b.attempts);
    QCOMPARE(a.unfinished, b.unfinished);
    QCOMPARE(a.pictureAsAsked, b.pictureAsAsked);
    QCOMPARE(a.texts.size(), b.texts.size());
    for (int k = 0; k < a.texts.size(); ++k) {
        QCOMPARE(a.texts[k].text, b.texts[k].text);
        QCOMPARE(a.texts[k].x, b.texts[k].x);
        QCOMPARE(a.texts[k].y, b.texts[k].y);
        QCOMPARE(a.texts[k].color, b.texts[k].color);
        QCOMPARE(a.texts[k].size, b.texts[k].size);
        QCOMPARE(a.texts[k].bold, b.texts[k].bold);
    }
    QCOMPARE(a.textPng, b.textPng);
    QCOMPARE(a.picturePng, b.picturePng);
    QCOMPARE(a.kept, b.kept);
}

// The set-aside files beside the store.
QStringList asideFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("resultaten.sqlite.beschadigd-*")}, QDir::Files, QDir::Name);
}

}  // namespace

class TestResultsStore : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString folder, path;

private slots:
    void init()
    {
        // A connection left open or removed while in use is a warning: it fails the test.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("sql|connection|database"),
                                                QRegularExpression::CaseInsensitiveOption));
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        folder = dir->path() + QStringLiteral("/kavrin2");
        path = folder + QStringLiteral("/resultaten.sqlite");
    }

    void cleanup()
    {
        ResultStore::WaitForBackgroundWork();
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList());
        dir.reset();
    }

    void defaultPathFollowsXdg()
    {
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/srv/gegevens");
        QCOMPARE(ResultStore::DefaultPath(), QStringLiteral("/srv/gegevens/kavrin2/resultaten.sqlite"));
        // Unset, empty or relative: the default of the XDG rules.
        const QString home = QDir::homePath() + QStringLiteral("/.local/share/kavrin2/resultaten.sqlite");
        qputenv("XDG_DATA_HOME", "relatief/pad");
        QCOMPARE(ResultStore::DefaultPath(), home);
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(ResultStore::DefaultPath(), home);
        if (!old.isNull())
            qputenv("XDG_DATA_HOME", old);
    }

    void writesAndReadsBackEverything()
    {
        const SessionResult written = SampleSession(QStringLiteral("Ümit Çelik-de Boër"), QStringLiteral("abcde-fghjk"));
        qint64 id = 0;
        {
            ResultStore store(path);
            QVERIFY(store.available());
            QCOMPARE(store.takeNotice(), QString());
            id = store.save(written);
            QVERIFY(id > 0);
        }
        // The file is ours and of this version, in its header.
        const QByteArray header = bytesOf(path).left(100);
        QVERIFY(header.startsWith("SQLite format 3"));
        QCOMPARE(qFromBigEndian<qint32>(header.constData() + 68), ResultStore::ApplicationId);
        QCOMPARE(qFromBigEndian<qint32>(header.constData() + 60), ResultStore::SchemaVersion);

        ResultStore store(path);
        QVERIFY(store.available());
        QCOMPARE(store.takeNotice(), QString());
        const auto list = store.list();
        QCOMPARE(list.size(), 1);
        const SessionSummary& s = list[0];
        QCOMPARE(s.id, id);
        QCOMPARE(s.name, written.name);
        QCOMPARE(s.code, QStringLiteral("ABCDEFGHJK"));  // kept in its plain form
        QCOMPARE(s.started, written.started);
        QCOMPARE(s.sessionMode, 10);
        QCOMPARE(s.level, 2);
        QCOMPARE(s.points, 6);
        QCOMPARE(s.maxPoints, 12);
        QCOMPARE(s.items, 3);
        QCOMPARE(s.gradeText(), QStringLiteral("5,5"));
        QCOMPARE(s.status, SessionStatus::Completed);
        QCOMPARE(s.plannedItems, 3);
        QCOMPARE(s.uuid, written.uuid);

        const auto r = store.load(id);
        QVERIFY(r);
        QCOMPARE(r->id, id);
        QCOMPARE(r->name, written.name);
        QCOMPARE(r->sessionMode, written.sessionMode);
        QCOMPARE(r->practice, written.practice);
        QCOMPARE(r->level, written.level);
        QCOMPARE(r->started, written.started);
        QCOMPARE(r->ended, written.ended);
        QCOMPARE(r->started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), QStringLiteral("2026-12-07 14:05:01"));
        QCOMPARE(r->status, written.status);
        QCOMPARE(r->uuid, written.uuid);
        QCOMPARE(r->plannedItems, written.plannedItems);
        QCOMPARE(r->scoreText, QStringLiteral("006 uit 003"));
        QCOMPARE(r->points, written.points);
        QCOMPARE(r->maxPoints, written.maxPoints);
        QCOMPARE(r->items.size(), written.items.size());
        for (int k = 0; k < r->items.size(); ++k)
            compareItems(r->items[k], written.items[k]);
        // The pictures come back as the images that were drawn.
        QCOMPARE(r->items[1].pictureImage().convertToFormat(QImage::Format_RGB32),
                 testsupport::SampleImage(160, 160, QColor(255, 255, 0), 6));
        QCOMPARE(r->items[2].textImage().size(), QSize(120, 200));
        QVERIFY(!store.load(id + 1));
    }

    void keepsMillisecondsAndStoppedSessions()
    {
        SessionResult r = SampleSession(QStringLiteral("Bram"));
        r.started = QDateTime::currentDateTime();
        r.ended = r.started.addMSecs(61234);
        r.status = SessionStatus::NotStarted;
        r.plannedItems = 10;
        r.items.clear();
        r.points = 0;
        r.maxPoints = MaxSessionPoints(10, 0, 2);
        r.uuid.clear();  // one is given when there is none
        ResultStore store(path);
        const qint64 id = store.save(r);
        QVERIFY(id > 0);
        const auto back = store.load(id);
        QVERIFY(back);
        QCOMPARE(back->started, r.started);
        QCOMPARE(back->ended, r.ended);
        QCOMPARE(back->status, SessionStatus::NotStarted);
        QVERIFY(back->items.isEmpty());
        QVERIFY(!QUuid::fromString(back->uuid).isNull());
        QCOMPARE(store.list()[0].gradeText(), QStringLiteral("1,0"));
        QCOMPARE(store.list()[0].plannedItems, 10);
        // An item left niet af and a practice session without status come back as they went.
        SessionResult p = SampleSession(QStringLiteral("Cas"));
        p.practice = true;
        p.status = SessionStatus::None;
        p.plannedItems = 0;
        p.items[2].unfinished = true;
        p.items[0].pictureAsAsked = true;
        const qint64 practiceId = store.save(p);
        const auto practice = store.load(practiceId);
        QVERIFY(practice);
        QCOMPARE(practice->status, SessionStatus::None);
        QVERIFY(practice->items[2].unfinished && !practice->items[1].unfinished);
        QVERIFY(practice->items[0].pictureAsAsked && !practice->items[1].pictureAsAsked);
        QCOMPARE(store.list().last().id, practiceId);
        QCOMPARE(store.list().last().gradeText(), QString());
    }

    // A pupil's name corrected on one session, and many given one name; the ids stay.
    void renamesSessions()
    {
        ResultStore store(path);
        const qint64 a = store.save(SampleSession(QStringLiteral("akker")));
        const qint64 b = store.save(SampleSession(QStringLiteral("D. Akker")));
        const qint64 c = store.save(SampleSession(QStringLiteral("Eva")));
        const QString uuid = store.load(a)->uuid;
        QVERIFY(store.rename({a, b}, QStringLiteral("  Daan Bakker ")));
        QCOMPARE(store.load(a)->name, QStringLiteral("Daan Bakker"));
        QCOMPARE(store.load(b)->name, QStringLiteral("Daan Bakker"));
        QCOMPARE(store.load(c)->name, QStringLiteral("Eva"));
        QCOMPARE(store.load(a)->uuid, uuid);
        QVERIFY(!store.rename({c}, QStringLiteral("   ")));  // no empty names
        QCOMPARE(store.load(c)->name, QStringLiteral("Eva"));
    }

    void filtersByNameAndCode()
    {
        ResultStore store(path);
        const QDateTime t0(QDate(2026, 12, 7), QTime(9, 0));
        const qint64 a = store.save(SampleSession(QStringLiteral("Anna de Vries"), QStringLiteral("ABCDEFGHJK"), t0));
        const qint64 b = store.save(SampleSession(QStringLiteral("anna Bakker"), QString(), t0.addSecs(3600)));
        const qint64 c = store.save(SampleSession(QStringLiteral("Émile"), QStringLiteral("ABCDEFGHJK"), t0.addDays(1)));
        const qint64 d = store.save(SampleSession(QStringLiteral("Bram"), QStringLiteral("2345678923"), t0.addDays(-1)));
        auto ids = [](const QVector<SessionSummary>& l) {
            QList<qint64> r;
            for (const auto& s : l)
                r << s.id;
            return r;
        };
        QCOMPARE(ids(store.list()), (QList<qint64>{c, b, a, d}));  // newest first
        QCOMPARE(ids(store.list({QStringLiteral("ANNA"), {}})), (QList<qint64>{b, a}));
        QCOMPARE(ids(store.list({QStringLiteral(" émi "), {}})), (QList<qint64>{c}));
        QCOMPARE(ids(store.list({{}, QStringLiteral("abcde-fghjk")})), (QList<qint64>{c, a}));
        QCOMPARE(ids(store.list({QStringLiteral("anna"), QStringLiteral("ABCDE FGHJK")})), (QList<qint64>{a}));
        QCOMPARE(ids(store.list({QStringLiteral("niemand"), {}})), QList<qint64>());
        // A name with SQL in it is only a name.
        const qint64 e = store.save(SampleSession(QStringLiteral("x'); DROP TABLE sessions; --")));
        QCOMPARE(ids(store.list({QStringLiteral("drop table"), {}})), QList<qint64>{e});
        QCOMPARE(store.list().size(), 5);
    }

    // The corner's list a page at a time, counted, filtered and sorted in SQL: in the order of
    // every column the keys are those the table shows, and the pages together make the list.
    void listsInPagesInEveryOrder()
    {
        ResultStore store(path);
        const QDateTime t0(QDate(2026, 12, 7), QTime(9, 0));
        const QStringList names = {"Anna", "anna", "Émile", "émile", "Bram", "a*b", "a?b", "[x]", "50%_korting", "Daan"};
        const SessionStatus statuses[] = {SessionStatus::Completed, SessionStatus::Stopped, SessionStatus::NotStarted};
        constexpr int Sessions = 24;
        for (int k = 0; k < Sessions; ++k) {
            SessionResult r = SampleSession(names[k % names.size()], k % 3 ? Code20 : QString(), t0.addSecs(k % 5 * 60));
            r.sessionMode = QVector<int>{0, 10, 20, -10}[k % 4];
            r.practice = k % 5 == 0;
            r.level = 1 + k % 3;
            r.points = (k * 5) % 8 - 1;  // -1 and more than the maximum too
            r.maxPoints = k % 7 == 0 ? 0 : 6;
            r.status = r.practice ? SessionStatus::None : statuses[k % 3];
            QVERIFY(store.save(r) > 0);
        }
        auto number = [](qint64 v) { return QStringLiteral("%1").arg(v + 1000, 8, 10, QLatin1Char('0')); };
        auto key = [&number](const SessionSummary& s, SessionColumn c) {
            switch (c) {
            case SessionColumn::Name: {
                QString folded = s.name;  // SQLite's NOCASE folds ASCII only
                for (QChar& ch : folded)
                    if (ch >= u'A' && ch <= u'Z')
                        ch = ch.toLower();
                return folded;
            }
            case SessionColumn::Started: return s.started.toString(Qt::ISODateWithMs);
            case SessionColumn::Topic: return TopicName(s.sessionMode) + u'\x01' + number(s.practice);
            case SessionColumn::Level: return number(s.level);
            case SessionColumn::Code: return s.code;
            case SessionColumn::Grade: return number(s.practice ? -1 : GradeTenths(s.points, s.maxPoints));
            case SessionColumn::Status:
                return s.status == SessionStatus::None ? QStringLiteral("\u2014") : StatusName(s.status);
            }
            return QString();
        };
        for (SessionColumn c : {SessionColumn::Name, SessionColumn::Started, SessionColumn::Topic, SessionColumn::Level,
                                SessionColumn::Code, SessionColumn::Grade, SessionColumn::Status})
            for (bool descending : {false, true}) {
                const SessionOrder order{c, descending};
                const QVector<SessionSummary> all = store.rows({}, order, 0, -1);
                QCOMPARE(all.size(), Sessions);
                QCOMPARE(store.count({}), qint64(Sessions));
                QVector<qint64> ids, paged;
                for (qsizetype k = 0; k < all.size(); ++k) {
                    ids << all[k].id;
                    if (k == 0)
                        continue;
                    const QString a = key(all[k - 1], c), b = key(all[k], c);
                    const bool inOrder = descending ? (a > b || (a == b && all[k - 1].id > all[k].id))
                                                    : (a < b || (a == b && all[k - 1].id < all[k].id));
                    QVERIFY2(inOrder, qPrintable(QStringLiteral("column %1: %2 before %3").arg(int(c)).arg(a, b)));
                }
                for (qint64 offset = 0; offset < Sessions; offset += 7)
                    for (const SessionSummary& s : store.rows({}, order, offset, 7))
                        paged << s.id;
                QCOMPARE(paged, ids);
                QCOMPARE(store.ids({}, order), ids);
                QCOMPARE(store.ids({}, order, 20, 10), ids.mid(20));
                const QHash<qint64, qint64> at = store.positions({}, order, {ids[3], ids[20], 99999});
                QCOMPARE(at, (QHash<qint64, qint64>{{ids[3], 3}, {ids[20], 20}}));
            }
        // A name's part in any case, its wildcards only characters; a code's part when asked.
        auto found = [&store](const ResultFilter& f) {
            QStringList n;
            for (const SessionSummary& s : store.rows(f, {SessionColumn::Name, false}, 0, -1))
                if (!n.contains(s.name))
                    n << s.name;
            return store.count(f) == store.ids(f, {}).size() ? n : QStringList{QStringLiteral("miscounted")};
        };
        QCOMPARE(found({QStringLiteral("a*b")}), QStringList{"a*b"});
        QCOMPARE(found({QStringLiteral("?")}), QStringList{"a?b"});
        QCOMPARE(found({QStringLiteral("[X")}), QStringList{"[x]"});
        QCOMPARE(found({QStringLiteral("%_")}), QStringList{"50%_korting"});
        QCOMPARE(found({QStringLiteral("ÉMI")}), (QStringList{"Émile", "émile"}));
        QCOMPARE(store.count({{}, Code20.mid(2, 4), true}), qint64(16));
        QCOMPARE(store.count({{}, Code20.mid(2, 4)}), qint64(0));
        QCOMPARE(store.count({{}, GroupTestCode(Code20), true}), qint64(16));
        QCOMPARE(store.count({QStringLiteral("ann"), Code20.left(3), true}), qint64(4));  // k = 1, 10, 11, 20
        // The same statements in standard SQL find the same (ASCII) names.
        RawDb raw(path);
        const SqlSessionRows standard(raw.name, SqlDialect::Standard, [](QSqlQuery& q) { return q.exec(); });
        for (const QString& name : {QStringLiteral("ANN"), QStringLiteral("%_"), QStringLiteral("a?b"), QString()}) {
            const ResultFilter f{name, Code20.left(2), true};
            QCOMPARE(standard.count(f), store.count(f));
            QCOMPARE(standard.ids(f, {SessionColumn::Grade, false}), store.ids(f, {SessionColumn::Grade, false}));
        }
    }

    void removesSessionsWithTheirItems()
    {
        QList<qint64> ids;
        {
            ResultStore store(path);
            for (int k = 0; k < 4; ++k)
                ids << store.save(SampleSession(QStringLiteral("Leerling %1").arg(k)));
            QVERIFY(store.remove({ids[1], ids[3]}));
            QCOMPARE(store.list().size(), 2);
            QVERIFY(!store.load(ids[1]));
            QVERIFY(store.load(ids[0]));
            QVERIFY(store.remove({}));
            QVERIFY(store.remove({ids[1]}));  // already gone
            QCOMPARE(store.list().size(), 2);
        }
        RawDb raw(path);
        QCOMPARE(raw.number(QStringLiteral("SELECT COUNT(*) FROM items")), 6);
        QCOMPARE(raw.number(QStringLiteral("SELECT COUNT(*) FROM items WHERE session_id IN (%1, %2)")
                                .arg(ids[1])
                                .arg(ids[3])),
                 0);
    }

    void aFailedWriteLeavesNothingAndTheNextOneWorks()
    {
        ResultStore store(path);
        const qint64 first = store.save(SampleSession(QStringLiteral("Eerste")));
        QVERIFY(first > 0);
        SessionResult bad = SampleSession(QStringLiteral("Dubbel"));
        bad.items[2].number = 1;  // two items with one number can't both be kept
        QCOMPARE(store.save(bad), 0);
        const QString told = store.takeNotice();
        QVERIFY(told.contains(QStringLiteral("kon niet worden bewaard")));
        QCOMPARE(store.list().size(), 1);  // no session without its items
        const qint64 second = store.save(SampleSession(QStringLiteral("Tweede")));
        QVERIFY(second > first);
        const auto back = store.load(second);
        QVERIFY(back);
        QCOMPARE(back->items.size(), 3);
        QCOMPARE(store.save(bad), 0);
        QVERIFY(store.takeNotice().contains(QStringLiteral("kon niet worden bewaard")));  // every time
        QCOMPARE(store.pendingCount(), 0);  // refused for what it holds: not tried again
        QCOMPARE(store.list().size(), 2);
    }

    void upgradesAnOlderFileInPlace()
    {
        QDir().mkpath(folder);
        {
            // The first layout: no texts of the text area.
            RawDb raw(path);
            QVERIFY(raw.exec(QStringLiteral(
                "CREATE TABLE sessions (id INTEGER PRIMARY KEY, name TEXT NOT NULL, code TEXT NOT NULL DEFAULT '',"
                " mode INTEGER NOT NULL, practice INTEGER NOT NULL, level INTEGER NOT NULL, started TEXT NOT NULL,"
                " ended TEXT NOT NULL, finished INTEGER NOT NULL, score TEXT NOT NULL, points INTEGER NOT NULL,"
                " max_points INTEGER NOT NULL)")));
            QVERIFY(raw.exec(QStringLiteral(
                "CREATE TABLE items (session_id INTEGER NOT NULL REFERENCES sessions(id), number INTEGER NOT NULL,"
                " theme INTEGER NOT NULL, title TEXT NOT NULL, answer1 TEXT NOT NULL, answer2 TEXT NOT NULL,"
                " correct INTEGER NOT NULL, right_answer TEXT NOT NULL, points INTEGER NOT NULL,"
                " attempts INTEGER NOT NULL, text_png BLOB, picture_png BLOB, PRIMARY KEY (session_id, number))")));
            QVERIFY(raw.exec(QStringLiteral(
                "INSERT INTO sessions VALUES (7, 'Oude Sessie', '', 20, 1, 3, '2025-03-01T10:00:00.000+01:00',"
                " '2025-03-01T10:20:00.000+01:00', 1, '006 uit 001', 6, 6)")));
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO items VALUES (7, 1, 21, 'Hoe groot is dat driehoeksgetal ?',"
                                            " '55', '', 1, '55', 6, 1, NULL, NULL)")));
            // A coded test of 20 stopped after 2 items, and an uncoded test stopped after 1.
            QVERIFY(raw.exec(QStringLiteral(
                "INSERT INTO sessions VALUES (8, 'Code', '%1', 0, 0, 2, '2025-03-01T11:00:00.000+01:00',"
                " '2025-03-01T11:05:00.000+01:00', 0, '008 uit 002', 8, 8)").arg(Code20)));
            QVERIFY(raw.exec(QStringLiteral(
                "INSERT INTO sessions VALUES (9, 'Zonder', '', 0, 0, 2, '2025-03-01T12:00:00.000+01:00',"
                " '2025-03-01T12:05:00.000+01:00', 0, '004 uit 001', 4, 4)")));
            for (const char* item : {"(8, 1, 1, 't', '3', '', 1, '3', 4, 1, NULL, NULL)",
                                     "(8, 2, 2, 't', '4', '', 1, '4', 4, 1, NULL, NULL)",
                                     "(9, 1, 1, 't', '3', '', 1, '3', 4, 1, NULL, NULL)"})
                QVERIFY(raw.exec(QStringLiteral("INSERT INTO items VALUES ") + QLatin1String(item)));
            QVERIFY(raw.exec(QStringLiteral("PRAGMA application_id = %1").arg(ResultStore::ApplicationId)));
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 1")));
        }
        const QString asideBefore = asideFiles(folder).join(u',');
        {
            ResultStore store(path);
            QVERIFY(store.available());
            QCOMPARE(store.takeNotice(), QString());
            const auto old = store.load(7);
            QVERIFY(old);
            QCOMPARE(old->name, QStringLiteral("Oude Sessie"));
            QCOMPARE(old->started, QDateTime(QDate(2025, 3, 1), QTime(10, 0), Qt::OffsetFromUTC, 3600));
            QCOMPARE(old->items.size(), 1);
            QCOMPARE(old->items[0].firstAnswer, QStringLiteral("55"));
            QVERIFY(old->items[0].texts.isEmpty());
            QVERIFY(old->items[0].textPng.isEmpty());
            // Practice keeps no status; every session has an id of its own.
            QCOMPARE(old->status, SessionStatus::None);
            QCOMPARE(old->plannedItems, 0);
            const auto coded = store.load(8), uncoded = store.load(9);
            QVERIFY(coded && uncoded);
            QSet<QString> ids{old->uuid, coded->uuid, uncoded->uuid};
            QCOMPARE(ids.size(), 3);
            for (const QString& id : ids)
                QCOMPARE(QUuid::fromString(id).version(), QUuid::Random);
            // A coded one takes its code's length; the others keep their items as the maximum.
            QCOMPARE(coded->plannedItems, 20);
            QCOMPARE(coded->maxPoints, 80);
            QCOMPARE(coded->status, SessionStatus::Stopped);
            QCOMPARE(GradeWithNote(*coded), QStringLiteral("1,9 (opgaven: 2 van 20)"));
            QCOMPARE(uncoded->plannedItems, UnknownPlan);
            QCOMPARE(uncoded->maxPoints, 4);
            QCOMPARE(GradeWithNote(*uncoded), QStringLiteral("10,0 (gepland: onbekend)"));
            QVERIFY(!coded->items[0].pictureAsAsked && !coded->items[0].unfinished);
            const auto fresh = store.load(store.save(SampleSession(QStringLiteral("Nieuw"))));
            QVERIFY(fresh);
            QCOMPARE(fresh->items[0].texts.size(), 3);
        }
        QCOMPARE(asideFiles(folder).join(u','), asideBefore);
        RawDb raw(path);
        QCOMPARE(raw.number(QStringLiteral("PRAGMA user_version")), ResultStore::SchemaVersion);
        QCOMPARE(raw.number(QStringLiteral("SELECT COUNT(*) FROM sessions")), 4);
    }

    // The hand-in queue: every session kept before is waiting, a duplicate id from an older file
    // gets one of its own, and a session saved again is not kept twice.
    void keepsTheHandInQueue()
    {
        qint64 first = 0, second = 0;
        {
            ResultStore store(path);
            first = store.save(SampleSession(QStringLiteral("Anna")));
            second = store.save(SampleSession(QStringLiteral("Bram")));
        }
        {
            RawDb raw(path);  // back to the layout before the queue, with one id twice
            for (const char* sql : {"DROP INDEX sessions_by_uuid", "DROP INDEX sessions_to_hand_in",
                                    "ALTER TABLE sessions DROP COLUMN handed_in",
                                    "UPDATE sessions SET uuid = (SELECT uuid FROM sessions WHERE id = 1)",
                                    "PRAGMA user_version = 5"})
                QVERIFY2(raw.exec(QLatin1String(sql)), sql);
        }
        ResultStore store(path);
        QVERIFY(store.available());
        const QString kept = store.load(first)->uuid, renewed = store.load(second)->uuid;
        QVERIFY(kept != renewed);
        QCOMPARE(QUuid::fromString(renewed).version(), QUuid::Random);
        QCOMPARE(store.notHandedIn(), (QVector<qint64>{first, second}));
        QVERIFY(store.markHandedIn(first));
        QCOMPARE(store.notHandedIn(), QVector<qint64>{second});
        // Saved once more under its own id: the one kept is given back, nothing is added.
        SessionResult again = *store.load(second);
        QCOMPARE(store.save(again), second);
        QCOMPARE(store.list().size(), 2);
        QCOMPARE(store.load(second)->items.size(), 3);
    }

    // The hand-in's own store never sets a file aside: the window's store does, and tells.
    void aStoreWithoutUpkeepLeavesAForeignFileAlone()
    {
        QDir().mkpath(folder);
        writeBytes(path, randomBytes(8192, 11));
        {
            ResultStore store(path, false);
            QVERIFY(!store.available());
            QVERIFY(store.notHandedIn().isEmpty());
        }
        QCOMPARE(bytesOf(path), randomBytes(8192, 11));
        QVERIFY(asideFiles(folder).isEmpty());
    }

    void leavesAFileOfANewerVersionAlone()
    {
        QDir().mkpath(folder);
        {
            RawDb raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE sessions (id INTEGER PRIMARY KEY, later TEXT)")));
            QVERIFY(raw.exec(QStringLiteral("PRAGMA application_id = %1").arg(ResultStore::ApplicationId)));
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = %1").arg(ResultStore::SchemaVersion + 1)));
        }
        const QByteArray before = bytesOf(path);
        {
            ResultStore store(path);
            QVERIFY(!store.available());
            QVERIFY(store.takeNotice().contains(QStringLiteral("nieuwere versie")));
            QCOMPARE(store.save(SampleSession(QStringLiteral("Anna"))), 0);
        }
        QCOMPARE(bytesOf(path), before);
        QVERIFY(asideFiles(folder).isEmpty());
    }

    void setsAsideWhatIsNotOurs_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("random bytes") << 0;
        QTest::newRow("another program's database") << 1;
        QTest::newRow("ours, but damaged") << 2;
    }

    void setsAsideWhatIsNotOurs()
    {
        QFETCH(int, kind);
        QDir().mkpath(folder);
        if (kind == 0) {
            writeBytes(path, randomBytes(50000, 3));
        } else if (kind == 1) {
            RawDb raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)")));
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO notes (text) VALUES ('boodschappen')")));
        } else {
            {
                ResultStore store(path);
                for (int k = 0; k < 6; ++k)
                    QVERIFY(store.save(SampleSession(QStringLiteral("Leerling %1").arg(k))) > 0);
            }
            qint64 root = 0;
            {
                RawDb raw(path);
                root = raw.number(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'sessions'"));
            }
            QVERIFY(root > 1);
            QByteArray bytes = bytesOf(path);
            QVERIFY(bytes.size() > root * 4096);
            bytes.replace(int(root - 1) * 4096, 4096, randomBytes(4096, 9));  // the sessions' first page
            writeBytes(path, bytes);
        }
        // A journal beside a file that is not ours belongs to it and goes with it untouched.
        const bool journal = kind != 2;
        if (journal)
            writeBytes(path + QStringLiteral("-journal"), randomBytes(700, 4));
        const QByteArray before = bytesOf(path);
        qint64 id = 0;
        {
            ResultStore store(path);
            QVERIFY(store.available());
            const QString told = store.takeNotice();
            QVERIFY(told.contains(QStringLiteral("beschadigd")));
            QVERIFY(told.contains(store.setAsidePath()));
            QCOMPARE(store.takeNotice(), QString());
            QVERIFY(QRegularExpression(QStringLiteral("/resultaten\\.sqlite\\.beschadigd-\\d{8}-\\d{6}$"))
                        .match(store.setAsidePath())
                        .hasMatch());
            QCOMPARE(bytesOf(store.setAsidePath()), before);
            if (journal)
                QCOMPARE(bytesOf(store.setAsidePath() + QStringLiteral("-journal")), randomBytes(700, 4));
            QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
            id = store.save(SampleSession(QStringLiteral("Na het herstel")));
            QVERIFY(id > 0);
        }
        ResultStore again(path);
        QCOMPARE(again.takeNotice(), QString());
        QCOMPARE(again.list().size(), 1);
        const auto back = again.load(id);
        QVERIFY(back);
        QCOMPARE(back->name, QStringLiteral("Na het herstel"));
        QCOMPARE(asideFiles(folder).size(), journal ? 2 : 1);
    }

    void neverOverwritesAnEarlierSetAsideFile()
    {
        QDir().mkpath(folder);
        QStringList aside;
        for (unsigned k = 0; k < 3; ++k) {
            writeBytes(path, randomBytes(5000, 20 + k));
            ResultStore store(path);
            QVERIFY(store.available());
            aside << store.setAsidePath();
        }
        QCOMPARE(QSet<QString>(aside.begin(), aside.end()).size(), 3);
        for (unsigned k = 0; k < 3; ++k)
            QCOMPARE(bytesOf(aside[int(k)]), randomBytes(5000, 20 + k));
    }

    void aFolderThatCantBeWrittenIsToldEveryTime()
    {
        // A folder below a regular file can't be made, not even by root.
        writeBytes(dir->path() + QStringLiteral("/gewoon-bestand"), "tekst");
        const QString blocked = dir->path() + QStringLiteral("/gewoon-bestand/kavrin2/resultaten.sqlite");
        ResultStore store(blocked);
        QVERIFY(!store.available());
        const QString told = store.takeNotice();
        QVERIFY(told.contains(QStringLiteral("kunnen niet worden bewaard")));
        QVERIFY(told.contains(QStringLiteral("gewoon-bestand/kavrin2")));
        for (int k = 0; k < 2; ++k) {
            SessionResult anna = SampleSession(QStringLiteral("Anna %1").arg(k));
            anna.uuid = NewSessionId();
            QCOMPARE(store.save(anna), 0);
            QVERIFY(store.takeNotice().contains(QStringLiteral("Het resultaat kon niet worden bewaard: in de map ")));
        }
        QCOMPARE(store.pendingCount(), 2);
        QVERIFY(store.list().isEmpty());
        QVERIFY(!store.load(1));
        QVERIFY(!store.remove({1}));
        QCOMPARE(bytesOf(dir->path() + QStringLiteral("/gewoon-bestand")), QByteArray("tekst"));
    }

    void twoStoresAtOnce()
    {
        ResultStore a(path);
        ResultStore b(path);
        QVERIFY(a.available() && b.available());
        const qint64 id = a.save(SampleSession(QStringLiteral("Anna")));
        QVERIFY(id > 0);
        QCOMPARE(b.list().size(), 1);
        QVERIFY(b.remove({id}));
        QVERIFY(a.list().isEmpty());
        ResultStore::WaitForBackgroundWork();
        QCOMPARE(QSqlDatabase::connectionNames().size(), 2);
    }

    void aLockHeldElsewhereIsWaitedForAndNeverSetAside()
    {
        ResultStore::SetLockWait(400);
        {
            ResultStore store(path);
            QVERIFY(store.save(SampleSession(QStringLiteral("Eerste"))) > 0);
        }
        {
            // Another program holds the file in the classic journal: not even reading is possible.
            RawDb other(path);
            QVERIFY(other.exec(QStringLiteral("PRAGMA journal_mode = DELETE")));
            QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            const QByteArray before = bytesOf(path);
            ResultStore store(path);
            QVERIFY(!store.available());
            QCOMPARE(store.takeNotice(), QStringLiteral("De resultaten zijn even in gebruik door een ander venster of "
                                                        "programma. Probeer het zo opnieuw."));
            SessionResult waiting = SampleSession(QStringLiteral("Wachtend"));
            waiting.uuid = NewSessionId();
            QCOMPARE(store.save(waiting), 0);
            QVERIFY(store.takeNotice().startsWith(
                QStringLiteral("Het resultaat kon niet worden bewaard: de resultaten zijn in gebruik.")));
            QVERIFY(asideFiles(folder).isEmpty());
            QCOMPARE(bytesOf(path), before);
            QVERIFY(other.exec(QStringLiteral("COMMIT")));
            // Released: the next session takes the one kept in memory along.
            QVERIFY(store.save(SampleSession(QStringLiteral("Daarna"))) > 0);
            QCOMPARE(store.pendingCount(), 0);
            QCOMPARE(store.list().size(), 3);
        }
        {
            // A writer holding its lock in the write-ahead log: reading goes on, saving waits.
            ResultStore store(path);
            RawDb other(path);
            QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
            QCOMPARE(store.list().size(), 3);
            QCOMPARE(store.save(SampleSession(QStringLiteral("Geblokkeerd"))), 0);
            QCOMPARE(store.lastFailure(), StoreFailure::Busy);
            QVERIFY(other.exec(QStringLiteral("COMMIT")));
            QVERIFY(store.storePending());
            QCOMPARE(store.list().size(), 4);
        }
        QVERIFY(asideFiles(folder).isEmpty());
        ResultStore::SetLockWait(8000);
    }

    void aLongReadNeverHoldsUpASave()
    {
        ResultStore::SetLockWait(300);
        ResultStore store(path);
        QVERIFY(store.save(SampleSession(QStringLiteral("Eerste"))) > 0);
        RawDb reader(path);
        QVERIFY(reader.exec(QStringLiteral("BEGIN")));
        QSqlQuery q(reader.db);
        QVERIFY(q.exec(QStringLiteral("SELECT name FROM sessions")) && q.next());
        QVERIFY(store.save(SampleSession(QStringLiteral("Tweede"))) > 0);
        QVERIFY(!q.next());  // the reader still sees the file as it began
        q.finish();
        QVERIFY(reader.exec(QStringLiteral("COMMIT")));
        ResultStore::SetLockWait(8000);
    }

    void twoSaversAtOnce()
    {
        { ResultStore(path).list(); }
        auto saver = [this](const QString& who) {
            return QThread::create([this, who] {
                ResultStore store(path);
                for (int k = 0; k < 15; ++k) {
                    SessionResult r = SampleSession(who);
                    r.uuid = NewSessionId();
                    if (store.save(r) == 0)
                        return;
                }
            });
        };
        std::unique_ptr<QThread> a(saver(QStringLiteral("Anna"))), b(saver(QStringLiteral("Bram")));
        a->start();
        b->start();
        QVERIFY(a->wait(60000) && b->wait(60000));
        ResultStore store(path);
        QCOMPARE(store.list().size(), 30);
        QCOMPARE(store.list(ResultFilter{QStringLiteral("Bram"), QString()}).size(), 15);
    }

    void aFullDiskIsToldForEverySession()
    {
        ResultStore store(path);
        store.injectFailure(StoreFailure::DiskFull);
        for (int k = 0; k < 2; ++k) {
            SessionResult r = SampleSession(QStringLiteral("Leerling %1").arg(k));
            r.uuid = NewSessionId();
            QCOMPARE(store.save(r), 0);
            QVERIFY(store.takeNotice().startsWith(QStringLiteral("Het resultaat kon niet worden bewaard: de schijf is vol.")));
        }
        QCOMPARE(store.pendingCount(), 2);
        store.injectFailure(StoreFailure::None);
        QVERIFY(store.save(SampleSession(QStringLiteral("Leerling 2"))) > 0);
        QCOMPARE(store.pendingCount(), 0);
        QCOMPARE(store.list().size(), 3);
        // Each cause has its own words.
        const SessionResult later = SampleSession(QStringLiteral("Later"));
        for (auto [cause, words] : {std::pair{StoreFailure::OtherUser, "het bestand is van een andere gebruiker."},
                                    std::pair{StoreFailure::Busy, "de resultaten zijn in gebruik."},
                                    std::pair{StoreFailure::FolderReadOnly, "mag niet worden geschreven."}}) {
            store.injectFailure(cause);
            QCOMPARE(store.save(later), 0);
            QVERIFY(store.takeNotice().contains(QLatin1String(words)));
        }
        store.injectFailure(StoreFailure::None);
        QVERIFY(store.storePending());
        QCOMPARE(store.list().size(), 4);  // the same session once
    }

    // Run as an unprivileged user by tst_results_store_unprivileged (root may write anything).
    void aRefusedFileOrFolderIsToldSo()
    {
        if (geteuid() == 0)
            QSKIP("needs an unprivileged user");
        {
            ResultStore store(path);
            QVERIFY(store.save(SampleSession(QStringLiteral("Eerste"))) > 0);
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        {
            ResultStore store(path);
            store.takeNotice();
            QCOMPARE(store.save(SampleSession(QStringLiteral("Tweede"))), 0);
            QVERIFY(store.takeNotice().contains(QStringLiteral("is alleen-lezen.")));
            QVERIFY(asideFiles(folder).isEmpty());
        }
        // The read-only file's log and shared memory took its rights; without them SQLite must
        // make them anew in the folder.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        {
            ResultStore store(path);
            store.takeNotice();
            QCOMPARE(store.save(SampleSession(QStringLiteral("Derde"))), 0);
            const QString told = store.takeNotice();
            QVERIFY2(told.contains(QStringLiteral("mag niet worden geschreven.")), qPrintable(told));
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The second was lost with the file still refused when its store closed; the third was
        // kept in memory and written when its store closed.
        QCOMPARE(ResultStore(path).list().size(), 2);
    }

    // Removed sessions give their space back, in a new file at once and in a file from before
    // that once a quarter of it is free.
    void removingGivesSpaceBack()
    {
        for (bool older : {false, true}) {
            QFile::remove(path);
            QVector<qint64> ids;
            {
                ResultStore store(path);
                for (int k = 0; k < 20; ++k) {
                    SessionResult r = SampleSession(QStringLiteral("Leerling %1").arg(k));
                    r.items[0].picturePng = randomBytes(60000, unsigned(k));
                    ids << store.save(r);
                }
            }
            if (older) {  // as a file made before space was given back
                RawDb raw(path);
                QVERIFY(raw.exec(QStringLiteral("PRAGMA auto_vacuum = NONE")) && raw.exec(QStringLiteral("VACUUM")));
                QCOMPARE(raw.number(QStringLiteral("PRAGMA auto_vacuum")), 0);
            }
            const qint64 full = QFileInfo(path).size();
            QVERIFY(full > 20 * 60000);
            {
                ResultStore store(path);
                QVERIFY(store.remove(ids.mid(0, 15)));
                ResultStore::WaitForBackgroundWork();
                QCOMPARE(store.list().size(), 5);
            }
            QVERIFY2(QFileInfo(path).size() < full / 2, qPrintable(QStringLiteral("%1 of %2, older: %3").arg(QFileInfo(path).size()).arg(full).arg(older)));
            RawDb raw(path);
            QCOMPARE(raw.number(QStringLiteral("PRAGMA auto_vacuum")), 2);  // from now on by itself
        }
    }
};

QTEST_GUILESS_MAIN(TestResultsStore)
#include "tst_results_store.moc"

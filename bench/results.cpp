#include "results.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>
#include <map>
#include <random>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "measure.h"
#include "results/recorder.h"
#include "results/store.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/verdeler.h"

namespace bench {

namespace {

class QuietPort : public kav::AnswerPort {
public:
    void OpenAnswer(const QString&, const QString&) override {}
};

// The two drawing areas of the session window at a screen size, with the measures it sets.
struct Screen {
    Screen(int w, int h)
        : width(w), height(h), picture(kav::Round(645.0 * w / 1024), kav::Round(688.0 * h / 768)),
          text(kav::Round(366.0 * w / 1024), kav::Round(714.0 * h / 768))
    {
        kav::ScreenScale = w / 640.0;
        kav::TextMargin = kav::Round(8 * kav::ScreenScale);
        kav::SetAreaMeasures(picture, text, kav::Round(12 * kav::ScreenScale));
        kav::SetContext(&picture, &text, &port);
        kav::SetGamePort(nullptr);
        kav::SetExplanationHandler(&kav::Toelichting);
        kav::DecimalSeparator = u',';
    }
    int width, height;
    kav::Canvas picture, text;
    QuietPort port;
};

struct Player {
    Screen& screen;
    kav::SessionRecorder rec;
    std::mt19937 ways{7};
    double keeping = 0;  // of the last judgement: the recorder keeping the item

    void start(int n, const QString& name = QString())
    {
        static const int modes[] = {0, 10, 20, -10};
        kav::SessionState& s = kav::Session();
        kav::ClearSessionFlags();
        s.SessionMode = modes[n % 4];
        s.PracticeMode = (n / 4) % 2 == 1;  // every topic both ways
        s.TickedThemes = 0xFF;
        s.LevelIndex = n % 3;
        kav::SeedRandom(std::uint32_t(n + 1));
        kav::ResetSession(kav::Level());
        rec.start(name.isEmpty() ? QStringLiteral("Leerling %1").arg(n) : name, QString(), s.SessionMode, s.PracticeMode,
                  kav::Level(), 0);
    }
    void next()
    {
        kav::SessionState& s = kav::Session();
        kav::ClearBitmap(&screen.text, kav::col::BtnFace);
        if (s.Attempt == 0) {
            kav::ClearBitmap(&screen.picture, kav::col::BtnFace);
            kav::FrameBitmap(&screen.picture, kav::col::Black);
            kav::NextScheduledItem();
            s.Attempt = 1;
        } else {
            kav::Verdeler();
        }
    }
    // Judges an answer as the window does, and the window's repaint of its two areas; the
    // milliseconds from Enter to the repaint.
    double answer(bool right)
    {
        kav::SessionState& s = kav::Session();
        QString typed;
        if (s.AnswerKind == 2) {
            s.GivenDecimal = right ? s.ExpectedDecimal : s.ExpectedDecimal + 1000;
            typed = kav::FormatDecimal(s.GivenDecimal, 2, u',');
        } else {
            s.GivenAnswer = right ? s.ExpectedAnswer : s.ExpectedAnswer + 1000;
            typed = QString::number(s.GivenAnswer);
        }
        const double from = WallMs();
        rec.aboutToJudge();
        kav::Judge(typed);
        const double kept = WallMs();
        rec.judged(typed);
        keeping = WallMs() - kept;
        QImage window(screen.width, screen.height, QImage::Format_RGB32);
        QPainter p(&window);
        p.drawImage(0, 0, screen.text.image());
        p.drawImage(screen.text.width(), 0, screen.picture.image());
        p.end();
        return WallMs() - from;
    }
    // One item played at random: right at once, right at the second, or wrong twice. The
    // time of its final judgement.
    double item()
    {
        const int way = int(ways() % 3);
        next();
        double ms = answer(way == 0);
        if (way != 0) {
            next();
            ms = answer(way == 1);
        }
        return ms;
    }
};

long ResidentKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

void StoreGrowth(int w, int h, int sessions, int items)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("resultaten.sqlite"));
    qint64 before = 0;
    int stored = 0;
    {
        kav::ResultStore store(path);
        before = QFileInfo(path).size();
        Screen screen(w, h);
        Player player{screen};
        for (int n = 0; n < sessions; ++n) {
            player.start(n);
            for (int i = 0; i < items; ++i)
                player.item();
            const kav::SessionResult r = player.rec.finish();
            if (store.save(r))
                stored += int(r.items.size());
        }
    }
    const double perItem = stored ? double(QFileInfo(path).size() - before) / stored : 0;
    std::printf("  at %-9s %5d items: %7.0f bytes per item  %s (goal <= 4096)\n",
                (std::to_string(w) + "x" + std::to_string(h)).c_str(), stored, perItem, perItem <= 4096 ? " " : "!");
    if (w != 1920)
        return;
    // By theme: the item's own row (texts, kept state, answers), the file's pages aside.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-items"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT theme, COUNT(*), AVG(length(texts) + length(kept) + length(title)"
                                  " + length(answer1) + length(answer2) + length(right_answer) + 24),"
                                  " MAX(length(texts) + length(kept) + length(title) + length(answer1)"
                                  " + length(answer2) + length(right_answer) + 24) FROM items GROUP BY theme"));
            std::printf("    %-7s %6s %10s %10s\n", "theme", "items", "mean", "largest");
            while (q.next())
                std::printf("    %-7d %6d %8.0f B %8d B\n", q.value(0).toInt(), q.value(1).toInt(),
                            q.value(2).toDouble(), q.value(3).toInt());
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-items"));
}

void JudgementTimes(int w, int h, int items)
{
    Screen screen(w, h);
    Player player{screen};
    player.start(7);  // practice of the mixed challenge: every theme, worked explanations
    // As in a window that has drawn its first items: the fonts' caches hold this size.
    for (int i = 0; i < 3; ++i)
        player.item();
    std::vector<double> ms, keeping;
    int slowest = 0, number = 0;
    for (int i = 0; i < items; ++i) {
        ms.push_back(player.item());
        keeping.push_back(player.keeping);
        if (ms.back() >= Percentile(ms, 100)) {
            slowest = kav::Session().ThemeCode;
            number = i + 1;
        }
    }
    player.rec.finish();
    const double median = Median(ms), p95 = Percentile(ms, 95), worst = Percentile(ms, 100);
    std::printf("  at %-9s median %6.2f ms, 95%% %6.2f ms, largest %6.2f ms (item %d, theme %d)  %s (goal <= 16 ms)\n",
                (std::to_string(w) + "x" + std::to_string(h)).c_str(), median, p95, worst, number, slowest,
                worst <= 16 ? " " : "!");
    std::printf("  %-12s of which keeping the item: median %6.3f ms, largest %6.3f ms\n", "",
                Median(keeping), Percentile(keeping, 100));
}

void SessionMemory(int items)
{
    Screen screen(1920, 1080);
    Player player{screen};
    player.start(5);  // practice of Verhoudingen
    for (int i = 0; i < 20; ++i)  // the drawing's own caches filled first
        player.item();
    const long start = ResidentKb();
    long at100 = start;
    for (int i = 0; i < items; ++i) {
        player.item();
        if (i + 1 == 100)
            at100 = ResidentKb();
    }
    const long end = ResidentKb();
    player.rec.finish();
    const double growth = (end - start) / 1024.0;
    std::printf("  after 100 items %+7.2f MB, after %d items %+7.2f MB  %s (goal: flat, <= 2 MB over %d items)\n",
                (at100 - start) / 1024.0, items, growth, growth <= 2 ? " " : "!", items);
}

}  // namespace

bool PlayIntoStore(const QString& path, const QString& name, int sessions, int items)
{
    kav::ResultStore store(path);
    Screen screen(1024, 768);
    Player player{screen};
    for (int n = 0; n < sessions; ++n) {
        player.start(n, name);
        for (int i = 0; i < items; ++i)
            player.item();
        if (store.save(player.rec.finish()) == 0)
            return false;
    }
    return true;
}

void ResultFigures(int sessions, int items, int memoryItems)
{
    std::printf("\nThe results store's growth per item, %d sessions of %d items, every theme, each item kept\n"
                "so that it is drawn again as the pupil saw it:\n",
                sessions, items);
    for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1920, 1080}, std::pair{3840, 2160}})
        StoreGrowth(w, h, sessions, items);
    std::printf("\nThe final judgement, from Enter to the window's two areas repainted (judge, keeping the item,\n"
                "drawing the areas), %d items after the first three:\n", memoryItems / 5);
    JudgementTimes(1920, 1080, memoryItems / 5);
    JudgementTimes(3840, 2160, memoryItems / 5);
    std::printf("\nA practice session's resident memory at 1920x1080, against its start:\n");
    SessionMemory(memoryItems);
}

}  // namespace bench

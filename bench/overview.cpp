#include "overview.h"

#include <QElapsedTimer>
#include <QUuid>
#include <cstdio>

#include "results/classoverview.h"
#include "results/store.h"
#include "session/catalogue.h"
#include "session/testcode.h"
#include "windows/classoverviewform.h"

namespace bench {

namespace {

const char* const Names[] = {"Aïsha", "Bram", "Chloë", "Daan", "Emma", "Finn", "Gijs", "Hanna", "Ibrahim", "Julia",
                             "Kees", "Lotte", "Milan", "Noor", "Owen", "Puck", "Quinten", "Roos", "Sem", "Tess",
                             "Umut", "Vera", "Wout", "Xander", "Yara", "Zoë", "Anouk", "Bas", "Charlotte van der Berg",
                             "Dewi"};
constexpr int Items = 20, Level = 2;

// A small mixing hash, so every pupil answers differently but the same every run.
unsigned Mix(unsigned a, unsigned b)
{
    unsigned h = a * 2654435761u ^ (b + 0x9e3779b9u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 2246822519u;
    return h ^ (h >> 13);
}

kav::SessionResult Session(const QString& code, const QString& name, int pupil, int attempt)
{
    kav::SessionResult r;
    r.name = name;
    r.code = code;
    r.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r.sessionMode = 10;
    r.level = Level;
    r.started = QDateTime(QDate(2026, 12, 7), QTime(9, 0)).addSecs(pupil * 37 + attempt * 86400);
    r.plannedItems = Items;
    // How strong the pupil is, and where some stop.
    const int strength = 35 + int(Mix(pupil, 1) % 60);
    const int done = pupil == 7 ? 0 : pupil % 11 == 4 ? 6 + pupil % 5 : attempt == 0 && pupil == 12 ? 3 : Items;
    for (int k = 0; k < done; ++k) {
        kav::ItemResult i;
        i.number = k + 1;
        i.themeCode = 11 + int(Mix(k, 99) % 7);
        i.themeTitle = kav::ThemeTitle(i.themeCode);
        i.rightAnswer = QString::number(10 + int(Mix(k, 5) % 90));
        // Later items are harder.
        const int roll = int(Mix(pupil * 31 + attempt, k) % 100) + k * 2;
        i.right = roll < strength + 15;
        i.attempts = roll < strength ? 1 : 2;
        i.firstAnswer = i.attempts == 1 ? i.rightAnswer : QStringLiteral("7");
        i.secondAnswer = i.attempts == 2 ? (i.right ? i.rightAnswer : QStringLiteral("8")) : QString();
        i.points = i.right ? kav::MaxItemPoints(Level) / i.attempts : 0;
        r.points += i.points;
        r.items.append(i);
    }
    r.status = done == Items ? kav::SessionStatus::Completed : done == 0 ? kav::SessionStatus::NotStarted
                                                                         : kav::SessionStatus::Stopped;
    r.ended = r.started.addSecs(40 * done + int(Mix(pupil, 3) % 300));
    r.maxPoints = kav::MaxSessionPoints(Items, done, Level);
    r.scoreText = QStringLiteral("%1 uit %2").arg(r.points, 3, 10, QLatin1Char('0')).arg(done, 3, 10, QLatin1Char('0'));
    return r;
}

}  // namespace

QString ClassCode()
{
    kav::TestCodeSettings s;
    s.sessionMode = 10;
    s.themes = 0b1111111;
    s.level = Level;
    s.length = Items;
    s.seed = 20261207u;
    return kav::EncodeTestCode(s).value();
}

QVector<kav::SessionResult> ClassOfThirty(const QString& code)
{
    QVector<kav::SessionResult> out;
    for (int pupil = 0; pupil < 30; ++pupil) {
        out.append(Session(code, QString::fromUtf8(Names[pupil]), pupil, 0));
        if (pupil == 12)  // stopped the first time, made it again the next day
            out.append(Session(code, QString::fromUtf8(Names[pupil]), pupil, 1));
    }
    return out;
}

void ClassOverviewFigures(const QString& path)
{
    {
        kav::ResultStore store(path);
        for (const kav::SessionResult& r : ClassOfThirty(ClassCode()))
            store.save(r);
    }
    kav::ResultStore store(path);
    // The median of five openings, as the corner's button opens it (the store already open).
    std::vector<double> times;
    int pupils = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        QVector<kav::SessionResult> sessions;
        for (const kav::SessionSummary& s : store.list(kav::ResultFilter{QString(), ClassCode()}))
            if (auto r = store.load(s.id, false))
                sessions.append(std::move(*r));
        const kav::ClassOverview o = kav::MakeClassOverview(sessions);
        auto* form = new kav::TKlasoverzichtForm(o, &store);
        form->layoutForScreen(QSize(1920, 1080));
        times.push_back(clock.nsecsElapsed() / 1e6);
        pupils = int(o.pupils.size());
        delete form;
    }
    std::sort(times.begin(), times.end());
    std::printf("  %-44s %10.1f ms %s (goal <= 300 ms; %d pupils, median of 5)\n", "the class overview opens", times[2],
                times[2] <= 300 ? " " : "!", pupils);
}

int StoreClass()
{
    kav::ResultStore store;
    if (!store.available())
        return 1;
    for (const kav::SessionResult& r : ClassOfThirty(ClassCode()))
        if (store.save(r) == 0)
            return 1;
    std::printf("%s\n", qPrintable(kav::GroupTestCode(ClassCode())));
    return 0;
}

}  // namespace bench

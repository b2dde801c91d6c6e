#include "results/classoverview.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <algorithm>
#include <numeric>
#include <optional>

#include "results/store.h"
#include "session/testcode.h"

namespace kav {

namespace {

QString NameKey(const QString& name)
{
    return name.simplified().toCaseFolded();
}

ItemMark MarkOf(const ItemResult& item)
{
    if (item.unfinished)
        return ItemMark::NotDone;  // stopped before the second answer: not judged to the end
    if (item.rightAtFirst())
        return ItemMark::RightFirst;
    if (item.right)
        return ItemMark::RightSecond;
    return ItemMark::Wrong;
}

// What makes item k the same for everybody: its theme and its right answer (the code seeds the
// generator, so both follow from it whatever the pupil answers).
QString ItemKey(const ItemResult& item)
{
    return QString::number(item.themeCode) + u'|' + item.rightAnswer;
}

QDateTime LastMoment(const SessionResult& s)
{
    return s.ended.isValid() ? s.ended : s.started;
}

// The session of a pupil that the overview shows: the last finished one, else the last.
const SessionResult* Chosen(const QVector<const SessionResult*>& mine)
{
    const SessionResult* best = nullptr;
    auto later = [](const SessionResult* a, const SessionResult* b) {
        const QDateTime ta = LastMoment(*a), tb = LastMoment(*b);
        return ta != tb ? ta > tb : a->id > b->id;
    };
    for (const SessionResult* s : mine) {
        const bool done = s->status == SessionStatus::Completed;
        const bool bestDone = best && best->status == SessionStatus::Completed;
        if (!best || (done && !bestDone) || (done == bestDone && later(s, best)))
            best = s;
    }
    return best;
}

}  // namespace

int WholeGrade(int gradeTenths)
{
    return std::clamp((gradeTenths + 5) / 10, 1, 10);
}

QString PValueText(double p)
{
    return QString::number(std::clamp(p, 0.0, 1.0), 'f', 2).replace(u'.', u',');
}

QString ClockText(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    const QString ms = QStringLiteral("%1:%2").arg(h > 0 ? QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'))
                                                         : QString::number(m))
                           .arg(s, 2, 10, QLatin1Char('0'));
    return h > 0 ? QString::number(h) + u':' + ms : ms;
}

bool SameName(const QString& a, const QString& b)
{
    return NameKey(a) == NameKey(b);
}

QVector<int> ClassOverview::itemOrder(bool mostWrongFirst) const
{
    QVector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    if (mostWrongFirst)
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            const OverviewItem &x = items[a], &y = items[b];
            if (x.count(ItemMark::Wrong) != y.count(ItemMark::Wrong))
                return x.count(ItemMark::Wrong) > y.count(ItemMark::Wrong);
            return x.pValue < y.pValue;
        });
    return order;
}

ClassOverview MakeClassOverview(const QVector<SessionResult>& sessionsOfOneCode)
{
    ClassOverview o;
    // The pupils, each with their sessions, in the order they first appear.
    QVector<QString> keys;
    QHash<QString, QVector<const SessionResult*>> byName;
    for (const SessionResult& s : sessionsOfOneCode) {
        if (s.practice)
            continue;
        const QString key = NameKey(s.name);
        if (!byName.contains(key))
            keys.append(key);
        byName[key].append(&s);
    }
    if (keys.isEmpty())
        return o;
    const SessionResult& first = *byName[keys.first()].first();
    o.code = NormaliseTestCode(first.code);
    o.sessionMode = first.sessionMode;
    o.level = first.level;

    // The test's length: the code's, else the longest session's.
    const std::optional<TestCodeSettings> settings = DecodeTestCode(o.code);
    int length = settings && settings->length > 0 ? settings->length : 0;
    QVector<const SessionResult*> chosen;
    for (const QString& key : keys) {
        chosen.append(Chosen(byName[key]));
        if (!settings || settings->length == 0)
            length = std::max(length, int(chosen.last()->items.size()));
    }

    // Item k of the test is what most pupils got as item k.
    QVector<QHash<QString, int>> seen(length);
    for (const SessionResult* s : chosen)
        for (int k = 0; k < std::min(length, int(s->items.size())); ++k)
            ++seen[k][ItemKey(s->items[k])];
    QVector<QString> reference(length);
    for (int k = 0; k < length; ++k) {
        int most = 0;
        for (auto it = seen[k].cbegin(); it != seen[k].cend(); ++it)
            if (it.value() > most || (it.value() == most && it.key() < reference[k])) {
                most = it.value();
                reference[k] = it.key();
            }
    }
    o.items.resize(length);
    for (int k = 0; k < length; ++k) {
        o.items[k].number = k + 1;
        o.items[k].maxPoints = MaxItemPoints(o.level);
        for (const SessionResult* s : chosen)
            if (k < s->items.size() && ItemKey(s->items[k]) == reference[k]) {
                o.items[k].themeCode = s->items[k].themeCode;
                o.items[k].themeTitle = s->items[k].themeTitle;
                break;
            }
    }

    QVector<qint64> scored(length, 0), most(length, 0);
    for (int p = 0; p < chosen.size(); ++p) {
        const SessionResult& s = *chosen[p];
        OverviewPupil pupil;
        pupil.id = s.id;
        pupil.name = s.name.trimmed();
        pupil.status = s.status;
        pupil.gradeTenths = GradeTenths(s.points, s.maxPoints);
        pupil.gradeText = s.gradeText();
        pupil.points = s.points;
        pupil.maxPoints = s.maxPoints;
        pupil.seconds = s.durationSeconds();
        pupil.started = s.started;
        pupil.sessions = int(byName[keys[p]].size());
        pupil.answered = int(s.items.size());
        pupil.marks.fill(ItemMark::NotDone, length);
        pupil.itemPoints.fill(0, length);
        pupil.itemsDiffer = s.items.size() > length;
        for (int k = 0; k < std::min(length, int(s.items.size())); ++k) {
            pupil.marks[k] = MarkOf(s.items[k]);
            pupil.itemPoints[k] = s.items[k].points;
            pupil.itemsDiffer = pupil.itemsDiffer || ItemKey(s.items[k]) != reference[k];
        }
        if (pupil.begun())
            ++o.gradeCounts[WholeGrade(pupil.gradeTenths) - 1];
        if (pupil.begun() && !pupil.itemsDiffer) {
            ++o.counted;
            for (int k = 0; k < length; ++k) {
                ++o.items[k].counts[int(pupil.marks[k])];
                scored[k] += pupil.itemPoints[k];
                most[k] += MaxItemPoints(s.level);
            }
        }
        o.differing += pupil.itemsDiffer ? 1 : 0;
        o.repeated += pupil.sessions > 1 ? 1 : 0;
        if (s.status != SessionStatus::Completed)
            o.notFinished.append(pupil.name.isEmpty() ? QStringLiteral("(geen naam)") : pupil.name);
        o.pupils.append(pupil);
    }
    for (int k = 0; k < length; ++k)
        o.items[k].pValue = most[k] > 0 ? double(scored[k]) / double(most[k]) : 0.0;

    // Per theme: the points over the most there were, and the shares right.
    QMap<int, OverviewTheme> themes;
    QMap<int, qint64> themeScored, themeMost;
    for (int k = 0; k < length; ++k) {
        const OverviewItem& item = o.items[k];
        if (item.themeCode == 0)
            continue;
        OverviewTheme& t = themes[item.themeCode];
        t.themeCode = item.themeCode;
        t.themeTitle = item.themeTitle;
        ++t.items;
        t.rightFirst += item.count(ItemMark::RightFirst);
        t.rightSecond += item.count(ItemMark::RightSecond);
        themeScored[item.themeCode] += scored[k];
        themeMost[item.themeCode] += most[k];
    }
    for (OverviewTheme& t : themes) {
        const double answers = double(t.items) * o.counted;
        t.rightFirst = answers > 0 ? t.rightFirst / answers : 0;
        t.rightSecond = answers > 0 ? t.rightSecond / answers : 0;
        t.average = themeMost[t.themeCode] > 0 ? double(themeScored[t.themeCode]) / double(themeMost[t.themeCode]) : 0;
        o.themes.append(t);
    }

    // By name as a Dutch teacher's list has them: accents and case don't come first, and
    // "Leerling 9" before "Leerling 10".
    QCollator dutch{QLocale(QLocale::Dutch, QLocale::Netherlands)};
    dutch.setCaseSensitivity(Qt::CaseInsensitive);
    dutch.setNumericMode(true);
    auto alphabetical = [&dutch](const QString& a, const QString& b) {
        const int c = dutch.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    std::stable_sort(o.pupils.begin(), o.pupils.end(),
                     [&](const OverviewPupil& a, const OverviewPupil& b) { return alphabetical(a.name, b.name); });
    std::stable_sort(o.notFinished.begin(), o.notFinished.end(), alphabetical);
    return o;
}

QVector<ProgressLine> MakeProgress(const QVector<SessionSummary>& sessions, const QString& name)
{
    QVector<ProgressLine> lines;
    for (int mode : TestTopics) {
        ProgressLine line;
        line.sessionMode = mode;
        for (const SessionSummary& s : sessions) {
            if (s.sessionMode != mode || !SameName(s.name, name) || s.items == 0 || !s.started.isValid())
                continue;
            const int percentage = s.maxPoints > 0 ? int((200LL * std::clamp(s.points, 0, s.maxPoints) + s.maxPoints) /
                                                         (2LL * s.maxPoints))
                                                   : 0;
            line.points.append({s.started, percentage, s.practice});
        }
        std::stable_sort(line.points.begin(), line.points.end(),
                         [](const ProgressPoint& a, const ProgressPoint& b) { return a.when < b.when; });
        if (!line.points.isEmpty())
            lines.append(line);
    }
    return lines;
}

}  // namespace kav

// The class overview of one class code: who did what on each item of the test, the p-value of
// every item, the class's average per theme, how the grades are spread and who opened the test
// without finishing it; and a pupil's progress per topic over all their sessions.
//
// Pure figures over plain session values: the same overview is made from the local store and
// from any other place that hands over the sessions of a code. No widgets, no drawing.
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

#include "results/result.h"

namespace kav {

struct SessionSummary;

// How a pupil did on one item of the test.
enum class ItemMark { RightFirst, RightSecond, Wrong, NotDone };

struct OverviewPupil {
    qint64 id = 0;  // the session shown (the store's number)
    QString name;
    SessionStatus status = SessionStatus::None;
    int gradeTenths = 10;  // 10 .. 100
    QString gradeText;
    int points = 0, maxPoints = 0;
    qint64 seconds = 0;
    QDateTime started;
    // How many sessions of this code the pupil has; the last finished one is shown (else the
    // last), and more than one is marked.
    int sessions = 1;
    // The session's items are not those of the test (another seed, another version): shown,
    // but left out of the figures per item and per theme.
    bool itemsDiffer = false;
    // Whether the pupil answered anything: one who never did is in the table, not in the figures.
    bool begun() const { return answered > 0; }
    int answered = 0;
    QVector<ItemMark> marks;  // per item of the test, in the test's order
    QVector<int> itemPoints;  // the same, the points scored
};

struct OverviewItem {
    int number = 0;  // 1, 2, ... in the test's order
    int themeCode = 0;
    QString themeTitle;
    int maxPoints = 0;  // the most the item gives
    // The mean points scored ÷ the maximum over the pupils counted (an item not done counts 0);
    // 0 when nobody is counted.
    double pValue = 0;
    std::array<int, 4> counts{};  // per ItemMark
    int count(ItemMark m) const { return counts[int(m)]; }
};

struct OverviewTheme {
    int themeCode = 0;
    QString themeTitle;
    int items = 0;          // items of the test with this theme
    double average = 0;     // points scored ÷ the most there were on its items, 0 .. 1
    double rightFirst = 0;  // share of the answers right at the first attempt, 0 .. 1
    double rightSecond = 0; // ... at the second
};

struct ClassOverview {
    QString code;  // as kept: upper case without dashes
    int sessionMode = 0;
    int level = 1;
    QVector<OverviewPupil> pupils;  // one per name, by name
    QVector<OverviewItem> items;
    QVector<OverviewTheme> themes;  // by theme code
    // Pupils with a grade from 1 to 10 (the grade rounded to whole, 5,5 to 6): index 0 is 1.
    std::array<int, 10> gradeCounts{};
    // Those who opened the test and have no finished session of it, by name.
    QStringList notFinished;
    int counted = 0;  // pupils in the figures per item and per theme
    int differing = 0;
    int repeated = 0;  // pupils with more than one session

    // The items' indexes in the test's order, or the most often wrong first (then the lowest
    // p-value, then the test's order).
    QVector<int> itemOrder(bool mostWrongFirst) const;
};

// The overview of the sessions of one code. Practice sessions are left out; names are matched
// without regard to case and surrounding spaces.
ClassOverview MakeClassOverview(const QVector<SessionResult>& sessionsOfOneCode);

// The whole grade of tenths (10 .. 100), 5,5 rounded up to 6 as on a report card.
int WholeGrade(int gradeTenths);
// "0,72": a p-value with two decimals.
QString PValueText(double p);
// "12:05", "1:02:05": the time a pupil took.
QString ClockText(qint64 seconds);
// Whether two names are the same pupil's: case and spaces around them don't count.
bool SameName(const QString& a, const QString& b);

// A pupil's percentage per topic over time: one line per topic in the order of the main menu.
struct ProgressPoint {
    QDateTime when;
    int percentage = 0;
    bool practice = false;
};
struct ProgressLine {
    int sessionMode = 0;
    QVector<ProgressPoint> points;  // oldest first
};
// Over every session of the name (any case); topics without sessions are left out.
QVector<ProgressLine> MakeProgress(const QVector<SessionSummary>& sessions, const QString& name);

}  // namespace kav

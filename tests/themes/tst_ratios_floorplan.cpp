// Theme 13, the floor plan of a flat, run as a session runs it: 2000 seeded items per level
// with the plan read back from its corner letters, every length answer measured between the
// letters the question names, every area answer from the rooms' squares (and, for a
// sample, from the pixels the fills cover), the variants in turn, the texts, the second
// attempt and the explanation with its shortened names.
#include "ratiofixture.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"

using namespace ratiotest;
namespace col = kav::col;

namespace {

// Question, caption and the given fact's name of each variant, and the names the
// explanation writes for the caption and the given fact.
struct Texts {
    const char *question, *caption, *given, *shortCaption, *shortGiven;
};
const Texts variants[15] = {
    {"Hoe lang is AF ?", "AF", "HG = ", "AF", "HG "},
    {"Hoe lang is DF ?", "DF", "DE = ", "DF", "DE "},
    {"Hoe lang is BD ?", "BD", "CD = ", "BD", "CD "},
    {"Hoe lang is BD ?", "BD", "BC = ", "BD", "BC "},
    {"Hoe lang is HG ?", "HG", "DE = ", "HG", "DE "},
    {"Hoe lang is CD ?", "CD", "AF = ", "CD", "AF "},
    {"Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte badkamer = ", "Opp.woonk.", "Opp.badkamer "},
    {"Oppervlakte keuken ?", "Opp.keuken", "Oppervlakte hal = ", "Opp.keuken", "Opp.hal "},
    {"Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte slaapkamer = ", "Opp.woonk.", "Opp.slaapk."},
    {"Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte keuken = ", "Opp.woonk.", "Opp.keuken "},
    {"Hoe lang is EF ?", "EF", "BC = ", "EF", "BC "},
    {"Oppervlakte badkamer ?", "Opp.badkamer", "Oppervlakte woonkamer = ", "Opp.badkamer", "Opp.woonk."},
    {"Oppervlakte hal ?", "Opp. hal", "Oppervlakte keuken = ", "Opp. hal", "Opp.keuken "},
    {"Oppervlakte slaapkamer ?", "Opp.slaapkamer", "Oppervlakte woonkamer = ", "Opp.slaapk.", "Opp.woonk."},
    {"Oppervlakte keuken ?", "Opp.keuken", "Oppervlakte woonkamer = ", "Opp.keuken", "Opp.woonk."},
};

// Grid point (u, v) in pixels, as the plan is laid out: 8 % a unit from 10 %.
double GridUnitsX(double px) { return (px * 100.0 / kav::PictureWidth - 10) / 8; }

// The plan read from the picture: each corner letter's grid point.
struct Plan {
    QMap<QChar, QPoint> at;
    QSet<QChar> red;
    int w = 0, h = 0;
};

Plan ReadPlan(const Canvas& picture)
{
    Plan plan;
    int bottomY = -1;
    for (const TextLogEntry& e : picture.textLog()) {
        if (e.text.size() != 1 || e.text[0] < u'A' || e.text[0] > u'H')
            continue;
        const QChar c = e.text[0];
        const bool isE = c == u'E';
        const double centre = isE ? e.x - Width(e) : e.x + Width(e) / 2.0;  // E stands a letter right of its point
        plan.at[c] = QPoint(qRound(GridUnitsX(centre)), 0);
        if (c == u'B')
            bottomY = e.y;
        if (e.color == col::Red)
            plan.red << (e.bold ? c : QChar(u'?'));  // a marked letter is bold
    }
    plan.w = plan.at[u'F'].x() - plan.at[u'A'].x();
    // The bottom letters stand 0.4 line below the plan's bottom edge.
    const double bottom = (bottomY - 0.4 * kav::LineHeight) * 100.0 / picture.height();
    plan.h = qRound((bottom - 10) / 8);
    for (QChar c : {u'B', u'C', u'D'})
        plan.at[c].setY(plan.h);
    plan.at[u'E'].setY(plan.h - 3);
    return plan;
}

// Grid units between two letters (they always share a row or a column).
int Between(const Plan& plan, QChar a, QChar b)
{
    const QPoint d = plan.at[a] - plan.at[b];
    return qAbs(d.x()) + qAbs(d.y());
}

// The rooms of a plan W x H, as rectangles of grid units, and their squares.
struct Room {
    QString name;
    QRect units;  // left, top, width, height in grid units
    int squares;
};
QVector<Room> Rooms(int w, int h)
{
    return {{"woonkamer", QRect(0, 0, w - 4, h), (w - 4) * h},
            {"slaapkamer", QRect(w - 4, h - 3, 4, 3), 4 * 3 - 2},  // less the corner the bathroom takes
            {"keuken", QRect(w - 2, 0, 2, h - 3), 2 * (h - 3)},
            {"badkamer", QRect(w - 4, h - 5, 2, 3), 6},
            {"hal", QRect(w - 4, 0, 2, h - 5), 2 * (h - 5)}};
}

const Room* RoomNamed(const QVector<Room>& rooms, const QString& text)
{
    for (const Room& r : rooms)
        if (text.contains(r.name))
            return &r;
    return nullptr;
}

QRect Pixels(const QRect& units)
{
    return QRect(QPoint(kav::PercentX(10 + 8 * units.left()), kav::PercentY(10 + 8 * units.top())),
                 QPoint(kav::PercentX(10 + 8 * (units.left() + units.width())),
                        kav::PercentY(10 + 8 * (units.top() + units.height()))));
}

}  // namespace

class TestRatiosFloorplan : public QObject {
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase() { f.SetUp(); }

    void generator()
    {
        const QVector<QSet<int>> units = {{120, 140, 160, 180}, {110, 120, 130, 140, 150, 160}, {105, 120, 135, 150, 165}};
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(13, level);
            kav::SessionState& s = kav::Session();
            const int n = level == 1 ? 6 : level == 2 ? 10 : 15;
            int previousW = -1, previousH = -1, previousV = -1;
            QSet<int> ws, hs, us, qs;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(13000 + 5000 * level + i));
                f.Item(kav::Theme13);
                const auto& p = s.QuestionParams;
                const int v = s.ThemeMemory[13];
                QCOMPARE(v, (previousV + 1) % n);
                const Plan plan = ReadPlan(f.picture);
                QVERIFY(plan.w >= 7 && plan.w <= 10 && plan.h >= 6 && plan.h <= 10);
                QVERIFY(plan.w != previousW && plan.h != previousH);
                QCOMPARE(plan.at[u'H'].x(), plan.w - 4);
                QCOMPARE(plan.at[u'G'].x(), plan.w - 2);
                QCOMPARE(plan.at[u'C'].x(), plan.w - 4);
                QCOMPARE(plan.at[u'D'].x(), plan.w);
                // The texts: what is given and what is asked.
                const Texts& t = variants[v];
                const QString question = QString::fromUtf8(t.question);
                const TextLogEntry* given = nullptr;
                for (const TextLogEntry& e : f.text.textLog())
                    if (e.text.startsWith(QString::fromUtf8(t.given)) && e.text.endsWith(u'.'))
                        given = &e;
                QVERIFY(given && given->color == col::Blue && given->y == Y(4.5));
                QVERIFY(qAbs(2 * given->x + Width(*given) - f.text.width()) <= 1);
                const int value = given->text.mid(int(strlen(t.given))).chopped(1).toInt();
                const TextLogEntry* asked = testsupport::Logged(f.text, question);
                QVERIFY(asked && asked->color == col::Red && asked->y == Y(7.25));
                QVERIFY(qAbs(2 * asked->x + Width(*asked) - f.text.width()) <= 1);
                for (auto [text, line, colour] : {std::tuple{"Hiernaast staat de plattegrond", 1.0, col::Black},
                                                  {"van een 2-kamerflat.", 2.0, col::Black}, {"Gegeven:", 3.5, col::Blue},
                                                  {"Gevraagd:", 6.0, col::Red}}) {
                    const TextLogEntry* e = testsupport::Logged(f.text, text);
                    QVERIFY(e && e->color == colour && e->y == Y(line) && e->x == kav::TextMargin);
                }
                QVERIFY(f.port.caption == QString::fromUtf8(t.caption) + " : " && f.port.hint == "|" + question);
                QVERIFY(s.AnswerKind == 1 && s.TextLine == 9 && s.AnswerSuffix.isEmpty() && f.port.repaints >= 1);
                QVERIFY(s.QuestionSubject == question && s.CaptionSubject == QString::fromUtf8(t.caption));
                // The answer: a length measured between the letters, or an area from the rooms.
                const QVector<Room> rooms = Rooms(plan.w, plan.h);
                int askedUnits = 0, givenUnits = 0;
                if (question.startsWith("Hoe lang")) {
                    askedUnits = Between(plan, question[12], question[13]);
                    givenUnits = Between(plan, given->text[0], given->text[1]);
                    QCOMPARE(plan.red, QSet<QChar>({question[12], question[13]}));
                    us << value / givenUnits;
                } else {
                    askedUnits = RoomNamed(rooms, question)->squares;
                    givenUnits = RoomNamed(rooms, given->text)->squares;
                    QVERIFY(plan.red.isEmpty());
                    qs << value / givenUnits;
                }
                QVERIFY(level > 1 || question.startsWith("Hoe lang"));
                QCOMPARE(value % givenUnits, 0);
                const int each = value / givenUnits;
                QVERIFY(question.startsWith("Hoe lang") ? units[level - 1].contains(each) : each >= 3 && each <= 8);
                QCOMPARE(s.ExpectedAnswer, askedUnits * each);
                QVERIFY(p[0] == askedUnits && p[1] == givenUnits && p[2] == value);
                // The room names, each inside its room.
                for (const Room& r : rooms) {
                    const QRect box = Pixels(r.units);
                    bool found = false;
                    for (const TextLogEntry& e : f.picture.textLog())
                        if (e.color == col::Black && (e.text == r.name || (r.name == "badkamer" && e.text == "bad-"))) {
                            const QRect text(e.x, e.y, Width(e), kav::LineHeight);
                            found = box.contains(text.center()) && text.left() > box.left() && text.right() < box.right();
                        }
                    QVERIFY2(found, qPrintable(r.name));
                }
                if (i % 40 == 0 && !question.startsWith("Hoe lang")) {
                    // The fills: the asked room red, the given room blue, each filling its room only.
                    const QImage img = f.picture.image();
                    const double square = (kav::PercentX(18) - kav::PercentX(10)) * (kav::PercentY(18) - kav::PercentY(10));
                    for (auto [colour, text] : {std::pair{col::Red, question}, {col::Blue, given->text}}) {
                        const Room* room = RoomNamed(rooms, text);
                        QRect box;
                        int count = 0;
                        for (int y = 0; y < img.height(); ++y)
                            for (int x = 0; x < img.width(); ++x)
                                if (QColor(img.pixel(x, y)) == colour)
                                    box |= QRect(x, y, 1, 1), ++count;
                        QVERIFY(Pixels(room->units).contains(box));
                        QVERIFY2(qAbs(count / (room->squares * square) - 0.93) < 0.08,
                                 qPrintable(QStringLiteral("%1 %2").arg(room->name).arg(count / (room->squares * square))));
                    }
                }
                if (i % 500 == 0)
                    f.CheckSecondAttempt(kav::Theme13);
                if (i < 15)
                    f.Shot(QStringLiteral("theme13-level%1-variant%2").arg(level).arg(v));
                previousW = plan.w, previousH = plan.h, previousV = v;
                ws << plan.w, hs << plan.h;
                ++s.ThemeItemCount[13];
            }
            QVERIFY(ws.size() == 4 && hs.size() == 5 && us == units[level - 1]);
            QCOMPARE(qs.size(), level == 1 ? 0 : 6);
        }
    }

    // A level change in the middle of a session keeps counting from the stored variant.
    void levelChangeKeepsCounting()
    {
        Fixture::Start(13, 3);
        kav::SessionState& s = kav::Session();
        for (int i = 0; i < 9; ++i)
            f.Item(kav::Theme13);
        QCOMPARE(s.ThemeMemory[13], 8);
        s.LevelIndex = 0;
        f.Item(kav::Theme13);
        QCOMPARE(s.ThemeMemory[13], 3);  // (8 + 1) mod 6
        s.ThemeMemory[13] = -7;          // never a negative variant
        f.Item(kav::Theme13);
        QVERIFY(s.ThemeMemory[13] >= 0 && s.ThemeMemory[13] < 6);
    }

    // The caption with the fraction of units times the given name, the same fraction times
    // the given value, and the answer.
    void explanation()
    {
        Fixture::Start(13, 3);
        kav::SessionState& s = kav::Session();
        for (int i = 0; i < 150 && !QTest::currentTestFailed(); ++i) {
            kav::SeedRandom(std::uint32_t(500 + i));
            f.Item(kav::Theme13);
            const int v = s.ThemeMemory[13];
            const auto p = s.QuestionParams;
            const double line = s.TextLine + 3.25;
            const QVector<TextLogEntry> w = f.Explain(kav::Explanation13);
            const QString numerator = QString::number(p[0]), denominator = QString::number(p[1]);
            QCOMPARE(w.size(), 11);
            QVERIFY(w[0].text == "Toelichting:" && w[0].color == col::Blue && w[0].y == Y(line + 1.25));
            QVERIFY(w[1].text == QString::fromUtf8(variants[v].shortCaption) + " = " && w[1].y == Y(line + 2.75));
            QVERIFY(w[1].x == kav::TextMargin && w[1].color == col::Black);
            QVERIFY(w[2].text == numerator && w[3].text == denominator && w[2].color == col::Blue);
            QVERIFY(w[2].y < w[1].y && w[3].y > w[1].y);
            QVERIFY(w[4].text == QStringLiteral(" · ") + QString::fromUtf8(variants[v].shortGiven) &&
                    testsupport::Baseline(w[4]) == testsupport::Baseline(w[1]));
            QVERIFY(w[5].text == " = " && w[5].x == 3 * kav::TextMargin && w[5].y == Y(line + 5.25));
            QVERIFY(w[6].text == numerator && w[7].text == denominator);
            QVERIFY(w[8].text == QStringLiteral(" · %1").arg(p[2]) && w[8].color == col::Blue);
            QVERIFY(w[9].text == " = " && w[9].y == Y(line + 7.5) && w[10].color == col::Red);
            QVERIFY(w[10].text.toInt() * p[1] == p[0] * p[2] && w[10].text.toInt() == s.ExpectedAnswer);
            QCOMPARE(s.CaptionSubject, QString::fromUtf8(variants[v].shortCaption));
            if (i < 15)
                f.Shot(QStringLiteral("theme13-explanation%1").arg(v));
            QString out;
            QVERIFY2(Fixture::Inside(w, f.text, &out), qPrintable(out));
            ++s.ThemeItemCount[13];
        }
    }
};

QTEST_MAIN(TestRatiosFloorplan)
#include "tst_ratios_floorplan.moc"

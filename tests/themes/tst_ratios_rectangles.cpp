// Theme 12, two rectangles of the same shape, run as a session runs it: 2000 seeded items
// per level, q worked out from the p and the sides the pupil is shown, the no-repeat rules
// (also when a draw did not fit and was made again), the rectangles in the picture, decimals
// shown and typed with either separator, and the explanation with its curved factor arrow.
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include "formsfixture.h"
#include "ratiofixture.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"

using namespace ratiotest;
namespace col = kav::col;

namespace {

// The rectangles as the pupil reads them: the sides a and b of the small one from the
// picture, p from the question.
struct Shown {
    int a = 0, b = 0;
    double p = 0;
    QString pText;
};

Shown Read(const Canvas& picture, const Canvas& text)
{
    Shown r;
    for (const TextLogEntry& e : picture.textLog()) {
        if (e.color == col::Black && e.y == Y(0.25))
            r.b = e.text.toInt();
        else if (e.color == col::Black && e.x == kav::PercentX(6))
            r.a = e.text.toInt();
    }
    const auto& log = text.textLog();
    for (int i = 0; i + 1 < log.size(); ++i)
        if (log[i].text == "p = " && log[i + 1].y == log[i].y && log[i + 1].x == log[i].x + Width(log[i])) {
            r.pText = log[i + 1].text;
            r.p = kav::ParseDecimal(r.pText.chopped(1), kav::DecimalSeparator).value_or(-1);
        }
    return r;
}

// The box of the pixels of one colour.
QRect Box(const QImage& img, const QColor& c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class TestRatiosRectangles : public QObject {
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase()
    {
        f.SetUp();
        kav::DecimalSeparator = u',';
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void generator()
    {
        const QVector<double> lowest = {2, 1.5, 2.1}, highest = {6, 6.5, 7.9};
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(12, level);
            kav::SessionState& s = kav::Session();
            int previousA = -1;
            double previousScale = 0;
            QSet<int> as, bs, scales;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(12000 + 5000 * level + i));
                f.Item(kav::Theme12);
                const Shown r = Read(f.picture, f.text);
                const double scale = r.p / r.a;
                QVERIFY(r.a >= 2 && r.a <= 7 && r.b >= 2 && r.b <= 9 && r.a != r.b && r.a != previousA);
                QVERIFY(scale >= lowest[level - 1] - 1e-9 && scale <= highest[level - 1] + 1e-9);
                QVERIFY(qAbs(scale - previousScale) > 1e-9);
                // Whole scales at "Starter", odd halves at "Durver", tenths but no whole ones at "Prof !".
                const double steps = scale * (level == 1 ? 1 : level == 2 ? 2 : 10);
                QVERIFY(qAbs(steps - qRound(steps)) < 1e-9);
                QVERIFY(level == 1 || qRound(steps) % (level == 2 ? 2 : 10) != 0);
                // q = p / a * b, exact to one decimal.
                const double q = r.p * r.b / r.a;
                QVERIFY(qAbs(q * 10 - qRound(q * 10)) < 1e-9);
                const auto& p = s.QuestionParams;
                QVERIFY(p[0] == r.a && p[1] == r.b && p[3] == p[2] * r.a && p[4] == p[2] * r.b);
                if (level == 1) {
                    QVERIFY(s.AnswerKind == 1 && s.ExpectedAnswer == qRound(q) && qAbs(q - qRound(q)) < 1e-9);
                    QVERIFY(r.pText == QStringLiteral("%1.").arg(qRound(r.p)));
                    QVERIFY(f.port.caption == "q : " && f.port.hint == "| Hoe groot is q ?" && s.TextLine == 8);
                } else {
                    QVERIFY(s.AnswerKind == 2 && s.AnswerDecimals == 1 && s.DecimalTolerance == 0.000005);
                    QVERIFY(qAbs(s.ExpectedDecimal - q) < 1e-9);
                    QVERIFY(QRegularExpression("^\\d+,\\d\\.$").match(r.pText).hasMatch());
                }
                QVERIFY(s.AnswerSuffix.isEmpty() && f.port.repaints >= 1);
                // The text side.
                for (auto [text, line, colour] : {std::tuple{"De twee rechthoeken hebben", 1.5, col::Black},
                                                  {"dezelfde vorm.", 2.5, col::Black}, {"p = ", 4.0, col::Blue},
                                                  {"Hoe groot is q ?", 6.0, col::Red}}) {
                    const TextLogEntry* e = testsupport::Logged(f.text, text);
                    QVERIFY(e && e->color == colour && e->y == Y(line) && e->x == kav::TextMargin);
                }
                // The labels: b over the small rectangle, q over the large one, a and p beside them.
                const TextLogEntry *q1 = testsupport::Logged(f.picture, "q"), *p1 = testsupport::Logged(f.picture, "p");
                QVERIFY(q1 && q1->color == col::Blue && p1 && p1->color == col::Blue && p1->x == kav::PercentX(6));
                QVERIFY(q1->y + kav::LineHeight <= kav::PercentY(20) && p1->y > kav::PercentY(20));
                // Every 100th item: the rectangles themselves.
                if (i % 100 == 0) {
                    const QImage img = f.picture.image();
                    const QRect small = Box(img, col::Yellow), large = Box(img, col::Aqua);
                    QVERIFY(large.right() < kav::PercentX(95) && large.bottom() < kav::PercentY(95));
                    QVERIFY(small.left() > kav::PercentX(10) && large.left() > kav::PercentX(10));
                    QVERIFY(small.bottom() < large.top());
                    // Same shape, sides in the ratio of the scale (inner boxes, a pen's width off).
                    const double pen = 2 * kav::Round(kav::ScreenScale);
                    QVERIFY(qAbs((large.width() + pen) - scale * (small.width() + pen)) <= 2 * scale + 2);
                    const double shape = (small.height() + pen) / double(small.width() + pen);
                    QVERIFY(qAbs((large.height() + pen) / double(large.width() + pen) - shape) < 0.1 * shape);
                    QVERIFY(qAbs(shape * f.picture.width() / f.picture.height() - double(r.a) / r.b) < 0.2);
                    QVERIFY(qAbs(q1->x + Width(*q1) / 2.0 - large.center().x()) <= 3);
                }
                if (i % 500 == 0)
                    f.CheckSecondAttempt(kav::Theme12);
                previousA = r.a, previousScale = scale;
                as << r.a, bs << r.b, scales << qRound(steps);
                ++s.ThemeItemCount[12];
            }
            QVERIFY(as.size() == 6 && bs.size() == 8);
            QCOMPARE(scales.size(), level == 1 ? 5 : level == 2 ? 6 : 54);
        }
    }

    // The program shows decimals with the user's separator: p, the factor and the answer.
    void separatorShown()
    {
        for (QChar separator : {QChar(u','), QChar(u'.')}) {
            kav::DecimalSeparator = separator;
            Fixture::Start(12, 3);
            for (int i = 0; i < 40; ++i) {
                kav::SeedRandom(std::uint32_t(90 + i));
                f.Item(kav::Theme12);
                kav::SessionState& s = kav::Session();
                const Shown r = Read(f.picture, f.text);
                const QString pattern = separator == u',' ? "^\\d+,\\d\\.$" : "^\\d+\\.\\d\\.$";
                QVERIFY2(QRegularExpression(pattern).match(r.pText).hasMatch(), qPrintable(r.pText));
                const QVector<TextLogEntry> written = f.Explain(kav::Explanation12);
                const QString answer = kav::FormatDecimal(r.p * r.b / r.a, 1, separator);
                QVERIFY(answer.contains(separator) && Find(written, answer, col::Red));
                QVERIFY(Find(written, r.pText.chopped(1), col::Blue));  // the numerator of the factor
                ++s.ThemeItemCount[12];
            }
        }
        kav::DecimalSeparator = u',';
    }

    // "Toelichting:", the factor as p over a, q as b times the factor, all inside the text
    // area; the arrow and its label inside the picture, from the small rectangle to the large.
    void explanation()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(12, level);
            for (int i = 0; i < 150 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(300 + 1000 * level + i));
                f.Item(kav::Theme12);
                kav::SessionState& s = kav::Session();
                const Shown r = Read(f.picture, f.text);
                const double line = s.TextLine + 3.25;
                const int pictureTexts = int(f.picture.textLog().size());
                const QVector<TextLogEntry> w = f.Explain(kav::Explanation12);
                const QString factor = level == 1 ? QString::number(qRound(r.p / r.a))
                                                  : kav::FormatDecimal(r.p / r.a, 1, kav::DecimalSeparator);
                const QString q = level == 1 ? QString::number(qRound(r.p * r.b / r.a))
                                             : kav::FormatDecimal(r.p * r.b / r.a, 1, kav::DecimalSeparator);
                QVERIFY(w.size() == 7);
                QVERIFY(w[0].text == "Toelichting:" && w[0].color == col::Blue && w[0].y == Y(line + 1.25));
                QVERIFY(w[1].text == "Vermenigvuldigingsfactor =" && w[1].y == Y(line + 2.75));
                QVERIFY(w[2].text == r.pText.chopped(1) && w[3].text == QString::number(r.a));  // p over a
                QVERIFY(w[2].y < Y(line + 4.75) && w[3].y > Y(line + 4.75) && w[2].color == col::Blue);
                QVERIFY(w[4].text == " = " + factor && w[4].y == Y(line + 4.75) && w[4].x > w[2].x);
                QVERIFY(w[5].text == QStringLiteral("Dus: q = %1 x %2 = ").arg(r.b).arg(factor));
                QVERIFY(w[6].text == q && w[6].color == col::Red && w[6].y == Y(s.TextLine));
                QVERIFY(w[6].x == w[5].x + Width(w[5]) && s.TextLine == line + 6.75);
                QString out;
                QVERIFY2(Fixture::Inside(w, f.text, &out), qPrintable(out));
                const QVector<TextLogEntry> label = Since(f.picture, pictureTexts);
                QVERIFY(label.size() == 2 && label[0].text == "factor" && label[1].text == factor);
                QVERIFY(label[0].color == col::Red && label[1].y > label[0].y);
                QVERIFY2(Fixture::Inside(label, f.picture, &out), qPrintable(out));
                QVERIFY(label[0].x + Width(label[0]) <= f.picture.width() - kav::TextMargin);
                if (i % 25 == 0) {
                    // The arc runs from the small rectangle's middle height down to the large one's,
                    // right of the small one and left of the label.
                    const QImage img = f.picture.image();
                    const QRect small = Box(img, col::Yellow), large = Box(img, col::Aqua);
                    const int yA = small.center().y(), yB = large.center().y();
                    for (int y : {yA + 3, (yA + yB) / 2, yB - 3}) {
                        bool red = false;
                        for (int x = small.right() + 2; x < label[0].x - 1 && !red; ++x)
                            red = QColor(img.pixel(x, y)) == col::Red;
                        QVERIFY2(red, qPrintable(QString::number(y)));
                    }
                    QVERIFY(label[0].y < yB && label[0].y + kav::LineHeight > yA);
                    // Right of the large rectangle, or on it clear of its sides.
                    QVERIFY(label[0].x > large.right() ||
                            (label[0].x + Width(label[0]) < large.right() && label[0].y > large.top()));
                    if (i == 0)
                        f.Shot(QStringLiteral("theme12-explanation-level%1").arg(level));
                }
                ++s.ThemeItemCount[12];
            }
        }
    }

    // A wide large rectangle leaves no room right of it: the arrow and label move in, over it.
    void wideRectangleKeepsTheArrowInside()
    {
        Fixture::Start(12, 3);
        kav::SessionState& s = kav::Session();
        int widest = 0;
        for (int seed = 0; widest < 500; ++seed) {  // q at least 50: the rectangle reaches 85 %
            kav::SeedRandom(std::uint32_t(seed));
            f.Item(kav::Theme12);
            widest = s.QuestionParams[4];
        }
        const int before = int(f.picture.textLog().size());
        f.Explain(kav::Explanation12);
        const QVector<TextLogEntry> label = Since(f.picture, before);
        QVERIFY(label.size() == 2 && Fixture::Inside(label, f.picture));
        const QImage img = f.picture.image();
        const QRect red = Box(img, col::Red), large = Box(img, col::Aqua);
        QVERIFY(red.right() < f.picture.width() - 1 && red.left() > kav::PercentX(50));
        // The label stands on the rectangle, clear of its sides.
        QVERIFY(large.right() > label[0].x + Width(label[0]) && large.top() < label[0].y);
        QCOMPARE(QColor(img.pixel(f.picture.width() - 1, red.center().y())), col::Black);  // the frame is whole
        f.Shot(QStringLiteral("theme12-wide"));
    }

    // Through the window: a "Durver" practice item answered with either separator typed,
    // under either user separator; a final wrong answer shows the answer and the explanation.
    void typedWithEitherSeparator()
    {
        testsupport::StartForms(QSize(1024, 768));
        kav::TTestForm* t = testsupport::Test();
        t->activateWindow();
        QApplication::setActiveWindow(t);
        QTest::mouseClick(testsupport::Main()->Button5, Qt::LeftButton);
        for (int n = 1; n <= 7; ++n)
            testsupport::Tick(n, n == 2);
        t->NivoBox->buttons[1]->click();
        QTest::mouseClick(t->StartButton, Qt::LeftButton);
        kav::SessionState& s = kav::Session();
        auto texts = [&] {
            QStringList l;
            for (const auto& e : t->TextBitmap.textLog())
                l << e.text;
            return l;
        };
        int right = 0;
        for (QChar user : {QChar(u','), QChar(u'.')})
            for (QChar typed : {QChar(u','), QChar(u'.')}) {
                kav::DecimalSeparator = user;
                QCOMPARE(s.ThemeCode, 12);
                QCOMPARE(s.AnswerKind, 2);
                QString answer = QString::number(s.ExpectedDecimal, 'f', 1);
                answer.replace(u'.', typed);
                testsupport::TypeInto(t->InvoerVeld, answer);
                QVERIFY(kav::RecordedMessages().isEmpty());
                QVERIFY(texts().contains(QString(answer).replace(typed, user)));  // echoed as rewritten
                QCOMPARE(t->ScoreLabel->text(), kav::ScoreText(4 * ++right, right));
                QTest::mouseClick(t->ContinueButton, Qt::LeftButton);
            }
        // Two wrong answers: the right one with the user's separator, then the explanation.
        kav::DecimalSeparator = u',';
        const double expected = s.ExpectedDecimal;
        testsupport::TypeInto(t->InvoerVeld, QString::number(expected + 1, 'f', 1));
        QTest::mouseClick(t->ContinueButton, Qt::LeftButton);
        testsupport::TypeInto(t->InvoerVeld, QString::number(expected + 2, 'f', 1).replace(u'.', u','));
        QVERIFY(texts().contains(kav::FormatDecimal(expected, 1, u',')));
        QVERIFY(texts().contains("Toelichting:") && testsupport::Logged(t->PictureBitmap, "factor"));
        testsupport::Shot(t, QStringLiteral("theme12-window-explanation"));
    }
};

QTEST_MAIN(TestRatiosRectangles)
#include "tst_ratios_rectangles.moc"

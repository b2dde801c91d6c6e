// Theme 16: Harm's jeep drives H km on one litre, Jos's jeep uses J litres per 100 km; a graph
// of fuel against distance shows both. Asked: how much more Jos uses over a distance, how far
// Harm gets on one litre, or how much Jos uses per 100 km.
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/ratios/ratiotext.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

// QuestionParams[0..4]: H (km on one litre for Harm), J (litres per 100 km for Jos), the
// distance multiplier M, the distance D in km and E, the litres Jos uses more than Harm over
// D km. ThemeMemory[16] holds the question type: 0 asks E, 1 asks H, 2 asks J.
// Session().Private.theme16 keeps the previous H, J and M.
//
// The graph: distance along y = 90 % from x = 10 % (0 km) to 90 % (100 km), 0.8 % a km;
// fuel up from y = 90 %, 6 % a litre.
double KmX(double km) { return 10 + 0.8 * km; }
double LitreY(double litres) { return 90 - 6 * litres; }

// A picture text, size 0.9.
void GraphText(const QString& text, const QColor& color, double x, double line)
{
    DrawTextItem(text, color, false, x, line, 0.9, PictureBitmap());
}

// A picture text centred on X pixels.
void GraphTextCentred(const QString& text, int x, double line)
{
    Canvas* pic = PictureBitmap();
    pic->font.size = Round(BaseFontSize * 0.9);
    GraphText(text, col::Black, x - pic->textWidth(text) / 2, line);
}

void DrawGraph(int type, int level, int h, int j)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const double line = Max(LineHeight, 1);
    GraphText(QString(), col::Black, 0, 0);  // the picture font for the measures below
    const double th = pic->textHeight(QStringLiteral("abqt")) / 2.0;

    DrawLinePercent(pic, col::Black, 10, 5, 10, 90, 2);
    DrawLinePercent(pic, col::Black, 10, 90, 91, 90, 2);
    DrawLinePercent(pic, col::Black, 90, 5, 90, 90, 2);
    if (level < 3) {
        for (int i = 1; i <= 10; ++i)
            DrawLinePercent(pic, col::Black, 10 + 8 * i, 89.5, 10 + 8 * i, 90.5, 1);
        if (type == 0) {
            for (int i = 1; i <= 14; ++i) {
                DrawLinePercent(pic, col::Black, 9.5, LitreY(i), 10.5, LitreY(i), 1);
                DrawLinePercent(pic, col::Black, 89.5, LitreY(i), 90.5, LitreY(i), 1);
            }
            for (int litres : {10, 1}) {
                const QString label = QString::number(litres);
                const double labelLine = (PercentY(LitreY(litres)) - th) / line;
                GraphText(label, col::Black, PercentX(10) - pic->textWidth(label + QStringLiteral(" ")), labelLine);
                // Jos's own value stands at the right axis in red; the scale's label at the same
                // height would only blur it.
                if (litres != j)
                    GraphText(label, col::Black, PercentX(91), labelLine);
            }
        }
    }

    // Harm's one-litre point, with dashed lines to both axes.
    DrawDashedLinePercent(pic, col::Black, 10, LitreY(1), KmX(h), LitreY(1), 1);
    DrawDashedLinePercent(pic, col::Black, KmX(h), 90, KmX(h), LitreY(1), 1);
    DrawDot(PercentX(KmX(h)), PercentY(LitreY(1)), u'.', pic, col::Black, 4);

    const double distanceLine = (PercentY(90) + th) / line;
    if (level < 3)
        GraphTextCentred(QStringLiteral("10"), PercentX(KmX(10)), distanceLine);
    else
        GraphTextCentred(type == 1 ? QStringLiteral("?") : QString::number(h), PercentX(KmX(h)), distanceLine);
    GraphTextCentred(QStringLiteral("100"), PercentX(KmX(100)), distanceLine);
    const QString fuel = QStringLiteral("verbruik (liter)");
    GraphText(fuel, col::Black, PercentX(1), (PercentY(5) - LineHeight) / line);
    GraphText(fuel, col::Black, RightAligned, (PercentY(5) - LineHeight) / line);

    // The jeeps grown with the picture area: Harm's under his line at 75 km, Jos's above his
    // line at 50 km.
    const Picture jeep = LoadPicture(QStringLiteral("jeep2"));
    const QSize shown = PictureSizeIn(jeep, pic);
    const int w = shown.width(), hgt = shown.height();
    const int y1 = PercentY(90 - 6 * 75.0 / h);
    pic->stretchDraw(PercentX(73), y1, PercentX(73) + w, y1 + hgt, jeep);
    const int y2 = PercentY(LitreY(j * 0.5));
    pic->stretchDraw(PercentX(49) - w, y2 - hgt, PercentX(49), y2, LoadPicture(QStringLiteral("jeep1")));

    DrawLinePercent(pic, col::Black, 10, 90, 90, 90 - 6 * 100.0 / h, 2);
    GraphText(type == 2 ? QStringLiteral("?") : QString::number(j), col::Red, PercentX(91),
              PercentY(LitreY(j)) / line - 0.5);
    DrawLinePercent(pic, col::Red, 10, 90, 90, LitreY(j), 2);
    GraphText(QStringLiteral("afstand (km)"), col::Black, RightAligned, (PercentY(99) - LineHeight) / line);
}

// D km: 100 H or 1000 H at "Starter", 100 H M at "Durver", 150 H or 250 H at "Prof !".
int Distance(int level, int h, int m)
{
    switch (level) {
    case 1: return (m == 2 ? 100 : 1000) * h;
    case 2: return 100 * h * m;
    default: return h * (100 * m + 50);
    }
}

// A red result at the right end of the current line. A line already filled up to there (a
// four-digit distance makes a wide fraction) keeps what it holds: the result then follows it,
// Gap pixels after it, rather than being written over it.
void ResultText(const QString& text, int gap)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const int rightAligned = t->width() - TextMargin - TextItemWidth(t, text);
    const double x = rightAligned >= LastTextEnd ? double(RightAligned) : double(LastTextEnd + gap);
    ExplainText(text, col::Red, x, Session().TextLine);
}

// "= N liter." after a computation: a space after what stands before it.
void ResultLitres(int litres)
{
    ResultText(QStringLiteral("= ") + QString::number(litres) + QStringLiteral(" liter."),
               TextItemWidth(TextBitmap(), QStringLiteral(" ")));
}

// "Harm: D / H = D/H liter." on the current line.
void HarmLine(int d, int h)
{
    const SessionState& s = Session();
    ExplainText(QStringLiteral("Harm: "), col::Black, TextMargin, s.TextLine);
    LastTextEnd = PercentX(15);
    ExplainFraction(QString::number(d), QString::number(h), col::Black);
    ResultLitres(h ? d / h : 0);
}

// "Jos: D / 100 · J = L liter." on the current line.
void JosLine(int d, int j, int litres)
{
    const SessionState& s = Session();
    ExplainText(QStringLiteral("Jos: "), col::Black, TextMargin, s.TextLine);
    LastTextEnd = PercentX(15);
    ExplainFraction(QString::number(d), QStringLiteral("100"), col::Black);
    ExplainNext(QStringLiteral(" \u00b7 ") + QString::number(j), col::Black, s.TextLine);
    ResultLitres(litres);
}

}  // namespace

void Theme16()
{
    SessionState& s = Session();
    const int level = ThemeLevel();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        std::array<int, 3>& previous = s.Private.theme16;
        const int type = ((s.ThemeMemory[16] + 1) % level + level) % level;
        s.ThemeMemory[16] = type;
        int h = 0;
        do {
            h = level == 3 ? 2 * (Random(6) + 4) : Random(12) + 8;
        } while (h == previous[0] || (type == 1 && h == 10));
        int j = 0;
        do {
            j = Random(11) + 4;
        } while (j == previous[1] || j * h <= 100);  // Jos always uses more than Harm
        int m = 0;
        do {
            m = level == 1 ? Random(2) + 2 : level == 2 ? Random(3) + 1 : Random(2) + 1;
        } while (m == previous[2]);
        previous = {h, j, m};
        const int d = Distance(level, h, m);
        const int e = Round(j * d * 0.01 - double(d) / h);
        p[0] = h;
        p[1] = j;
        p[2] = m;
        p[3] = d;
        p[4] = e;
        s.ExpectedAnswer = type == 0 ? e : type == 1 ? h : j;
        DrawGraph(type, level, h, j);
        s.PictureDescription = QStringLiteral("Een grafiek van het brandstofverbruik in liters tegen de afstand "
                                              "in km, met een lijn voor de jeep van Harm en een voor de jeep van "
                                              "Jos.");
    }
    const int type = s.ThemeMemory[16];
    const QString h = QString::number(p[0]), j = QString::number(p[1]), d = QString::number(p[3]);
    s.TextLine = 0.25;
    if (type != 1) {
        QuestionText(s.TextLine, QStringLiteral("De jeep van Harm verbruikt"), col::Black);
        QuestionText(s.TextLine + 1, QStringLiteral("1 liter op ") + h + QStringLiteral(" km."), col::Black);
        s.TextLine += 2.25;
    }
    if (type != 2) {
        QuestionText(s.TextLine, QStringLiteral("De jeep van Jos verbruikt"), col::Red);
        QuestionText(s.TextLine + 1, j + QStringLiteral(" liter op 100 km."), col::Red);
        s.TextLine += 2.25;
    }
    if (type != 0) {
        QuestionText(s.TextLine, QStringLiteral("De jeep van Jos verbruikt"), col::Black);
        QuestionText(s.TextLine + 1, QString::number(p[4]) + QStringLiteral(" liter benzine meer dan de"), col::Black);
        QuestionText(s.TextLine + 2, QStringLiteral("jeep van Harm op een afstand"), col::Black);
        QuestionText(s.TextLine + 3, QStringLiteral("van ") + d + QStringLiteral(" km."), col::Black);
    }
    switch (type) {
    case 0:
        QuestionText(5.25, QStringLiteral("Hoeveel liter verbruikt de jeep"), col::Blue);
        QuestionText(6.25, QStringLiteral("van Jos meer dan die van Harm"), col::Blue);
        QuestionText(7.25, QStringLiteral("op een afstand van ") + d + QStringLiteral(" km ?"), col::Blue);
        AskRatioAnswer(8.75, QStringLiteral("Aantal liter: "),
                       QStringLiteral("|Hoeveel liter verbruikt Jos meer dan Harm ?"), QStringLiteral(" liter"));
        break;
    case 1:
        QuestionText(6.75, QStringLiteral("Hoeveel km kan Harm rijden"), col::Blue);
        QuestionText(7.75, QStringLiteral("met één liter benzine ?"), col::Blue);
        AskRatioAnswer(9.25, QStringLiteral("Aantal km: "), QStringLiteral("|Hoeveel km kan Harm rijden met 1 liter ?"),
                       QStringLiteral(" km"));
        break;
    default:
        QuestionText(6.75, QStringLiteral("Hoeveel liter verbruikt de jeep"), col::Blue);
        QuestionText(7.75, QStringLiteral("van Jos op 100 km ?"), col::Blue);
        AskRatioAnswer(9.25, QStringLiteral("Aantal liter: "), QStringLiteral("|Hoeveel liter verbruikt Jos op 100 km ?"),
                       QStringLiteral(" liter"));
        break;
    }
}

void Explanation16()
{
    SessionState& s = Session();
    const auto& p = s.QuestionParams;
    const int h = p[0], j = p[1], d = p[3], e = p[4];
    const int harm = h ? d / h : 0;                          // litres Harm uses over D km
    const int jos = int(qint64(j) * d / 100);                // litres Jos uses over D km
    s.TextLine += 1;
    ExplainText(QStringLiteral("Toelichting:"), col::Blue, TextMargin, s.TextLine);
    s.TextLine += 1.5;
    switch (s.ThemeMemory[16]) {
    case 0:
        HarmLine(d, h);
        s.TextLine += 2.25;
        JosLine(d, j, jos);
        s.TextLine += 1.75;
        ExplainText(QStringLiteral("Het verschil is dus "), col::Blue, TextMargin, s.TextLine);
        break;
    case 1:
        JosLine(d, j, jos);
        s.TextLine += 1.75;
        ExplainText(QStringLiteral("Dus Harm: ") + QString::number(jos) + QStringLiteral(" - ") + QString::number(e),
                    col::Black, TextMargin, s.TextLine);
        ResultLitres(jos - e);
        s.TextLine += 1.5;
        ExplainText(QStringLiteral("Per liter reed hij "), col::Blue, TextMargin, s.TextLine);
        ExplainFraction(QString::number(d), QString::number(jos - e), col::Blue);
        ExplainNext(QStringLiteral(" = "), col::Red, s.TextLine);
        break;
    default:
        HarmLine(d, h);
        s.TextLine += 1.75;
        ExplainText(QStringLiteral("Dus Jos: ") + QString::number(harm) + QStringLiteral(" + ") + QString::number(e),
                    col::Black, TextMargin, s.TextLine);
        ResultLitres(e + harm);
        s.TextLine += 1.5;
        ExplainText(QStringLiteral("Op 100 km: "), col::Blue, TextMargin, s.TextLine);
        ExplainFraction(QString::number(e + harm), QString::number(d), col::Blue);
        ExplainNext(QStringLiteral(" \u00b7 100 "), col::Blue, s.TextLine);
        ExplainNext(QStringLiteral("= "), col::Red, s.TextLine);
        break;
    }
    // The answer after "= " (or "Het verschil is dus "), which ends in its own space.
    ResultText(QString::number(s.ExpectedAnswer) + QStringLiteral(" ") + s.AnswerSuffix + QStringLiteral("."), 0);
}

}  // namespace kav

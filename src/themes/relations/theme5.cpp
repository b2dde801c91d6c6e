// Theme 5, "RaRa met KeerEnPlus of KeerEnMin": a Keer machine followed by a Plus or Min
// machine, with a table of inputs 1 to 6 and some of their outputs; the pupil finds an
// output or the number of one of the machines.
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/machines.h"
#include "themes/relations/relations.h"
#include "themes/relations/textlines.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

constexpr int Code = 5;

// QuestionParams: 0 x0 (the marked input), 1 s (+1 Plus, -1 Min), 2 a (the Keer number),
// 3 b (the second machine's number), 4 x1 (a second marked input, or 0).
struct RaRa {
    int x0 = 0, s = 1, a = 0, b = 0, x1 = 0;
    int Out(int x) const { return a * x + s * b; }
    QString Op() const { return s > 0 ? QStringLiteral("Plus") : QStringLiteral("Min"); }
};

RaRa Stored()
{
    const SessionState& st = Session();
    return {st.QuestionParams[0], st.QuestionParams[1], st.QuestionParams[2], st.QuestionParams[3],
            st.QuestionParams[4]};
}

// The variants 1 to 7: which numbers the machines show, which rows of the table show their
// output, and what is asked.
bool KeerHidden(int m) { return m >= 3; }
bool SecondHidden(int m) { return m == 2 || m >= 4; }
bool AllRowsShown(int m) { return m == 4 || m == 5; }
bool KeerAsked(int m) { return m == 3 || m == 4 || m == 6; }

void DrawPicture(const RaRa& r, int m)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const QString op = r.Op();
    DrawMachine(0, KeerHidden(m) ? QStringLiteral("Keer ?") : QStringLiteral("Keer ") + QString::number(r.a));
    DrawMachine(1, op + (SecondHidden(m) ? QStringLiteral(" ?") : QStringLiteral(" ") + QString::number(r.b)));
    DrawTextItem(QStringLiteral("Input"), col::Red, true, Centred, PercentLine(10) - 1, 1, pic);
    DrawTextItem(QStringLiteral("Output"), col::Red, true, Centred, PercentLine(53), 1, pic);
    DrawChainExitArrow(2);

    pic->setPen(col::Black, Round(2 * ScreenScale));
    pic->setBrush(col::Aqua);
    pic->rectangle(PercentX(35), PercentY(60), PercentX(65), PercentY(95));
    DrawTextItem(QStringLiteral("Input"), col::Red, false, PercentX(37), PercentLine(62), 1, pic);
    DrawTextItem(QStringLiteral("Output"), col::Red, false, PercentX(52), PercentLine(62), 1, pic);

    DrawTextItem(QStringLiteral("RaRa met"), col::Red, false, TextMargin, 1, 1.5, pic);
    DrawTextItem(QStringLiteral("KeerEn") + op, col::Red, false, RightAligned, 1, 1.5, pic);

    for (int x = 1; x <= 6; ++x) {
        const double line = PercentLine(65) + x;
        if (x != r.x0 && x != r.x1 && !AllRowsShown(m)) {
            DrawTextItem(QString::number(x), col::Black, false, PercentX(40), line, 1, pic);
            continue;
        }
        DrawTextItem(QString::number(x), col::Blue, true, PercentX(40), line, 1, pic);
        const double y = PercentY(65) + (x + 0.5) * LineHeight;
        DrawArrow(pic, col::Blue, PercentX(47), y, PercentX(49.5) + pic->textWidth(QStringLiteral("---")), y, 2);
        DrawTextItem(m == 1 ? QStringLiteral("?") : QString::number(r.Out(x)), col::Blue, true, PercentX(57), line, 1,
                     pic);
    }
}

using textlines::Write;

// Right-aligned on the line of the text before it, but never over that text: a long number
// follows it directly instead.
void WriteAtRight(const QString& text, const QColor& color, double line)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const int after = LastTextEnd;
    t->font.size = BaseFontSize;
    t->font.bold = false;
    const int right = t->clipRect().right() + 1 - t->textWidth(text) - TextMargin;
    Write(text, color, right >= after ? RightAligned : after, line);
}

}  // namespace

void Theme5()
{
    SessionState& st = Session();
    if (st.Attempt == 0) {
        // The variants come in turn: 1..3 at "Starter", 2..5 at "Durver", 3..7 at "Prof !".
        const int level = ThemeLevel();
        const int m = textlines::NextInCycle(st.ThemeMemory[Code], level + 2) + level;
        st.ThemeMemory[Code] = m;

        RaRa r;
        r.s = Random(2) == 0 ? -1 : 1;
        r.a = 1 + Random(6 * level + 6);
        // With Min the second number never exceeds the Keer number: no output below 0.
        r.b = r.s > 0 ? 1 + Random(8) : 1 + Random(r.a);
        r.x0 = 2 + Random(5);
        if (m > 5) {
            do {
                r.x1 = 2 + Random(5);
            } while (r.x1 == r.x0);
        }
        st.QuestionParams[0] = r.x0;
        st.QuestionParams[1] = r.s;
        st.QuestionParams[2] = r.a;
        st.QuestionParams[3] = r.b;
        st.QuestionParams[4] = r.x1;

        if (m == 1) {
            st.CaptionSubject = QStringLiteral("Output");
            st.QuestionSubject = QStringLiteral("bij de Output ?");
            st.ExpectedAnswer = r.Out(r.x0);
        } else if (KeerAsked(m)) {
            st.CaptionSubject = QStringLiteral("Keer");
            st.QuestionSubject = QStringLiteral("bij de Keer-machine ?");
            st.ExpectedAnswer = r.a;
        } else {
            st.CaptionSubject = r.Op();
            st.QuestionSubject = QStringLiteral("bij de ") + r.Op() + QStringLiteral("-machine ?");
            st.ExpectedAnswer = r.b;
        }
        DrawPicture(r, m);
        st.PictureDescription = QStringLiteral("Twee machientjes achter elkaar, een Keer-machine en dan een "
                                               "%1-machine, met een tabel van de inputs 1 tot en met 6 en een deel "
                                               "van hun outputs.").arg(r.Op());
    }

    textlines::WriteAt(QStringLiteral("Twee machientjes zijn aaneen-"), col::Blue, 1);
    textlines::WriteAt(QStringLiteral("geschakeld tot een ketting."), col::Blue, 2);
    textlines::WriteAt(QStringLiteral("Zie het plaatje hiernaast."), col::Black, 3.5);
    textlines::WriteAt(QStringLiteral("Hoe groot is het vraagteken"), col::Blue, 5);
    textlines::WriteAt(st.QuestionSubject, col::Blue, 6);
    AskWholeNumber(8, st.CaptionSubject + QStringLiteral(" : "),
                   QStringLiteral("|Hoe groot is het vraagteken ") + st.QuestionSubject);
}

void Theme5Explanation()
{
    SessionState& st = Session();
    const int m = st.ThemeMemory[Code];
    RaRa r = Stored();
    const double b = ExplanationHeading();
    if (m < 1 || m > 7 || (r.s != 1 && r.s != -1) || r.a < 1 || r.a > 1000 || r.b < 0 || r.b > 1000 || r.x0 < 1 ||
        r.x0 > 6)
        return;
    const QString second = (r.s > 0 ? QStringLiteral("Plus ") : QStringLiteral("Min ")) + QString::number(r.b);

    if (m <= 3) {
        // The chain from the marked input: n is 3 for the output, 2 for the second machine,
        // 1 for the Keer machine.
        const QVector<Machine> chain = {{OpKeer, r.a}, {r.s > 0 ? OpPlus : OpMin, r.b}};
        ChainExplanation(b, r.x0, r.Out(r.x0), chain, 4 - m, st.ExpectedAnswer);
        return;
    }
    if (m <= 5) {
        Write(QStringLiteral("Als de input met 1 toeneemt, dan"), col::Red, TextMargin, b + 1);
        Write(QStringLiteral("neemt de output met ") + QString::number(r.a) + QStringLiteral(" toe."), col::Red,
            TextMargin, b + 2);
        Write(QStringLiteral("Dus het eerste machientje is:"), col::Blue, TextMargin, b + 3);
        Write(QStringLiteral("Keer ") + QString::number(r.a), col::Red, Centred, b + 4);
        if (m == 5) {
            Write(QStringLiteral("Het tweede moet dan zijn:"), col::Blue, TextMargin, b + 5);
            Write(second, col::Red, Centred, b + 6);
        }
        return;
    }

    // Two marked rows: how much the output grows between them, and so for a step of 1.
    if (r.x1 < 1 || r.x1 > 6 || r.x1 == r.x0)
        return;
    if (r.x1 < r.x0) {
        std::swap(r.x0, r.x1);
        st.QuestionParams[0] = r.x0;
        st.QuestionParams[4] = r.x1;
    }
    const int dx = r.x1 - r.x0, dy = r.Out(r.x1) - r.Out(r.x0);
    Write(QStringLiteral("Als de input met ") + QString::number(dx) + QStringLiteral(" toeneemt, dan"), col::Red,
        TextMargin, b + 1);
    Write(QStringLiteral("neemt de output met ") + QString::number(dy) + QStringLiteral(" toe."), col::Red, TextMargin,
        b + 2);
    st.TextLine += 2;
    if (dx != 1) {
        const double c = st.TextLine;
        Write(QStringLiteral("Dus als de input met 1 toeneemt,"), col::Blue, TextMargin, c + 1);
        Write(QStringLiteral("dan neemt de output met "), col::Blue, TextMargin, c + 2.5);
        if (TextBitmap())
            TextBitmap()->setPen(col::Red, 1);
        LastTextEnd = DrawFraction(QString::number(dy), QString::number(dx), TextBitmap(), LastTextEnd,
                                   Round((c + 2.5) * LineHeight), col::Red);
        Write(QStringLiteral(" toe."), col::Blue, LastTextEnd, c + 2.5);
        st.TextLine += 3.25;
    }
    const double d = st.TextLine;
    Write(QStringLiteral("Dus het 1e machientje is: "), col::Blue, TextMargin, d + 1);
    WriteAtRight(QStringLiteral("Keer ") + QString::number(r.a), col::Red, d + 1);
    if (m == 7) {
        Write(QStringLiteral("Het 2e moet dan zijn: "), col::Blue, TextMargin, d + 2);
        WriteAtRight(second, col::Red, d + 2);
    }
}

}  // namespace kav

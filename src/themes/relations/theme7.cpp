// Theme 7: uncle Koos stretches threads between the nails of a square board. How many threads
// cross the drawn one (or do not), how large is the rectangle or the square the threads enclose?
#include <cmath>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/relations.h"
#include "themes/relations/textlines.h"
#include "themes/triangular/triangle.h"

namespace kav {

using namespace textlines;

namespace {

// QuestionParams: [0] the board size n, [1] the position p of the drawn thread (raised by one
// for the blue square of sub-question 6). ThemeMemory[7] keeps the sub-question 0 .. 6.
enum Param { BoardSize = 0, Position = 1 };

// Board point (x, y), in units from the left and the bottom edge, as a pixel of the picture.
QPoint BoardPoint(double x, double y, int n)
{
    const double ux = PercentX(80) / double(qMax(n, 1)), uy = PercentY(80) / double(qMax(n, 1));
    return QPoint(Round(PercentX(10) + x * ux), Round(PercentY(95) - y * uy));
}

void Thread(Canvas* c, QPointF from, QPointF to, int n)
{
    const QPoint a = BoardPoint(from.x(), from.y(), n), b = BoardPoint(to.x(), to.y(), n);
    c->line(a.x(), a.y(), b.x(), b.y());
}

// The square with parameter Q tilted in the board: (0, q), (n - q, 0), (n, n - q), (q, n).
void TiltedSquare(Canvas* c, int q, int n)
{
    const QPointF corners[] = {{0, double(q)}, {double(n - q), 0}, {double(n), double(n - q)}, {double(q), double(n)}};
    for (int i = 0; i < 4; ++i)
        Thread(c, corners[i], corners[(i + 1) % 4], n);
}

int TiltedSquareArea(int q, int n)
{
    return n * n - 2 * q * (n - q);
}

// Fills the area of the board round its centre with Colour.
void FillCentre(Canvas* pic, const QColor& colour)
{
    const int x = PercentX(50), y = PercentY(55);
    pic->setBrush(colour);
    pic->floodFill(x, y, pic->pixel(x, y), FillMode::Surface);
}

// A thread from an edge nail: the four edges as lines of board points, nail i at 1 .. n - 1.
enum Edge { Left, Bottom, Right, Top };

QPointF Nail(Edge e, int i, int n)
{
    switch (e) {
    case Left: return {0, double(i)};
    case Bottom: return {double(i), 0};
    case Right: return {double(n), double(i)};
    default: return {double(i), double(n)};
    }
}

struct SubQuestion {
    const char* subject;
    const char* caption;
    double textLine;
    const char* lines[5];  // the question, one text a line; fewer end in a null
};

const SubQuestion& Sub(int c)
{
    static const SubQuestion subs[] = {
        {"Hoeveel draadjes van links naar onder snijden het draadje ?", "Aantal", 10,
         {"Hoeveel draadjes kan hij van", "\"links\" naar \"onder\" spannen", "die het getekende draadje",
          "in een tussenpunt snijden ?"}},
        {"Hoeveel draadjes van links naar onder snijden het draadje NIET ?", "Aantal", 10,
         {"Hoeveel draadjes kan hij van", "\"links\" naar \"onder\" spannen", "die het getekende draadje",
          "NIET snijden ?", "(ook niet in een spijker)"}},
        {"Hoe groot is de oppervlakte van de rechthoek ?", "Oppervlakte", 9,
         {"Hoe groot is de oppervlakte", "van de door de 4 draadjes", "ingesloten rechthoek ?"}},
        {"Hoe groot is de oppervlakte van het blauwe vierkantje ?", "Oppervlakte", 9,
         {"Hoe groot is de oppervlakte", "van het kleine blauwe vierkantje", "\"binnenin\" ?"}},
        {"Hoeveel draadjes snijden het getekende draadje ?", "Aantal", 10.5,
         {"Hoeveel draadjes kan hij", "spannen die het getekende", "draadje in een tussenpunt", "snijden ?"}},
        {"Hoeveel draadjes snijden het getekende draadje NIET ?", "Aantal", 10.5,
         {"Hoeveel draadjes kan hij", "spannen die het getekende", "draadje NIET snijden ?",
          "(ook niet in een spijker)"}},
        {"Hoe groot is het verschil van de opp. van de 2 vierkanten ?", "Verschil", 9,
         {"Hoe groot is het verschil van", "de oppervlakten van de twee", "vierkanten ?"}},
    };
    return subs[qBound(0, c, 6)];
}

bool CountsThreads(int c)
{
    return c == 0 || c == 1 || c == 4 || c == 5;
}

int Expected(int c, int n, int p)
{
    const int a = p - 1, b = n - p - 1, m = n - 1;
    switch (c) {
    case 0: return b * b + a * a;
    case 1: return 2 * a * b;
    case 2: return 2 * p * (n - p);
    case 3: return n * n - 4 * p * (n - p);
    case 4: return b * b + a * a + m * (n - 2);
    case 5: return 2 * a * b + (n - 2) * m + m * m;
    default: return std::abs(TiltedSquareArea(p, n) - TiltedSquareArea(p + 1, n));
    }
}

void DrawBoard(int n)
{
    Canvas* pic = PictureBitmap();
    pic->setPen(col::Yellow, 1);
    pic->setBrush(col::Yellow);
    pic->rectangle(PercentX(10), PercentY(15), PercentX(90), PercentY(95));
    pic->setPen(col::Red, Round(2 * ScreenScale));
    pic->setBrush(col::Red);
    const int r = Round(3 * ScreenScale);
    for (int i = 1; i < n; ++i)
        for (Edge e : {Left, Bottom, Right, Top}) {
            const QPointF nail = Nail(e, i, n);
            const QPoint c = BoardPoint(nail.x(), nail.y(), n);
            pic->ellipse(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
        }
}

// Four blue lines along the nail rows p and n - p cut a p x (n - p) rectangle out of every
// corner; the square left between them is filled blue. Each line runs 1 % of the board past
// the line it meets, so that the square is closed whichever row lies lower.
void CutCorners(Canvas* pic, int p, int n)
{
    const double low = Min(p, n - p), high = Max(p, n - p), over = 0.01 * n;
    pic->setPen(col::Blue, Round(2 * ScreenScale));
    Thread(pic, {0, double(p)}, {high + over, double(p)}, n);
    Thread(pic, {double(n - p), 0}, {double(n - p), high + over}, n);
    Thread(pic, {double(n), double(n - p)}, {low - over, double(n - p)}, n);
    Thread(pic, {double(p), double(n)}, {double(p), low - over}, n);
    FillCentre(pic, col::Blue);
}

void NewItem()
{
    SessionState& s = Session();
    Canvas* pic = PictureBitmap();
    const int level = ThemeLevel();
    int n;
    do {
        n = 3 * level + 2 + Random(2 * level + 2);
    } while (n == s.Private.theme7);
    s.Private.theme7 = n;
    s.QuestionParams[BoardSize] = n;
    const int c = NextInCycle(s.ThemeMemory[7], level + 4);
    s.ThemeMemory[7] = c;
    // The first nail-board item at "Starter" puts the thread at 2; n is at least 5, so the
    // square of sub-question 3 never vanishes there.
    const bool firstStarter = level == 1 && s.ThemeItemCount[7] == 0;
    int p = 2;
    if (!firstStarter) {
        do {
            p = 2 + Random(n - 3);
        } while (n == 2 * p && c == 3);
    }
    // Sub-question 6 keeps the blue square's parameter, one more than the drawn thread's.
    s.QuestionParams[Position] = c == 6 ? p + 1 : p;
    s.ExpectedAnswer = Expected(c, n, p);
    s.QuestionSubject = QString::fromUtf8(Sub(c).subject);
    s.CaptionSubject = QString::fromUtf8(Sub(c).caption);
    if (!pic)
        return;

    DrawBoard(n);
    s.PictureDescription = QStringLiteral("Het vierkante plankje van oom Koos, met spijkertjes langs de randen "
                                          "en draadjes ertussen gespannen.");
    const QString title = QStringLiteral("Spijkerbord van ") + Num(n) + QStringLiteral(" x ") + Num(n) +
                          QStringLiteral(" met ") + Num(n - 1) + QStringLiteral(" spijkers per kant.");
    if (CountsThreads(c)) {
        DrawTextItem(QStringLiteral("Draadjes mogen NIET van de boven- naar de onderrand"), col::Black, false,
                     Centred, 1.5, 1, pic);
        DrawTextItem(QStringLiteral("of van de linker- naar de rechterrand !"), col::Black, false, Centred, 2.5,
                     1, pic);
        DrawTextItem(title, col::Red, false, Centred, 0.25, 1, pic);
    } else {
        DrawTextItem(title, col::Red, false, Centred, 1.25, 1, pic);
    }
    pic->setPen(col::Red, Round(2 * ScreenScale));
    if (c != 2)
        Thread(pic, {0, double(p)}, {double(n - p), 0}, n);
    if (c == 2) {
        const QPointF corners[] = {{0, double(p)}, {double(p), 0}, {double(n), double(n - p)}, {double(n - p), double(n)}};
        for (int i = 0; i < 4; ++i)
            Thread(pic, corners[i], corners[(i + 1) % 4], n);
        FillCentre(pic, col::Aqua);
    } else if (c == 3) {
        TiltedSquare(pic, p, n);
        FillCentre(pic, col::Aqua);
        CutCorners(pic, p, n);
    } else if (c == 6) {
        TiltedSquare(pic, p, n);
        pic->setPen(col::Blue, Round(2 * ScreenScale));
        TiltedSquare(pic, p + 1, n);
    }
}

// "x · y = xy" for the explanation.
QString Product(int x, int y)
{
    return Num(x) + QStringLiteral(" \u00b7 ") + Num(y) + QStringLiteral(" = ") + Num(x * y);
}

// A group of counted threads: from the nails I1 .. I2 of edge A to the nails J1 .. J2 of B.
struct ThreadGroup {
    Edge a;
    int i1, i2;
    Edge b;
    int j1, j2;
    int Size() const { return Max(i2 - i1 + 1, 0) * Max(j2 - j1 + 1, 0); }
};

// At most this many counted threads are all drawn; beyond it each group shows the fan of its
// middle nail, so that the board stays readable.
constexpr int AllThreadsUpTo = 60;

// The counted threads in thin blue beside the drawn thread: for Crossing those that cross it,
// otherwise those that do not meet it at all; AllEdges adds the threads to the top and the
// right edge.
void HelperThreads(int n, int p, bool crossing, bool allEdges)
{
    Canvas* pic = PictureBitmap();
    if (!pic || n < 2 || n > 100)
        return;
    const int q = n - p, m = n - 1;
    QVector<ThreadGroup> groups;
    if (crossing) {
        groups = {{Left, 1, p - 1, Bottom, q + 1, m}, {Left, p + 1, m, Bottom, 1, q - 1}};
        if (allEdges)
            groups += {{Left, 1, p - 1, Top, 1, m}, {Bottom, 1, q - 1, Right, 1, m}};
    } else {
        groups = {{Left, 1, p - 1, Bottom, 1, q - 1}, {Left, p + 1, m, Bottom, q + 1, m}};
        if (allEdges)
            groups += {{Left, p + 1, m, Top, 1, m}, {Bottom, q + 1, m, Right, 1, m}, {Right, 1, m, Top, 1, m}};
    }
    int total = 0;
    for (const ThreadGroup& g : groups)
        total += g.Size();
    pic->setPen(col::Blue, Round(ScreenScale));
    for (const ThreadGroup& g : groups) {
        if (g.Size() == 0)
            continue;
        const int middle = (g.i1 + g.i2) / 2;
        const int from = total <= AllThreadsUpTo ? g.i1 : middle, to = total <= AllThreadsUpTo ? g.i2 : middle;
        for (int i = from; i <= to; ++i)
            for (int j = g.j1; j <= g.j2; ++j)
                Thread(pic, Nail(g.a, i, n), Nail(g.b, j, n), n);
    }
}

}  // namespace

void Theme7()
{
    SessionState& s = Session();
    if (s.Attempt == 0)
        NewItem();
    const int n = s.QuestionParams[BoardSize], c = s.ThemeMemory[7];
    if (Canvas* t = TextBitmap()) {
        t->setPen(col::Red, Round(2 * ScreenScale));
        t->setBrush(col::Yellow);
        t->rectangle(Round(0.02 * t->width()), PercentY(2), Round(0.98 * t->width()), PercentY(17));
    }
    Write(QStringLiteral("Ome Koos spant draadjes"), col::Black, Centred, 1);
    Write(QStringLiteral("op een spijkerbord van"), col::Black, Centred, 2);
    Write(Num(n) + QStringLiteral(" x ") + Num(n) + QStringLiteral(" met ") + Num(n - 1) +
              QStringLiteral(" spijkers per kant."),
          col::Red, Centred, 3);
    const SubQuestion& sub = Sub(c);
    double line = 5;
    for (const char* text : sub.lines)
        if (text)
            WriteAt(QString::fromUtf8(text), col::Blue, line++);
    if (c == 4 || c == 5)
        WriteAt(QStringLiteral("Let op: niet recht oversteken !"), col::Red, 9);
    AskWholeNumber(sub.textLine, s.CaptionSubject + QStringLiteral(" : "), QStringLiteral("|") + s.QuestionSubject);
}

void Theme7Explanation()
{
    SessionState& s = Session();
    const int n = s.QuestionParams[BoardSize], p = s.QuestionParams[Position], c = s.ThemeMemory[7];
    const int a = p - 1, b = n - p - 1, m = n - 1;
    s.TextLine += 1.25;
    WriteAt(QStringLiteral("Toelichting:"), col::Blue, s.TextLine);
    s.TextLine += 1;
    const double l = s.TextLine, x = TextMargin;
    const QString plus = QStringLiteral(" + "), minus = QStringLiteral(" - "), is = QStringLiteral(" = ");
    const QString dot = QStringLiteral(" \u00b7 ");
    const QColor black = col::Black, blue = col::Blue;
    // A text and its computation on one line, from the margin.
    auto said = [&](const QString& text, const QString& computation, double line, const QString& after = QString()) {
        WritePieces(x, line, {{text, black}, {computation, blue}, {after, black}});
    };
    QVector<Piece> last;  // the line that ends in the answer
    switch (c) {
    case 0:
        HelperThreads(n, p, true, false);
        WriteAt(QStringLiteral("Beginnend \"onder\" het draadje"), black, l);
        said(QStringLiteral("zijn "), Product(a, a), l + 1, QStringLiteral(" draadjes mogelijk."));
        said(QStringLiteral("Beginnend \"boven\": "), Product(b, b), l + 2, QStringLiteral("."));
        WriteAt(QStringLiteral("Dus is het antwoord: "), black, l + 3.25);
        last = {{Num(a * a) + plus + Num(b * b) + is, blue}};
        s.TextLine += 4.25;
        break;
    case 1:
        HelperThreads(n, p, false, false);
        WriteAt(QStringLiteral("\"Onder\" het draadje zijn er"), black, l);
        WritePieces(x, l + 1, {{Product(a, b), blue}, {QStringLiteral(" draadjes mogelijk."), black}});
        WriteAt(QStringLiteral("Er \"boven\" zijn er net zo veel."), black, l + 2);
        WriteAt(QStringLiteral("Dus is het antwoord: "), black, l + 3.25);
        last = {{QStringLiteral("2") + dot + Num(a) + dot + Num(b) + is, blue}};
        s.TextLine += 4.25;
        break;
    case 2:
        said(QStringLiteral("Opp. hele bord: "), Product(n, n), l, QStringLiteral("."));
        if (n == 2 * p) {
            WriteAt(QStringLiteral("Vier hoekjes samen: "), black, l + 1);
            WriteAt(QStringLiteral("2") + dot + Num(p) + dot + Num(p) + is + Num(2 * p * p), blue, l + 2);
            last = {{QStringLiteral("Dus opp. = "), black}, {Num(n * n) + minus + Num(2 * p * p) + is, blue}};
            s.TextLine += 4;
        } else {
            const int small = Min(p, n - p), large = Max(p, n - p);
            WriteAt(QStringLiteral("Twee \"kleine\" hoekjes samen: "), black, l + 1);
            WriteAt(Product(small, small), blue, l + 2);
            WriteAt(QStringLiteral("Twee \"grote\" hoekjes samen: "), black, l + 3);
            WriteAt(Product(large, large), blue, l + 4);
            last = {{QStringLiteral("Dus opp. = "), black},
                    {Num(n * n) + minus + Num(small * small) + minus + Num(large * large) + is, blue}};
            s.TextLine += 5;
        }
        break;
    case 3:
        said(QStringLiteral("Opp. hele bord: "), Product(n, n), l, QStringLiteral("."));
        WriteAt(QStringLiteral("In elke hoek ligt een rechthoek"), black, l + 1);
        WriteAt(QStringLiteral("(goed kijken!) met oppervlakte"), black, l + 2);
        WritePieces(x, l + 3, {{Product(p, n - p), blue}, {QStringLiteral("."), black}});
        last = {{QStringLiteral("Dus opp. = "), black},
                {Num(n * n) + QStringLiteral(" - 4") + dot + Num(p * (n - p)) + is, blue}};
        s.TextLine += 4.5;
        break;
    case 4:
        HelperThreads(n, p, true, true);
        said(QStringLiteral("Van \"links\": "),
             Num(a) + dot + Num(a) + plus + Num(b) + dot + Num(b) + is + Num(a * a + b * b), l);
        said(QStringLiteral("Van \"boven\": "), Product(m, a), l + 1);
        said(QStringLiteral("Van \"rechts\": "), Product(m, b), l + 2);
        last = {{QStringLiteral("Dus: "), black}, {Num(a * a + b * b) + plus + Num(m * a) + plus + Num(m * b) + is, blue}};
        s.TextLine += 3.5;
        break;
    case 5:
        HelperThreads(n, p, false, true);
        said(QStringLiteral("Van \"L => O\": "), Num(a) + dot + Num(b) + plus + Num(b) + dot + Num(a) + is + Num(2 * a * b), l);
        said(QStringLiteral("Van \"B => L\": "), Product(m, b), l + 1);
        said(QStringLiteral("Van \"B => R\": "), Product(m, m), l + 2);
        // Right to bottom: the threads from the right edge to the bottom nails beyond the thread.
        said(QStringLiteral("Van \"R => O\": "), Product(m, a), l + 3);
        last = {{QStringLiteral("Dus alles optellen: "), black}};
        s.TextLine += 4;
        break;
    default: {
        const int blueArea = TiltedSquareArea(p, n), redArea = TiltedSquareArea(p - 1, n);
        auto area = [&](int q, int value) {
            return Num(n) + dot + Num(n) + QStringLiteral(" - 2") + dot + Num(q) + dot + Num(n - q) + is + Num(value);
        };
        WriteAt(QStringLiteral("Blauwe vierkant: "), black, l);
        WriteAt(area(p, blueArea), blue, l + 1);
        WriteAt(QStringLiteral("Rode vierkant: "), black, l + 2);
        WriteAt(area(p - 1, redArea), blue, l + 3);
        last = {{QStringLiteral("Dus: verschil = "), black},
                {Num(Max(blueArea, redArea)) + minus + Num(Min(blueArea, redArea)) + is, blue}};
        s.TextLine += 4.5;
        break;
    }
    }
    const bool threads = CountsThreads(c);
    last.append({Num(s.ExpectedAnswer) + (threads ? QStringLiteral(" draadjes") : QString()), col::Red});
    WritePieces(x, s.TextLine, last);
    if (threads) {
        if (Canvas* pic = PictureBitmap()) {
            pic->setPen(col::Red, Round(2 * ScreenScale));
            Thread(pic, {0, double(p)}, {double(n - p), 0}, n);
        }
    }
}

}  // namespace kav

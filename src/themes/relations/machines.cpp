#include "themes/relations/machines.h"

#include <cstdlib>

#include "draw/measures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"
#include "themes/relations/textlines.h"

namespace kav {

namespace {

// The vertical distance between two machines, in percent of the picture height.
constexpr int MachineStep = 17;

QRect PercentRect(double l, double t, double r, double b)
{
    return Rect(PercentX(l), PercentY(t), PercentX(r), PercentY(b));
}

using textlines::Write;

// Text centred on X pixels in the picture, red, plain, on Line.
void RedCentredAt(const QString& text, int x, double line)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    pic->font.size = BaseFontSize;
    pic->font.bold = false;
    DrawTextItem(text, col::Red, false, x - pic->textWidth(text) / 2.0, line, 1, pic);
}

// A chain the explanation can compute with: known operations, numbers that are neither 0
// nor so large that the values could run out of range, and an output that the input really
// gives. Anything else comes from a damaged state and is not explained.
bool UsableChain(int input, int output, const QVector<Machine>& chain)
{
    if (chain.isEmpty() || chain.size() > 4 || std::llabs(input) > 1000000)
        return false;
    long long v = input;
    for (const Machine& m : chain) {
        if (m.op < OpPlus || m.op > OpDeelDoor || m.number == 0 || std::abs(m.number) > 1000)
            return false;
        v = ApplyMachine(m, v);
    }
    return v == output;
}

}  // namespace

QString OperationWord(int op)
{
    switch (op) {
    case OpPlus: return QStringLiteral("Plus ");
    case OpMin: return QStringLiteral("Min ");
    case OpKeer: return QStringLiteral("Keer ");
    case OpDeelDoor: return QStringLiteral("Deel door ");
    default: return QString();
    }
}

long long ApplyMachine(const Machine& m, long long v)
{
    switch (m.op) {
    case OpPlus: return v + m.number;
    case OpMin: return v - m.number;
    case OpKeer: return v * m.number;
    case OpDeelDoor: return m.number != 0 ? v / m.number : v;
    default: return v;
    }
}

long long UndoMachine(const Machine& m, long long v)
{
    switch (m.op) {
    case OpPlus: return v - m.number;
    case OpMin: return v + m.number;
    case OpKeer: return m.number != 0 ? v / m.number : v;
    case OpDeelDoor: return v * m.number;
    default: return v;
    }
}

double PercentLine(double p)
{
    return LineHeight > 0 ? PercentY(p) / double(LineHeight) : 0;
}

double BandLine(double topPercent)
{
    if (LineHeight <= 0)
        return 0;
    return (PercentY(topPercent) + PercentY(9) / 2.0) / LineHeight - 0.5;
}

double MachineLine(int i)
{
    return BandLine(MachineStep * i + 19);
}

void DrawMachine(int i, const QString& label)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const double t = MachineStep * i;
    pic->setPen(col::Yellow, 1);
    pic->setBrush(col::Yellow);
    pic->rectangle(PercentX(25), PercentY(t + 19), PercentX(75), PercentY(t + 28));  // the body
    pic->polygon({QPoint(PercentX(43), PercentY(t + 16)), QPoint(PercentX(57), PercentY(t + 16)),
                  QPoint(PercentX(55), PercentY(t + 19)), QPoint(PercentX(45), PercentY(t + 19))});  // the hopper
    pic->rectangle(PercentX(45), PercentY(t + 28), PercentX(55), PercentY(t + 31));  // the outlet

    // The outline round body, hopper and outlet; the outlet stays open at the bottom.
    const double outline[][2] = {{25, t + 19}, {45, t + 19}, {43, t + 16}, {57, t + 16}, {55, t + 19}, {75, t + 19},
                                 {75, t + 28}, {55, t + 28}, {55, t + 31}};
    for (size_t k = 0; k + 1 < std::size(outline); ++k)
        DrawLinePercent(pic, col::Black, outline[k][0], outline[k][1], outline[k + 1][0], outline[k + 1][1], 2);
    DrawLinePercent(pic, col::Black, 45, t + 31, 45, t + 28, 2);
    DrawLinePercent(pic, col::Black, 45, t + 28, 25, t + 28, 2);
    DrawLinePercent(pic, col::Black, 25, t + 28, 25, t + 19, 2);

    BlockArrowDown(PercentRect(48, t + 11, 52, t + 19), pic, col::Red);
    DrawTextItem(label, col::Blue, true, Centred, MachineLine(i), 1, pic);
}

void DrawChainExitArrow(int count)
{
    const double t = MachineStep * count;
    BlockArrowDown(PercentRect(48, t + 11, 52, t + 19), PictureBitmap(), col::Red);
}

double ExplanationHeading()
{
    SessionState& s = Session();
    s.TextLine += 1.25;
    Write(QStringLiteral("Toelichting:"), col::Blue, TextMargin, s.TextLine);
    return s.TextLine;
}

void ChainExplanation(double b, int input, int output, const QVector<Machine>& chain, int n, int answer)
{
    if (!UsableChain(input, output, chain))
        return;
    Canvas* pic = PictureBitmap();
    Write(QStringLiteral("Zie rechts naast het schema de"), col::Blue, TextMargin, b + 1);
    Write(QStringLiteral("tussentijdse berekeningen."), col::Blue, TextMargin, b + 2);

    const int last = int(chain.size());  // the slot of the output
    n = qBound(0, n, last + 1);
    const int x = PercentX(92);
    auto slotLine = [](int j) { return BandLine(MachineStep * j + 11); };

    // Downward from the input to slot n - 1.
    long long v = input;
    for (int j = 0; j < n; ++j) {
        RedCentredAt(QString::number(v), x, slotLine(j));
        if (j < n - 1)
            BlockArrowDown(PercentRect(90, MachineStep * j + 20, 94, MachineStep * j + 28), pic, col::Red);
        if (j < last)
            v = ApplyMachine(chain[j], v);
    }
    // Upward from the output to slot n.
    long long w = output;
    for (int j = last; j >= n; --j) {
        RedCentredAt(QString::number(w), x, slotLine(j));
        if (j > n)
            BlockArrowUp(PercentRect(90, MachineStep * j + 3, 94, MachineStep * j + 11), pic, col::Red);
        if (j > 0)
            w = UndoMachine(chain[j - 1], w);
    }
    if (n < 1 || n > last)
        return;

    // Machine k = n - 1 is asked: what goes in (w) and what comes out (v) meet at its "?".
    BlockArrowDown(PercentRect(90, MachineStep * n + 1, 94, MachineStep * n + 4), pic, col::Red);
    BlockArrowUp(PercentRect(90, MachineStep * n + 10, 94, MachineStep * n + 13), pic, col::Red);
    RedCentredAt(QStringLiteral("?"), x, BandLine(MachineStep * n + 2.5));
    QString middle;
    switch (chain[n - 1].op) {
    case OpPlus: middle = QStringLiteral(" + ? = "); break;
    case OpMin: middle = QStringLiteral(" - ? = "); break;
    case OpKeer: middle = QStringLiteral(" x ? = "); break;
    default: middle = QStringLiteral(" / ? = "); break;
    }
    Write(QString::number(w) + middle + QString::number(v), col::Red, 2 * TextMargin, b + 3);
    Write(QStringLiteral("Dus: "), col::Blue, TextMargin, b + 4);
    Write(QStringLiteral("? = ") + QString::number(answer), col::Red, LastTextEnd, b + 4);
}

}  // namespace kav

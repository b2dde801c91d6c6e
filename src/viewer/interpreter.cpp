#include "viewer/interpreter.h"

#include <QElapsedTimer>
#include <QtMath>
#include <cmath>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/session.h"

namespace kav {

namespace {

// A fault in the script: the run stops with a message that names the line.
struct Fault {
    QString detail;
    bool namesLine = true;  // false when the fault lies in no single line
};

// More rows than this make no visible triangle (the cells would be smaller than a pixel) and
// would keep the program busy for minutes.
constexpr int maxPatternRows = 300;

int PercentOf(double p, int size)
{
    return Round(p * 0.01 * size);
}

qint64 TriangularOf(qint64 j)
{
    return j * (j + 1) / 2;
}

}  // namespace

namespace {

// Where a cell of a triangular-number pattern lies: its centre and its size in pixels.
struct PatternCell {
    double cx, cy, cw, ch;
};

PatternCell PatternCellAt(int g, int c, int n, int layout, bool big, int w, int h)
{
    if (layout >= 8) {
        // Gauss's rectangle of n rows of n + 1 cells, in the middle, its foot on 96 % and (big)
        // its top on 18 %, under a heading: layout 8 is the staircase (row r holds r cells from
        // the left), layout 9 the same staircase turned half round, which fills the rest, so
        // every row holds r + (n + 1 - r) cells.
        const double cw = PercentOf(75, w) / double(big ? n + 1 : 30);
        const double ch = PercentOf(78, h) / double(big ? n : 30);
        int row = n - g + 1, column = c;
        if (layout == 9) {
            row = n + 1 - row;
            column = n + 2 - c;
        }
        const double x0 = PercentOf(50, w) - cw * n / 2;
        return {x0 + cw * (column - 1), PercentOf(96, h) - ch * (n - row + 0.5), cw, ch};
    }
    const double cw = PercentOf(75, w) / double(big ? n : 30);
    const double ch = PercentOf(80, h) / double(big ? n : 30);
    const double shift = layout % 2 == 1 ? cw / 2 : 0;  // odd layouts are isosceles
    double x0 = PercentOf(17, w);
    if (PercentOf(1, w) > x0 - cw / 2)
        x0 = PercentOf(1, w) + cw / 2;
    if (layout < 4)  // apex up
        return {x0 + shift * (g - 1) + cw * (c - 1), PercentOf(90, h) - ch * (g - 1), cw, ch};
    return {x0 + shift * (n - g) + cw * (n - c), PercentOf(10, h) + ch * g, cw, ch};  // apex down
}

}  // namespace

void DrawPatternCell(int g, int c, int n, int layout, int dot, const QColor& colour, bool big, Canvas* bitmap)
{
    if (!bitmap || dot < 1 || n < 1 || layout < 0 || layout > 9)
        return;
    const PatternCell cell = PatternCellAt(g, c, n, layout, big, bitmap->width(), bitmap->height());
    const double cx = cell.cx, cy = cell.cy;
    bitmap->setPen(colour, 1);
    bitmap->setBrush(colour);
    if (layout < 8 && layout % 4 < 2) {
        const double e = Round(bitmap->textWidth(QStringLiteral("O")) * dot * 0.01);
        bitmap->ellipse(Round(cx - e / 2), Round(cy - e / 2), Round(cx + e / 2), Round(cy + e / 2));
    } else {
        bitmap->setBrush(layout < 4 || layout == 8 ? col::Yellow : col::Aqua);
        bitmap->penWidth = Round(ScreenScale);
        bitmap->rectangle(Round(cx - cell.cw / 2), Round(cy - cell.ch / 2), Round(cx + cell.cw / 2),
                          Round(cy + cell.ch / 2));
    }
}

void DrawBinomial(int& x, int& y, const QString& top, const QString& bottom, Canvas* canvas, const QColor& colour)
{
    if (!canvas)
        return;
    canvas->penColor = colour;
    canvas->font.color = colour;
    const int th = canvas->textHeight(top);
    const int wn = canvas->textWidth(QStringLiteral("n"));
    const int h = wn / 2;
    const QString twoSpaces = QStringLiteral("  ");
    const int column = Max(canvas->textWidth(top + twoSpaces), canvas->textWidth(bottom + twoSpaces));
    // The brackets are arcs of two tall ellipses, drawn counter-clockwise.
    canvas->arc(x + h, y, x + h + 3 * wn, y + 2 * th, x + wn, y, x + wn, y + 2 * th);
    canvas->arc(x + column - wn, y, x + 2 * wn + column - h, y + 2 * th, x + wn + column, y + 2 * th,
                x + wn + column, y);
    canvas->textOut(x + wn + (column - canvas->textWidth(top)) / 2, y, top);
    canvas->textOut(x + wn + (column - canvas->textWidth(bottom)) / 2, y + th, bottom);
    x += 2 * wn + column;
}

Interpreter::Interpreter(Canvas* text, Canvas* picture, ScriptPort* port) : text_(text), picture_(picture), port_(port)
{
}

bool Interpreter::LeesFile(const QString& fileName)
{
    Abort();
    ContinueRun = false;
    pattern_ = Pattern();
    return reader.LeesFile(fileName);
}

void Interpreter::Abort()
{
    ++generation_;
    running_ = false;
}

namespace {

// Field access with the conversions of the script format.
class Fields {
public:
    explicit Fields(ScriptReader& r) : r_(r) {}

    QString& operator[](int n) { return r_.F[n]; }

    double number(int n, double lo = -1e5, double hi = 1e5) const { return numberOf(r_.F[n], n, lo, hi); }

    // F5 is not converted when it is read; it is when a command uses it as a number.
    double textAsNumber(int n) const { return numberOf(PointToSeparator(r_.F[n], DecimalSeparator), n); }

    int whole(int n) const { return wholeOf(r_.F[n], n); }

    static double numberOf(const QString& text, int field, double lo = -1e5, double hi = 1e5)
    {
        if (text.trimmed().isEmpty())
            throw Fault{QStringLiteral("Er ontbreekt een getal in veld %1.").arg(field)};
        const auto v = ScriptDecimal(text, DecimalSeparator);
        if (!v)
            throw Fault{QStringLiteral("%1 is geen geldig getal (veld %2).").arg(QuoteScriptText(text), QString::number(field))};
        if (*v < lo || *v > hi)
            throw Fault{QStringLiteral("%1 is hier geen bruikbaar getal (veld %2): het moet tussen %3 en %4 liggen.")
                            .arg(QuoteScriptText(text), QString::number(field), QString::number(lo), QString::number(hi))};
        return *v;
    }

    static int wholeOf(const QString& text, int field)
    {
        if (text.trimmed().isEmpty())
            throw Fault{QStringLiteral("Er ontbreekt een geheel getal in veld %1.").arg(field)};
        const auto v = ScriptWhole(text);
        if (!v)
            throw Fault{QStringLiteral("%1 is geen geldig geheel getal (veld %2).").arg(QuoteScriptText(text), QString::number(field))};
        return *v;
    }

    // Two numbers written as "a/b" in one field.
    static std::pair<double, double> pairOf(const QString& text, int field)
    {
        const qsizetype slash = text.indexOf(u'/');
        if (slash < 0)
            throw Fault{QStringLiteral("%1 in veld %2 moet twee getallen met een / ertussen zijn.")
                            .arg(QuoteScriptText(text), QString::number(field))};
        return {numberOf(text.left(slash), field), numberOf(text.mid(slash + 1), field)};
    }

private:
    ScriptReader& r_;
};

// Sizes and pen widths far beyond any lesson would only stall the drawing.
constexpr double maxSize = 40;
constexpr double maxPenFactor = 100;

}  // namespace

void Interpreter::Doorgaan()
{
    if (running_)
        return;  // a run is waiting; the window's events may not start a second one
    running_ = true;
    const int run = ++generation_;
    runGeneration_ = run;
    lastDelta_.clear();
    try {
        port_->ShowContinue(false);
        LineEnd end = LineEnd::Next;
        while (end == LineEnd::Next && !ContinueRun) {
            if (reader.atEnd())
                throw Fault{QStringLiteral("Het script is afgelopen zonder [end]."), false};
            end = runLine();
            if (LineDone)
                LineDone();
            if (generation_ != run)
                return;  // the viewer started anew meanwhile
        }
        if (end == LineEnd::Closed) {
            running_ = false;
            return;
        }
        sumAnimation();
        port_->Paint();
    } catch (const Stop&) {
        return;  // ended from outside while waiting: the viewer may be gone
    } catch (const Fault& f) {
        ContinueRun = false;
        reportError(f.detail, f.namesLine);
        if (reader.atEnd())
            port_->HideContinue();
        port_->Paint();
    }
    if (generation_ == run)
        running_ = false;
}

// Messages are built in one pass of arg(), so text from a script holding "%1" is shown as it
// stands and never taken for a place holder.
void Interpreter::reportError(const QString& detail, bool namesLine)
{
    const QString file = reader.fileName().isEmpty() ? QStringLiteral("het script") : reader.fileName();
    QString heading;
    if (!namesLine)
        heading = QStringLiteral("Fout in %1:").arg(file);
    else if (const auto line = ScriptWhole(reader.F[1]))
        heading = QStringLiteral("Fout in regel %1 van %2:").arg(QString::number(*line), file);
    else
        heading = QStringLiteral("Fout in %1, in de regel %2:").arg(file, QuoteScriptText(reader.currentLine()));
    ShowMessage(heading + QLatin1Char('\r') + detail, MessageKind::Error);
}

// One line from the queue.
Interpreter::LineEnd Interpreter::runLine()
{
    reader.LeesRegel();
    Fields f(reader);
    if (f[1].trimmed().isEmpty())
        throw Fault{QStringLiteral("De regel begint niet met een regelnummer.")};
    const int lineNumber = f.whole(1);
    ContinueTag = lineNumber;
    Canvas* target = f[9].startsWith(u'R') ? picture_ : text_;
    const QString command = f[2];

    // The position of a "[pos]" text counts also on lines of other steps.
    if (command == QLatin1String("[pos]") || command == QLatin1String("[pos2]")) {
        const qsizetype slash = f[3].indexOf(u'/');
        if (slash < 0)
            throw Fault{QStringLiteral("%1 in veld 3 moet een breuk a/b van twee gehele getallen zijn.")
                            .arg(QuoteScriptText(f[3]))};
        const int a = Fields::wholeOf(f[3].left(slash), 3);
        const int b = Fields::wholeOf(f[3].mid(slash + 1), 3);
        if (b == 0)
            throw Fault{QStringLiteral("Deling door nul in %1 (veld 3).").arg(QuoteScriptText(f[3]))};
        const double x = double(a) / b * target->width();
        if (std::fabs(x) > 1e6)
            throw Fault{QStringLiteral("%1 (veld 3) ligt ver buiten het venster.").arg(QuoteScriptText(f[3]))};
        LastTextEnd = Round(x) + (command == QLatin1String("[pos]") ? TextMargin : 0);
        f[3] = QStringLiteral("p");
    }

    if (command == QLatin1String("[end]") || (IntroOnly && lineNumber >= 100)) {
        port_->Einde();
        return LineEnd::Closed;
    }
    if (lineNumber / 100 != ScriptStep)
        return LineEnd::Next;  // a line of another step: dropped

    if (command == QLatin1String("[toets]")) {
        port_->ShowContinue(true);
        return LineEnd::Pause;
    }
    if (command == QLatin1String("[invoer]")) {
        const int kind = f.whole(3);
        const int top = Round(f.number(4) * LineHeight);
        // Doorgaan stays hidden while the entry is open, so the check of the entry cannot be passed by.
        port_->HideContinue();
        port_->OpenEntry(top, f[5], kind);
        return LineEnd::Pause;
    }
    if (command == QLatin1String("[wait]")) {
        wait();
        return LineEnd::Next;
    }
    static const QStringList shapes = {
        QStringLiteral("[schoon]"), QStringLiteral("[box]"),  QStringLiteral("[4hoek]"), QStringLiteral("[ellips]"),
        QStringLiteral("[cirkel]"), QStringLiteral("[pie]"),  QStringLiteral("[arc]"),   QStringLiteral("[lijn]"),
        QStringLiteral("[pijl]"),   QStringLiteral("[fill]"),
    };
    if (shapes.contains(command))
        executeShape(target);
    else if (command == QLatin1String("[3hoeksgetal]"))
        drawPattern(target);
    else
        executeText(target);
    return LineEnd::Next;
}

void Interpreter::wait()
{
    Fields f(reader);
    const int ms = Round(f.number(3) * 1000);
    port_->HideContinue();
    port_->Paint();
    if (!PlayWaits)
        return;
    const int run = runGeneration_;
    ScriptPort* port = port_;
    QElapsedTimer clock;  // monotonic: the turn of a minute or an hour changes nothing
    clock.start();
    for (;;) {
        const qint64 left = ms - clock.elapsed();
        if (left <= 0)
            break;
        if (!port->HandleEvents(int(qMin<qint64>(left, 50))))
            throw Stop{};  // the viewer closed: nothing of it may be touched any more
        if (generation_ != run)
            throw Stop{};
    }
}

void Interpreter::executeShape(Canvas* target)
{
    Fields f(reader);
    const QString command = f[2];
    const int w = target->width();
    auto px = [w](double p) { return Round(p * 0.01 * w); };
    auto py = [](double r) { return Round(r * LineHeight); };
    auto outline = [&](bool fill) {
        target->setPen(reader.PenColour, Round(f.number(8, -maxPenFactor, maxPenFactor) * ScreenScale));
        if (fill && f[7] != QLatin1String("Blank"))
            target->setBrush(ColourByName(f[7]));
        else
            target->setBrushClear();
    };

    if (command == QLatin1String("[schoon]")) {
        ClearLines(target, f.number(3), f.number(4));
    } else if (command == QLatin1String("[box]")) {
        const int x1 = px(f.textAsNumber(5)), y1 = py(f.number(3)), x2 = px(f.number(6)), y2 = py(f.number(4));
        outline(true);
        target->rectangle(qMin(x1, x2), qMin(y1, y2), qMax(x1, x2), qMax(y1, y2));
    } else if (command == QLatin1String("[4hoek]")) {
        QVector<QPoint> corners;
        for (int n : {3, 4, 5, 6}) {
            const QString field = n == 5 ? PointToSeparator(f[n], DecimalSeparator) : f[n];
            const auto [x, y] = Fields::pairOf(field, n);
            corners << QPoint(px(x), py(y));
        }
        outline(true);
        target->polygon(corners);
    } else if (command == QLatin1String("[ellips]")) {
        const int x1 = px(f.number(3)), y1 = py(f.number(4)), x2 = px(f.textAsNumber(5)), y2 = py(f.number(6));
        outline(true);
        target->ellipse(qMin(x1, x2), qMin(y1, y2), qMax(x1, x2), qMax(y1, y2));
    } else if (command == QLatin1String("[cirkel]")) {
        const double cx = f.number(3) * 0.01 * w;
        const double cy = f.number(4) * LineHeight;
        const double r = f[5].trimmed().isEmpty() ? f.number(6) * LineHeight : f.textAsNumber(5) * 0.01 * w;
        outline(true);
        target->ellipse(Round(cx - r), Round(cy - r), Round(cx + r), Round(cy + r));
    } else if (command == QLatin1String("[pie]") || command == QLatin1String("[arc]")) {
        const double r = f.textAsNumber(5) * 0.01 * w;
        const int cx = px(f.number(3)), cy = py(f.number(4));
        const auto [a1, a2] = Fields::pairOf(f[6], 6);
        const double s1 = qDegreesToRadians(a1), s2 = qDegreesToRadians(a2);
        const int x1 = Round(cx - r), y1 = Round(cy - r), x2 = Round(cx + r), y2 = Round(cy + r);
        const int x3 = Round(cx + r * std::cos(s1)), y3 = Round(cy - r * std::sin(s1));
        const int x4 = Round(cx + r * std::cos(s2)), y4 = Round(cy - r * std::sin(s2));
        if (command == QLatin1String("[pie]")) {
            outline(true);
            target->pie(x1, y1, x2, y2, x3, y3, x4, y4);
        } else {
            outline(false);
            target->arc(x1, y1, x2, y2, x3, y3, x4, y4);
        }
    } else if (command == QLatin1String("[lijn]")) {
        const int x1 = px(f.number(3)), y1 = py(f.number(4)), x2 = px(f.textAsNumber(5)), y2 = py(f.number(6));
        outline(false);
        target->line(x1, y1, x2, y2);
    } else if (command == QLatin1String("[pijl]")) {
        const int x1 = px(f.number(3)), y1 = py(f.number(4)), x2 = px(f.textAsNumber(5)), y2 = py(f.number(6));
        DrawArrow(target, reader.PenColour, x1, y1, x2, y2, f.number(8, -maxPenFactor, maxPenFactor));
    } else if (command == QLatin1String("[fill]")) {
        const int x = px(f.number(3)), y = py(f.number(4));
        if (target->clipRect().contains(x, y)) {
            target->setBrush(reader.PenColour);
            target->floodFill(x, y, target->pixel(x, y), FillMode::Surface);
        }
    }
}

void Interpreter::drawPattern(Canvas* target)
{
    Fields f(reader);
    SessionState& s = Session();
    if (!f[3].contains(u'?'))
        s.GivenAnswer = f.whole(4);
    const int n = s.GivenAnswer;
    const int d = f[3] == QLatin1String("?-1") ? -1 : 0;
    const bool big = f[8] == QLatin1String("True");
    const int layout = f.whole(5);
    const int dot = f.whole(6);
    const qint64 rows = qint64(n) + d;
    if (rows > maxPatternRows)
        throw Fault{QStringLiteral("Een driehoekspatroon van %1 rijen is te groot om te tekenen (hoogstens %2).")
                        .arg(rows)
                        .arg(maxPatternRows)};
    pattern_ = {target, n, d, layout, dot, big, reader.PenColour, target->font};
    for (int r = 1; r <= rows; ++r)
        drawPatternRow(r, reader.PenColour);
}

void Interpreter::drawPatternRow(int r, const QColor& colour)
{
    const Pattern& p = pattern_;
    // The dots are measured in the font the pattern was drawn in.
    const CanvasFont font = p.target->font;
    p.target->font = p.font;
    for (int k = 1; k <= r; ++k)
        DrawPatternCell(p.n - r + 1 + p.d, k - p.d, p.n, p.layout, p.dot, colour, p.big, p.target);
    p.target->font = font;
}

void Interpreter::executeText(Canvas* target)
{
    Fields f(reader);
    const QString command = f[2];
    const QString text = f[5];
    const QColor colour = reader.PenColour;
    const int w = target->width();

    const double y = f.number(4);
    CurrentTextY = Round(y * LineHeight);
    const double size = f.number(6, -maxSize, maxSize);
    const bool bold = f[8] == QLatin1String("Vet");
    target->font.size = Round(size * BaseFontSize);
    target->font.bold = bold;
    target->font.italic = false;
    target->font.underline = false;

    double x;
    const QString& where = f[3];
    if (where == QLatin1String("l"))
        x = TextMargin;
    else if (where == QLatin1String("p"))
        x = LastTextEnd;
    else if (where == QLatin1String("r"))
        x = Max(w - target->textWidth(text) - TextMargin, 0);
    else if (where == QLatin1String("c"))
        x = Max((w - target->textWidth(text)) / 2, 0);
    else
        x = Round(f.number(3) * 0.01 * w);  // a number: percent of the width

    const qint64 n = Session().GivenAnswer;
    if (command == QLatin1String("[breuk]")) {
        const qsizetype slash = text.indexOf(u'/');
        const QString numerator = slash < 0 ? text : text.left(slash);
        const QString denominator = slash < 0 ? QString() : text.mid(slash + 1);
        LastTextEnd = DrawFraction(numerator, denominator, target, Round(x), CurrentTextY, colour);
    } else if (command == QLatin1String("[macht]")) {
        DrawTextItem(text, colour, false, x, y, size, target);
        DrawTextItem(f[8], colour, false, LastTextEnd, y - 0.5, size - 0.2, target);
    } else if (command == QLatin1String("[boven]")) {
        LastTextEnd = Round(x);
        target->penWidth = Round(ScreenScale);
        const qsizetype slash = text.indexOf(u'/');
        int bx = LastTextEnd, by = CurrentTextY;
        DrawBinomial(bx, by, slash < 0 ? text : text.left(slash), slash < 0 ? QString() : text.mid(slash + 1), target,
                     colour);
        LastTextEnd = bx;
    } else if (command.startsWith(QLatin1String("[delta"))) {
        LastTextEnd = Round(x);
        target->penWidth = Round(ScreenScale);
        QString number;
        if (command == QLatin1String("[delta?]"))
            number = QString::number(n);
        else if (command == QLatin1String("[delta?-1]"))
            number = QString::number(n - 1);
        else if (command == QLatin1String("[delta]"))
            number = text;
        else
            number = lastDelta_;
        lastDelta_ = number;
        int dx = LastTextEnd;
        DrawTriangleNumber(dx, number, target, LineHeight > 0 ? double(CurrentTextY) / LineHeight : 0, colour);
        LastTextEnd = dx;
    } else if (command == QLatin1String("[knop]")) {
        DrawTextItem(QString(), colour, bold, x, y, size, target);
        target->setPen(colour, bold ? Round(2 * ScreenScale) : Round(ScreenScale));
        if (f[7] == QLatin1String("Blank"))
            target->setBrushClear();
        else
            target->setBrush(ColourByName(f[7]));
        target->rectangle(Round(x), CurrentTextY, Round(x + target->textWidth(text + QStringLiteral("  "))),
                          Round((y + 1) * LineHeight));
        DrawTextItem(QStringLiteral(" ") + text, colour, bold, x, y, size, target);
        LastTextEnd += target->textWidth(QStringLiteral("  "));
    } else if (command == QLatin1String("[ongeveer]")) {
        DrawApproxText(text, colour, target, size, y, x);
    } else if (command == QLatin1String("[euro]")) {
        DrawEuroText(text, colour, bold, x, y, size, target);
    } else {
        DrawTextItem(text, colour, bold, x, y, size, target);
    }

    // Number suffixes: the pupil's number N, or a number made of it, right after the text.
    std::optional<qint64> suffix;
    if (command == QLatin1String("[?]"))
        suffix = n;
    else if (command == QLatin1String("[?+1]"))
        suffix = n + 1;
    else if (command == QLatin1String("[?-1]"))
        suffix = n - 1;
    else if (command == QLatin1String("[?*(?+1)]"))
        suffix = n * (n + 1);
    else if (command == QLatin1String("[?*?]"))
        suffix = n * n;
    else if (command == QLatin1String("[?*(?+1)/2]"))
        suffix = TriangularOf(n);
    if (suffix)
        DrawTextItem(QString::number(*suffix), colour, bold, LastTextEnd, y, size, target);
}

void Interpreter::sumAnimation()
{
    if (Session().SessionMode != 30)
        return;
    // Line 303 starts the sum 1 + 2 + ... beside a large triangle pattern; every press on
    // Doorgaan adds a row, until "Let op de regelmaat!" ends it.
    if (ContinueTag == 303) {
        SumRow = 1;
        ContinueTag = 304;
    }
    if (ContinueTag != 304)
        return;
    const int n = Session().GivenAnswer;
    if (SumRow > n) {
        ContinueRun = false;
        ContinueTag = 305;
        DrawTextItem(QStringLiteral("Let op de regelmaat!"), col::Black, false, TextMargin, 10, 1.0, text_);
        port_->ShowContinue(true);
        return;
    }
    if (n == 0)
        throw Fault{QStringLiteral("Deling door nul: het getal N is 0.")};
    const int k = SumRow;
    const int pw = picture_->width(), ph = picture_->height();
    const double rowH = PercentOf(80, ph) / double(n);
    const double half = PercentOf(75, pw) / double(n) * 0.5;
    DrawTextItem(QString(), col::Black, false, 0, 0, 0.85, picture_);
    const int w = picture_->textWidth(QString::number(TriangularOf(k - 1)) + QStringLiteral(" +") + QString::number(k));
    const double line = (PercentOf(90, ph) - rowH * (n - k)) / LineHeight - 0.5;
    DrawTextItem(QString::number(TriangularOf(k - 1)) + QStringLiteral(" + "), col::Black, false,
                 PercentOf(51, pw) - w - half * k, line, 0.85, picture_);
    DrawTextItem(QString::number(k), col::Red, false, LastTextEnd, line, 0.85, picture_);
    // The new sum stands right of the row, clear of its last dot also when the rows are long
    // and their cells narrow: a space beyond the row's last cell, as far as the frame allows.
    const QString sum = QStringLiteral("= ") + QString::number(TriangularOf(k));
    const PatternCell last = PatternCellAt(n - k + 1, k, n, 1, true, pw, ph);
    const double clear = MinReal(last.cx + last.cw / 2 + picture_->textWidth(QStringLiteral(" ")),
                                 pw - 1 - picture_->textWidth(sum));
    DrawTextItem(sum, col::Blue, false, MaxReal(PercentOf(53, pw) + half * k, clear), line, 0.85, picture_);
    // The row that comes in is drawn red, like its number; the one before gets its own colour back.
    if (pattern_.target == picture_ && pattern_.n == n && pattern_.d == 0) {
        if (k > 1)
            drawPatternRow(k - 1, pattern_.colour);
        drawPatternRow(k, col::Red);
    }
    ++SumRow;
    ContinueRun = true;
}

}  // namespace kav

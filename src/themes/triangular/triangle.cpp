#include "themes/triangular/triangle.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"

namespace kav {

namespace {

bool tableLayoutForced = false;
TriangleCellObserver cellObserver;

// The picture font at the base size, plain: the size the dots are measured in.
void BaseFont(Canvas* c)
{
    c->font.size = BaseFontSize;
    c->font.bold = false;
    c->font.italic = false;
    c->font.underline = false;
}

// The width of "O" in the base font; a triangle asks it for every dot, so it is kept.
int WidthOfO(Canvas* c)
{
    static QString family;
    static int size = -1;
    static int width = 0;
    BaseFont(c);
    if (c->font.family != family || c->font.size != size) {
        family = c->font.family;
        size = c->font.size;
        width = c->textWidth(QStringLiteral("O"));
    }
    return width;
}

int BaseTextWidth(Canvas* c, const QString& text)
{
    BaseFont(c);
    return c->textWidth(text);
}

double CellWidth(int base) { return PercentX(80) / double(base); }
double CellHeight(int base) { return PercentY(80) / double(base); }

// The x-centre of the first cell of the bottom row; Shift is half a cell for isosceles
// triangles. Beside the table the triangle moves to the left edge, never over it.
double FirstCentreX(int base, double shift)
{
    const double cellW = CellWidth(base);
    double left = TableLayoutUsed() ? PercentX(2) + shift : PercentX(10);
    if (PercentX(1) > left - cellW / 2)
        left = PercentX(1) + cellW / 2;
    return left;
}

}  // namespace

bool TableShown()
{
    const SessionState& s = Session();
    const int code = s.ThemeCode;
    if (code < 22 || code >= int(s.ThemeItemCount.size()))
        return false;
    return Level() < 3 && (Level() == 1 || s.ThemeItemCount[size_t(code)] < 15);
}

bool TableLayoutUsed()
{
    return tableLayoutForced || TableShown();
}

TableLayoutScope::TableLayoutScope() : previous_(tableLayoutForced)
{
    tableLayoutForced = true;
}

TableLayoutScope::~TableLayoutScope()
{
    tableLayoutForced = previous_;
}

void SetTriangleCellObserver(TriangleCellObserver observer)
{
    cellObserver = std::move(observer);
}

int ThemeLevel()
{
    return qBound(1, Level(), 3);
}

int RandomBase(int minimum, int previous)
{
    const int level = ThemeLevel();
    int base;
    do {
        base = Random(4 * level + 5) + 4 * level + 2;
    } while (base < minimum || base == previous);
    return base;
}

int RandomLargeBase(int previous)
{
    const int level = ThemeLevel();
    int base;
    do {
        base = Random(2 * level + 5) + 3 * level + 11;
    } while (base == previous);
    return base;
}

bool UsableBase(int base)
{
    return base >= 1 && base <= 30;
}

void DrawTriangleCell(int row, int col, int base, int style, int sizePercent, const QColor& color)
{
    if (cellObserver)
        cellObserver({row, col, base, style, sizePercent, color});
    Canvas* pic = PictureBitmap();
    if (!pic || sizePercent < 1 || style < 0 || style > 3 || !UsableBase(base))
        return;
    // A square of tiles uses every cell up to Base in both directions; nothing lies beyond.
    if (row < 1 || row > base || col < 1 || col > base)
        return;
    const double cellW = CellWidth(base);
    const double cellH = CellHeight(base);
    const double shift = style % 2 == 1 ? cellW / 2 : 0;
    pic->setPen(color, 1);
    pic->setBrush(color);
    const double cx = FirstCentreX(base, shift) + shift * (row - 1) + cellW * (col - 1);
    const double cy = PercentY(80) - cellH * (row - 1);
    if (style <= 1) {
        // Large dots in a wide triangle on a small screen would touch their neighbours and
        // could not be counted: a dot keeps two pixels clear inside its cell.
        const int room = int(MinReal(cellW, cellH)) - 2;
        const int d = Max(Min(Round(WidthOfO(pic) * sizePercent * 0.01), room), 1);
        pic->ellipse(Round(cx - d / 2.0), Round(cy - d / 2.0), Round(cx + d / 2.0), Round(cy + d / 2.0));
    } else {
        pic->setBrush(col::Yellow);
        pic->setPen(color, Round(ScreenScale));
        pic->rectangle(Round(cx - cellW / 2), Round(cy - cellH / 2), Round(cx + cellW / 2), Round(cy + cellH / 2));
    }
}

void DrawTriangleTable()
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    for (int n = 1; n <= 24; ++n) {
        const QString number = QString::number(n);
        DrawTextItem(number, col::Black, false, PercentX(88) - BaseTextWidth(pic, number), n + 1, 1, pic);
        DrawTextItem(QString::number(Triangular(n)), col::Black, false, RightAligned, n + 1, 1, pic);
    }
    const QString basis = QStringLiteral("basis");
    DrawTextItem(basis, col::Black, false, PercentX(90) - BaseTextWidth(pic, basis), 0.5, 1, pic);
    int x = PercentX(95);
    BaseFont(pic);
    pic->setPen(col::Black, Round(ScreenScale));
    DrawTriangleSymbol(x, LineHeight / 2, pic, col::Black);
    DrawLinePercent(pic, col::Black, 91, 2, 91, 98, 1);
    const double y = 100.0 * 1.75 * LineHeight / pic->height();
    DrawLinePercent(pic, col::Black, 81, y, 99, y, 1);
}

void DescribeTrianglePicture(const QString& description)
{
    Session().PictureDescription =
        TableShown() ? description + QStringLiteral(" Rechts staat een tabel van driehoeksgetallen.") : description;
}

double LabelLine()
{
    return PercentY(95) / double(Max(LineHeight, 1));
}

void DrawBaseLabel(int base, double x)
{
    DrawTextItem(QStringLiteral("basis = ") + QString::number(base), col::Blue, false, x, LabelLine(), 1,
                 PictureBitmap());
}

double TerraceFirstColumnX(int base)
{
    return UsableBase(base) ? FirstCentreX(base, 0) : 0;
}

double CellCentreX(int col, int base)
{
    return UsableBase(base) ? TerraceFirstColumnX(base) + CellWidth(base) * (col - 1) : 0;
}

double CellCentreY(int row, int base)
{
    return UsableBase(base) ? PercentY(80) - CellHeight(base) * (row - 1) : 0;
}

void QuestionLine(double line, const QString& text, const QColor& color)
{
    DrawTextItem(text, color, false, TextMargin, line, 1, TextBitmap());
}

void AskWholeNumber(double textLine, const QString& caption, const QString& hint)
{
    SessionState& s = Session();
    s.AnswerKind = 1;
    s.AnswerSuffix.clear();
    s.TextLine = textLine;
    OpenAnswer(caption, hint);
}

}  // namespace kav

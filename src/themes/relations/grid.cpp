#include "themes/relations/grid.h"

#include <QHash>
#include <QPainter>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"

namespace kav {

namespace {

CellGrid cellState{};

// The width of Text as DrawTextItem writes it at size 1.
int PlainWidth(Canvas* c, const QString& text)
{
    c->font.size = BaseFontSize;
    c->font.bold = false;
    c->font.italic = false;
    c->font.underline = false;
    return c->textWidth(text);
}

// A library picture rendered at one size: a path shows the same frog in many cells, and its
// vector source is drawn once per cell size rather than once per cell.
QImage Rendered(const QString& name, QSize size)
{
    static QHash<QString, QImage> rendered;
    const Picture picture = LoadPicture(name);
    if (picture.isNull() || size.isEmpty())
        return QImage();
    const QString key = QStringLiteral("%1 %2x%3").arg(name).arg(size.width()).arg(size.height());
    auto it = rendered.constFind(key);
    if (it != rendered.constEnd())
        return *it;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.draw(painter, QRect(QPoint(0, 0), size));
    painter.end();
    if (rendered.size() > 64)  // a few sizes per screen; a new screen size starts afresh
        rendered.clear();
    rendered.insert(key, image);
    return image;
}

}  // namespace

CellGrid& CellState()
{
    return cellState;
}

void DrawGrid()
{
    for (auto& column : cellState)
        column.fill(CellFree);
    Canvas* pic = PictureBitmap();
    if (!pic || LineHeight <= 0)
        return;
    for (int b = 0; b <= GridCells; ++b) {
        if (b >= 1) {
            const QString number = QString::number(b);
            DrawTextItem(number, col::Black, false, PercentX(8) - PlainWidth(pic, number),
                         PercentY(CellMidY(b)) / double(LineHeight) - 0.5, 1, pic);
            DrawTextItem(number, col::Black, false, PercentX(CellMidX(b)) - PlainWidth(pic, number) / 2.0,
                         PercentY(91) / double(LineHeight), 1, pic);
        }
        DrawLinePercent(pic, col::Black, 10, 7 * b + 6, 94, 7 * b + 6, 2);
        DrawLinePercent(pic, col::Black, 7 * b + 10, 6, 7 * b + 10, 90, 2);
    }
    DrawTextItem(QStringLiteral("r (= rij)"), col::Black, false, TextMargin, PercentY(1) / double(LineHeight), 1,
                 pic);
    DrawTextItem(QStringLiteral("k (= kolom)   "), col::Black, false, RightAligned,
                 PercentY(99) / double(LineHeight) - 1, 1, pic);
}

void DrawPictureInCell(const QString& name, int k, int r)
{
    Canvas* pic = PictureBitmap();
    if (!pic || !InGrid(k, r))
        return;
    const double s = ScreenScale;
    const QPoint topLeft(Round(PercentX(CellLeft(k)) + s), Round(PercentY(CellTop(r)) + s));
    const QPoint bottomRight(Round(PercentX(CellRight(k)) - s), Round(PercentY(CellBottom(r)) - s));
    pic->draw(topLeft.x(), topLeft.y(), Rendered(name, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())));
}

void DrawFramedPicture(Canvas* target, const QString& name, double x1, double y1, double x2, double y2)
{
    if (!target)
        return;
    int left = PercentX(x1), right = PercentX(x2);
    const int top = PercentY(y1), bottom = PercentY(y2);
    // A picture area much wider than the text would put the frame beyond the text's right
    // edge: it then stands against that edge instead.
    const int overflow = right - (target->width() - TextMargin);
    if (overflow > 0)
        left -= overflow, right -= overflow;
    target->setPen(col::Black, Round(2 * ScreenScale));
    target->setBrush(col::BtnFace);
    target->rectangle(left, top, right, bottom);
    const double s = ScreenScale;
    target->stretchDraw(Round(left + s), Round(top + s), Round(right - s), Round(bottom - s), LoadPicture(name));
}

QString Times()
{
    return QStringLiteral(" \u00B7 ");
}

QString RowInColumns(long long difference)
{
    if (difference > 0)
        return QStringLiteral("k + ") + QString::number(difference);
    if (difference < 0)
        return QStringLiteral("k - ") + QString::number(-difference);
    return QStringLiteral("k");
}

PieceLine& PieceLine::operator()(const QString& text, const QColor& color)
{
    DrawTextItem(text, color, false, first_ ? x_ : LastTextEnd, line_, 1, TextBitmap());
    first_ = false;
    return *this;
}

}  // namespace kav

#include "draw/largetext.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

namespace kav {

namespace {

constexpr qint64 BudgetBytes = 24ll * 1024 * 1024;

// One glyph of one font at one position within the pixel, in 1/64 pixel.
struct GlyphKey {
    QString font;
    quint32 glyph = 0;
    int fx = 0, fy = 0;
    bool operator==(const GlyphKey&) const = default;
};

size_t qHash(const GlyphKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.font, k.glyph, k.fx, k.fy);
}

struct Masks {
    QHash<GlyphKey, std::shared_ptr<const LargeText::Mask>> byKey;
    qint64 bytes = 0;
};

Masks& Kept()
{
    static thread_local Masks kept;
    return kept;
}

QString FontId(const QRawFont& f)
{
    return f.familyName() + QChar(0) + f.styleName() + QChar(0) + QString::number(f.pixelSize()) + QChar(0) +
           QString::number(f.weight()) + QChar(0) + QString::number(int(f.style()));
}

// The glyph filled as the painter fills a large text's outline, placed (fx, fy)/64 pixel right
// of and below a whole pixel.
std::shared_ptr<const LargeText::Mask> MakeMask(const QRawFont& font, quint32 glyph, int fx, int fy)
{
    auto mask = std::make_shared<LargeText::Mask>();
    QPainterPath path = font.pathForGlyph(glyph);
    if (path.isEmpty())
        return mask;  // a space: nothing to lay down
    path.setFillRule(Qt::WindingFill);
    const QPointF shift(fx / 64.0, fy / 64.0);
    const QRectF reach = path.boundingRect().translated(shift);
    const int left = int(std::floor(reach.left())) - 1, top = int(std::floor(reach.top())) - 1;
    const int w = int(std::ceil(reach.right())) - left + 2, h = int(std::ceil(reach.bottom())) - top + 2;
    mask->coverage = QImage(w, h, QImage::Format_Alpha8);
    mask->coverage.fill(0);
    mask->offset = QPoint(left, top);
    QPainter p(&mask->coverage);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.translate(shift.x() - left, shift.y() - top);
    p.drawPath(path);
    return mask;
}

std::shared_ptr<const LargeText::Mask> KeptMask(const QString& fontId, const QRawFont& font, quint32 glyph, int fx,
                                                int fy)
{
    Masks& kept = Kept();
    const GlyphKey key{fontId, glyph, fx, fy};
    if (auto it = kept.byKey.constFind(key); it != kept.byKey.constEnd())
        return *it;
    auto mask = MakeMask(font, glyph, fx, fy);
    const qint64 size = mask->coverage.sizeInBytes() + 64;
    if (kept.bytes + size > BudgetBytes) {
        kept.byKey.clear();  // the texts of a new screen size: start afresh
        kept.bytes = 0;
    }
    kept.byKey.insert(key, mask);
    kept.bytes += size;
    return mask;
}

bool OnGrid(double v)
{
    return std::abs(v * 64 - std::round(v * 64)) < 1e-6;
}

// x * a / 255 per byte, rounded as the painter rounds.
inline quint32 ByteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

}  // namespace

LargeText::LargeText(const QFont& f, const QPointF& baseline, const QString& text)
{
    if (f.pixelSize() <= 64 || f.underline() || f.strikeOut() || f.overline() || !OnGrid(baseline.x()) ||
        !OnGrid(baseline.y()))
        return;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return;
    QTextLayout layout(text, f);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid() || line.textLength() != text.size())
        return;
    const QPointF origin = baseline - QPointF(0, line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        if (!font.isValid())
            return;
        const QString fontId = FontId(font);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
            const QPointF at = origin + positions[i];
            if (!OnGrid(at.x()) || !OnGrid(at.y()))
                return;
            const double wholeX = std::floor(at.x()), wholeY = std::floor(at.y());
            const int fx = int(std::lround((at.x() - wholeX) * 64)), fy = int(std::lround((at.y() - wholeY) * 64));
            auto mask = KeptMask(fontId, font, indexes[i], fx, fy);
            if (mask->coverage.isNull())
                continue;
            const QPoint whole{int(wholeX), int(wholeY)};
            ink_ |= QRect(whole + mask->offset, mask->coverage.size());
            glyphs_.append({std::move(mask), whole});
        }
    }
    laidOut_ = true;
}

bool LargeText::draw(QPainter& p, const QColor& colour) const
{
    if (!laidOut_ || colour.alpha() != 255 || p.hasClipping() || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver || !p.testRenderHint(QPainter::TextAntialiasing))
        return false;
    const QTransform& t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::round(t.dx()) || t.dy() != std::round(t.dy()))
        return false;
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image)
        return false;
    auto* img = static_cast<QImage*>(device);
    if ((img->format() != QImage::Format_RGB32 && img->format() != QImage::Format_ARGB32_Premultiplied) ||
        !img->isDetached())
        return false;
    const QPoint shift(int(t.dx()), int(t.dy()));
    const quint32 c = colour.rgba();
    const QRect bounds = img->rect();
    for (const Placed& g : glyphs_) {
        const QImage& cov = g.mask->coverage;
        const QPoint topLeft = g.origin + g.mask->offset + shift;
        const QRect area = QRect(topLeft, cov.size()) & bounds;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const uchar* m = cov.constScanLine(y - topLeft.y()) + (area.left() - topLeft.x());
            auto* d = reinterpret_cast<quint32*>(img->scanLine(y)) + area.left();
            for (int x = 0; x < area.width(); ++x) {
                const quint32 a = m[x];
                if (a == 255)
                    d[x] = c;
                else if (a)
                    d[x] = ByteMul(c, a) + ByteMul(d[x], 255 - a);
            }
        }
    }
    return true;
}

void ForgetGlyphMasks()
{
    Kept() = Masks();
}

qint64 GlyphMaskBytes()
{
    return Kept().bytes;
}

}  // namespace kav

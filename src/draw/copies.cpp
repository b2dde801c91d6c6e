#include "draw/copies.h"

#include <QHash>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <deque>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kav {

namespace {

constexpr qint64 BudgetBytes = 48ll * 1024 * 1024;

struct Copy {
    QImage block;  // the drawing on its background; null when it can't be copied
};

struct Copies {
    QHash<QByteArray, Copy> byKey;
    std::deque<QByteArray> order;  // oldest first
    qint64 bytes = 0;
    // A drawing is kept the second time it comes: many come once only (a number at a place of
    // its own), and keeping those would only fill the budget.
    QSet<size_t> metOnce;
    std::deque<QImage> scratches;  // where new drawings are made: one for each size of image
};

Copies& Kept()
{
    static thread_local Copies kept;
    return kept;
}

// The one colour of every pixel of r, or false.
bool PlainColour(const QImage& img, const QRect& r, QRgb* colour)
{
    const QRgb c = reinterpret_cast<const QRgb*>(img.constScanLine(r.top()))[r.left()];
    const int w = r.width();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y)) + r.left();
        int x = 0;
#if defined(__SSE2__)
        const __m128i four = _mm_set1_epi32(int(c));
        for (; x + 4 <= w; x += 4)
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x)), four)) !=
                0xffff)
                return false;
#endif
        for (; x < w; ++x)
            if (line[x] != c)
                return false;
    }
    *colour = c;
    return true;
}

// The drawing stays inside its block: the block's outer ring is untouched, except on the sides
// where the block ends at the image's edge (there the image cuts the drawing off anyway).
bool InsideRing(const QImage& block, QRgb background, const QRect& clipped, const QRect& reach)
{
    const int w = block.width(), h = block.height();
    auto rowPlain = [&](int y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(block.constScanLine(y));
        return std::all_of(line, line + w, [background](QRgb v) { return v == background; });
    };
    auto columnPlain = [&](int x) {
        for (int y = 0; y < h; ++y)
            if (reinterpret_cast<const QRgb*>(block.constScanLine(y))[x] != background)
                return false;
        return true;
    };
    return (clipped.top() != reach.top() || rowPlain(0)) && (clipped.bottom() != reach.bottom() || rowPlain(h - 1)) &&
           (clipped.left() != reach.left() || columnPlain(0)) && (clipped.right() != reach.right() || columnPlain(w - 1));
}

QImage& Scratch(Copies& kept, QSize size, QImage::Format format)
{
    for (QImage& s : kept.scratches)
        if (s.size() == size && s.format() == format)
            return s;
    if (kept.scratches.size() >= 2)
        kept.scratches.pop_front();
    kept.scratches.emplace_back(size, format);
    return kept.scratches.back();
}

void Keep(Copies& kept, const QByteArray& key, const Copy& copy)
{
    const qint64 size = copy.block.sizeInBytes();
    while (!kept.order.empty() && kept.bytes + size > BudgetBytes) {
        kept.bytes -= kept.byKey.value(kept.order.front()).block.sizeInBytes();
        kept.byKey.remove(kept.order.front());
        kept.order.pop_front();
    }
    kept.byKey.insert(key, copy);
    kept.order.push_back(key);
    kept.bytes += size;
}

}  // namespace

void DrawThroughCopy(QImage& img, const QRect& reach, const QByteArray& key, bool anyPlace,
                     const std::function<void(QPainter&)>& draw)
{
    const auto format = img.format();
    const QRect area = reach & img.rect();
    QRgb background = 0;
    const bool copyable = (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                           format == QImage::Format_ARGB32_Premultiplied) &&
                          reach.width() >= 3 && reach.height() >= 3 && !area.isEmpty() &&
                          qint64(area.width()) * area.height() * 4 <= BudgetBytes / 4 &&
                          PlainColour(img, area, &background);
    if (!copyable) {
        QPainter p(&img);
        draw(p);
        return;
    }
    // The drawing, its background, its size, the part of it the image shows, the image's size
    // and the format, and for text its place too: the painter smooths a letter's edge a little
    // differently from time to time, a copy in the same place keeps the text as it was.
    QByteArray fullKey = key;
    const QPoint place = anyPlace ? QPoint() : reach.topLeft();
    const int shape[12] = {int(background), place.x(), place.y(), reach.width(), reach.height(), area.x() - reach.x(),
                           area.y() - reach.y(), area.width(), area.height(), img.width(), img.height(), int(format)};
    fullKey.append(reinterpret_cast<const char*>(shape), sizeof shape);

    Copies& kept = Kept();
    auto it = kept.byKey.constFind(fullKey);
    if (it == kept.byKey.constEnd()) {
        const size_t hash = qHash(fullKey);
        if (!kept.metOnce.contains(hash)) {
            if (kept.metOnce.size() >= 4096)
                kept.metOnce.clear();
            kept.metOnce.insert(hash);
            QPainter p(&img);
            draw(p);
            return;
        }
        kept.metOnce.remove(hash);
        // Drawn on an image of the canvas's size, in the drawing's own place, just as the
        // painter draws it on the canvas.
        QImage& scratch = Scratch(kept, img.size(), format);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(scratch.scanLine(y)) + area.left();
            std::fill(line, line + area.width(), background);
        }
        {
            QPainter p(&scratch);
            draw(p);
        }
        Copy copy;
        copy.block = scratch.copy(area);
        if (!InsideRing(copy.block, background, area, reach))
            copy.block = QImage();
        Keep(kept, fullKey, copy);
        it = kept.byKey.constFind(fullKey);
    }
    if (it->block.isNull()) {
        QPainter p(&img);
        draw(p);
        return;
    }
    const size_t rowBytes = size_t(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(img.scanLine(area.top() + y) + size_t(area.left()) * 4, it->block.constScanLine(y), rowBytes);
}

void ForgetDrawnCopies()
{
    Kept() = Copies();
}

qint64 DrawnCopiesBytes()
{
    return Kept().bytes;
}

}  // namespace kav

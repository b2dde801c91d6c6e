// The canvas's drawings that keep work between calls: thick rectangles and ellipses laid down
// from kept stamps, and the flood fill with its kept marks of the pixels visited.
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "draw/canvas.h"
#include "draw/pixelfill.h"

namespace kav {

// A rectangle with a thick pen, as the painter lays it out. The painter's stroker is slow for
// wide pens, and items draw many such cells, frames and bars. Away from its rounded corners a
// thick rectangle is the same row after row and column after column, so the painter draws it
// once at a small size per pen width and brush (a "stamp", kept as runs of pen and brush pixels
// per row), and a rectangle of any size is laid down from the stamp with its middle row and
// middle column stretched. The pixels are the painter's own.
namespace {

struct StampRun {
    int x, length;
    bool pen;  // pen colour; otherwise the brush colour
};

struct RectStamp {
    int origin = 0;  // where the rectangle's top-left corner is in the stamp
    int w = 0, h = 0;  // the rectangle the stamp was drawn for
    std::vector<std::vector<StampRun>> rows;
};

// The runs of pen and brush pixels of every row of a stamp drawn in two marking colours.
std::vector<std::vector<StampRun>> StampRows(const QImage& img, int origin, QRgb penMark)
{
    std::vector<std::vector<StampRun>> rows(size_t(img.height()));
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width();) {
            const QRgb v = line[x];
            int end = x + 1;
            while (end < img.width() && line[end] == v)
                ++end;
            if (v != 0xff000000u)
                rows[size_t(y)].push_back({x - origin, end - x, v == penMark});
            x = end;
        }
    }
    return rows;
}

// A colour the stamp can lay down as the painter would: opaque and given as red, green and blue
// (a colour given otherwise may round differently on its way to the pixels).
bool OpaqueRgb(const QColor& c)
{
    return c.alpha() == 255 && c == c.toRgb();
}

}  // namespace

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (penWidth <= 1) {
        roundRect(x1, y1, x2, y2, 0, 0);
        return;
    }
    if (!stampShape(Stamped::Rectangle, x1, y1, x2, y2))
        paintRect(image_, x1, y1, x2, y2);
    if (brushSolid)
        dropCovered(QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2) - 1, qMax(y1, y2) - 1)));
}

// Ellipses with a thick pen come many to an item (the nails of a board, the dots of a
// pattern), all of one size: the painter draws one, and the others are stamped from it. Level
// and upright thick lines (a grid's) are stamped like rectangles, stretched along their length.
bool Canvas::stampShape(Stamped kind, int x1, int y1, int x2, int y2)
{
    const bool ellipse = kind == Stamped::Ellipse;
    const auto format = image_.format();
    const bool stampable = (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                            format == QImage::Format_ARGB32_Premultiplied) &&
                           penWidth <= 256 && OpaqueRgb(penColor) && (!brushSolid || OpaqueRgb(brushColor));
    const int w = std::abs(x2 - x1), h = std::abs(y2 - y1);
    if (!stampable || w > (ellipse ? 512 : 16384) || h > (ellipse ? 512 : 16384))
        return false;
    // The stamp's size: a rectangle's own up to a size where the middle is well clear of the
    // corners, which the pen rounds over half its width; an ellipse's own.
    const int full = 2 * penWidth + 16;
    const int sw = ellipse ? w : std::min(w, full), sh = ellipse ? h : std::min(h, full);
    static thread_local QHash<quint64, RectStamp> stamps;
    const quint64 key = quint64(sw) | quint64(sh) << 16 | quint64(penWidth) << 32 | quint64(brushSolid) << 48 |
                        quint64(kind) << 49;
    auto it = stamps.constFind(key);
    if (it == stamps.constEnd()) {
        if (stamps.size() >= 256)
            stamps.clear();
        constexpr QRgb penMark = 0xffff0000u, brushMark = 0xff00ff00u;
        Canvas probe;
        probe.penWidth = penWidth;
        probe.penColor = QColor::fromRgb(penMark);
        probe.brushSolid = brushSolid;
        probe.brushColor = QColor::fromRgb(brushMark);
        RectStamp st;
        st.origin = penWidth + 2;
        st.w = sw;
        st.h = sh;
        probe.image_ = QImage(sw + 2 * st.origin, sh + 2 * st.origin, QImage::Format_RGB32);
        probe.image_.fill(0xff000000u);
        if (ellipse) {
            probe.paintEllipse(probe.image_, st.origin, st.origin, st.origin + sw, st.origin + sh);
        } else if (kind == Stamped::Line) {
            QPainter p(&probe.image_);
            probe.beginShape(p);
            p.drawLine(QPoint(st.origin, st.origin), QPoint(st.origin + sw, st.origin + sh));
        } else {
            probe.paintRect(probe.image_, st.origin, st.origin, st.origin + sw, st.origin + sh);
        }
        st.rows = StampRows(probe.image_, st.origin, penMark);
        it = stamps.insert(key, st);
    }
    const RectStamp& st = *it;
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    const int midRow = st.origin + st.h / 2, midColumn = st.w / 2;
    const int extraRows = h - st.h, extraColumns = w - st.w;
    const QRgb pen = penColor.rgb() | 0xff000000u, fill = brushColor.rgb() | 0xff000000u;
    const int imageWidth = image_.width(), imageHeight = image_.height();
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    auto layRow = [&](const std::vector<StampRun>& runs, int y) {
        if (y < 0 || y >= imageHeight)
            return;
        QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride);
        for (const StampRun& run : runs) {
            // A run over the middle column grows by the extra columns; runs right of it move.
            int from = run.x, to = run.x + run.length;
            if (to > midColumn)
                to += extraColumns;
            if (from > midColumn)
                from += extraColumns;
            from = std::max(0, left + from);
            to = std::min(imageWidth, left + to);
            if (from < to)
                FillPixels(line + from, to - from, run.pen ? pen : fill);
        }
    };
    int y = top - st.origin;
    for (int r = 0; r < int(st.rows.size()); ++r) {
        const int copies = r == midRow ? 1 + extraRows : 1;
        for (int i = 0; i < copies; ++i, ++y)
            layRow(st.rows[size_t(r)], y);
    }
    return true;
}

// The pixels a flood fill has visited, kept between fills: each fill takes the next mark, so
// the buffer is cleared only when it grows or once in 65,535 fills, not for every fill.
static thread_local std::vector<std::uint16_t> fillMarks;
static thread_local std::uint16_t lastFillMark = 0;

static std::uint16_t NextFillMark(size_t pixels)
{
    if (fillMarks.size() < pixels || lastFillMark == 0xffff) {
        fillMarks.assign(std::max(pixels, fillMarks.size()), 0);
        lastFillMark = 0;
    }
    return ++lastFillMark;
}

namespace {

// A row's pixels as a fill sees them: open to a surface fill when they have the surface's
// colour, to a border fill when they don't have the border's, and in a fill that marks the
// pixels it visits (seen: the row's marks) only when not yet marked. Rows are scanned four
// pixels at a time where the processor allows.
struct RowTest {
    QRgb target;
    bool border;
    std::uint16_t mark = 0;

    // The open pixels among four, one bit each (bit 0: the first).
    int openBits(const QRgb* p, const std::uint16_t* seen) const
    {
#if defined(__SSE2__)
        const __m128i v = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                       _mm_set1_epi32(int(0xff000000u)));
        const int same = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, _mm_set1_epi32(int(target)))));
        int bits = border ? ~same & 0xf : same;
        if (seen) {
            const __m128i marks = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(seen));
            const __m128i marked = _mm_cmpeq_epi16(marks, _mm_set1_epi16(short(mark)));
            bits &= ~_mm_movemask_ps(_mm_castsi128_ps(_mm_unpacklo_epi16(marked, marked)));
        }
        return bits & 0xf;
#else
        int bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= int(open(p[i], seen ? seen + i : nullptr)) << i;
        return bits;
#endif
    }
    bool open(QRgb v, const std::uint16_t* seen) const
    {
        return ((v | 0xff000000u) == target) != border && !(seen && *seen == mark);
    }

    // The first x from `from` up to `to` (not included) whose pixel is open (wanted) or closed
    // (!wanted); to when there is none.
    int findRight(const QRgb* line, const std::uint16_t* seen, int from, int to, bool wanted) const
    {
        int x = from;
        for (; x + 4 <= to; x += 4) {
            const int open4 = openBits(line + x, seen ? seen + x : nullptr);
            const int bits = wanted ? open4 : ~open4 & 0xf;
            if (bits)
                return x + std::countr_zero(unsigned(bits));
        }
        for (; x < to; ++x)
            if (open(line[x], seen ? seen + x : nullptr) == wanted)
                return x;
        return to;
    }
    // The last x from `from` down to `to` (included) whose pixel is closed; to - 1 when there is none.
    int closedLeft(const QRgb* line, const std::uint16_t* seen, int from, int to) const
    {
        int x = from;
        for (; x - 3 >= to; x -= 4) {
            const int closed = ~openBits(line + x - 3, seen ? seen + x - 3 : nullptr) & 0xf;
            if (closed)
                return x - 3 + (31 - std::countl_zero(unsigned(closed)));
        }
        for (; x >= to; --x)
            if (!open(line[x], seen ? seen + x : nullptr))
                return x;
        return to - 1;
    }
};

}  // namespace

void Canvas::floodFill(int x, int y, const QColor& c, FillMode mode)
{
    if (!image_.rect().contains(x, y))
        return;
    if (image_.format() != QImage::Format_RGB32 && image_.format() != QImage::Format_ARGB32)
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    const int w = width(), h = height();
    const QRgb target = c.rgb() | 0xff000000u;
    const QRgb fill = brushColor.rgb() | 0xff000000u;
    const bool border = mode == FillMode::Border;
    if (!border && target == fill)
        return;
    // A filled pixel stays open to a border fill in another colour than the border: only then
    // must the visited pixels be marked. Otherwise the filled colour itself closes them.
    const bool marked = border && fill != target;
    RowTest test{target, border};
    std::uint16_t* marks = nullptr;
    if (marked) {
        test.mark = NextFillMark(size_t(w) * size_t(h));
        marks = fillMarks.data();
    }
    QRgb* const bits = reinterpret_cast<QRgb*>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto row = [&](int yy) { return bits + yy * stride; };
    auto seenRow = [&](int yy) { return marks ? marks + size_t(yy) * size_t(w) : nullptr; };
    const std::uint16_t* start = seenRow(y);
    if (!test.open(row(y)[x], start ? start + x : nullptr))
        return;
    // Scanline fill: each popped seed is widened to its whole run, and the rows above and
    // below get one seed per run of pixels still to fill.
    std::vector<QPoint> stack{QPoint(x, y)};
    while (!stack.empty()) {
        const QPoint pt = stack.back();
        stack.pop_back();
        const int yy = pt.y();
        QRgb* line = row(yy);
        std::uint16_t* seen = seenRow(yy);
        if (!test.open(line[pt.x()], seen ? seen + pt.x() : nullptr))
            continue;
        const int lx = test.closedLeft(line, seen, pt.x() - 1, 0) + 1;
        const int rx = test.findRight(line, seen, pt.x() + 1, w, false) - 1;
        if (seen)
            std::fill(seen + lx, seen + rx + 1, test.mark);
        FillPixels(line + lx, rx + 1 - lx, fill);
        for (int ny : {yy - 1, yy + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const QRgb* other = row(ny);
            const std::uint16_t* otherSeen = seenRow(ny);
            for (int xx = test.findRight(other, otherSeen, lx, rx + 1, true); xx <= rx;
                 xx = test.findRight(other, otherSeen, xx, rx + 1, true)) {
                stack.push_back(QPoint(xx, ny));
                xx = test.findRight(other, otherSeen, xx, rx + 1, false);
            }
        }
    }
}

}  // namespace kav

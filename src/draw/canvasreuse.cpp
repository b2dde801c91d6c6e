// The canvas's drawings that keep work between calls: thick rectangles laid down from kept
// stamps, and the flood fill with its kept marks of the pixels visited.
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "draw/canvas.h"

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
    const auto format = image_.format();
    const bool stampable = (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                            format == QImage::Format_ARGB32_Premultiplied) &&
                           penWidth <= 256 && OpaqueRgb(penColor) && (!brushSolid || OpaqueRgb(brushColor));
    const int w = std::abs(x2 - x1), h = std::abs(y2 - y1);
    if (!stampable || w > 16384 || h > 16384) {
        paintRect(image_, x1, y1, x2, y2);
        return;
    }
    // The stamp's size: the rectangle's own up to a size where the middle is well clear of the
    // corners, which the pen rounds over half its width.
    const int full = 2 * penWidth + 16;
    const int sw = std::min(w, full), sh = std::min(h, full);
    static thread_local QHash<quint64, RectStamp> stamps;
    const quint64 key = quint64(sw) | quint64(sh) << 16 | quint64(penWidth) << 32 | quint64(brushSolid) << 48;
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
        probe.paintRect(probe.image_, st.origin, st.origin, st.origin + sw, st.origin + sh);
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
                std::fill(line + from, line + to, run.pen ? pen : fill);
        }
    };
    int y = top - st.origin;
    for (int r = 0; r < int(st.rows.size()); ++r) {
        const int copies = r == midRow ? 1 + extraRows : 1;
        for (int i = 0; i < copies; ++i, ++y)
            layRow(st.rows[size_t(r)], y);
    }
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
    // A filled pixel stays open to a border fill in another colour than the border: only then
    // must the visited pixels be marked. Otherwise the filled colour itself closes them.
    const bool marked = border && fill != target;
    const std::uint16_t mark = marked ? NextFillMark(size_t(w) * size_t(h)) : 0;
    std::uint16_t* seen = marked ? fillMarks.data() : nullptr;
    auto row = [&](int yy) { return reinterpret_cast<QRgb*>(image_.scanLine(yy)); };
    auto open = [&](const QRgb* line, int yy, int xx) {
        if (seen && seen[size_t(yy) * w + xx] == mark)
            return false;
        const QRgb v = line[xx] | 0xff000000u;
        return border ? v != target : v == target;
    };
    if (!open(row(y), y, x) || (!border && target == fill))
        return;
    // Scanline fill: each popped seed is widened to its whole run, and the rows above and
    // below get one seed per run of pixels still to fill.
    std::vector<QPoint> stack{QPoint(x, y)};
    while (!stack.empty()) {
        const QPoint pt = stack.back();
        stack.pop_back();
        const int yy = pt.y();
        QRgb* line = row(yy);
        if (!open(line, yy, pt.x()))
            continue;
        int lx = pt.x(), rx = pt.x();
        while (lx > 0 && open(line, yy, lx - 1))
            --lx;
        while (rx + 1 < w && open(line, yy, rx + 1))
            ++rx;
        if (seen)
            std::fill(seen + size_t(yy) * w + lx, seen + size_t(yy) * w + rx + 1, mark);
        std::fill(line + lx, line + rx + 1, fill);
        for (int ny : {yy - 1, yy + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const QRgb* other = row(ny);
            bool inRun = false;
            for (int xx = lx; xx <= rx; ++xx) {
                const bool o = open(other, ny, xx);
                if (o && !inRun)
                    stack.push_back(QPoint(xx, ny));
                inRun = o;
            }
        }
    }
}

}  // namespace kav

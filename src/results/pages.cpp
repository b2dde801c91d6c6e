#include "results/pages.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "draw/measures.h"
#include "results/result.h"

namespace kav {

QFont PageFont(double points, bool bold)
{
    QFont f(FontFamily);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

Sheet::Sheet(QPaintDevice* d) : device(d), dpi(qMax(1, d->logicalDpiY())), width(d->width()), height(d->height())
{
}

void DrawPageText(QPainter& p, const QRectF& r, const QString& text, double points, bool bold, Qt::Alignment align,
                  const QColor& colour)
{
    const QFont f = PageFont(points, bold);
    p.setFont(f);
    p.setPen(colour);
    const QString shown = QFontMetricsF(f, p.device()).elidedText(text, Qt::ElideRight, r.width());
    p.drawText(r, int(align) | Qt::TextSingleLine, shown);
}

double DrawWholeText(QPainter* p, const Sheet& sheet, const QRectF& at, const QString& text, double points, bool bold,
                     const QColor& colour, Qt::Alignment align)
{
    QFont f = PageFont(points, bold);
    double w = sheet.metrics(f).horizontalAdvance(text);
    for (double pt = points; w > at.width() && pt > points * 0.8 + 0.01;) {
        pt = std::max(points * 0.8, pt - 0.5);
        f = PageFont(pt, bold);
        w = sheet.metrics(f).horizontalAdvance(text);
    }
    const int flags = int(align) | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF need = sheet.metrics(f).boundingRect(QRectF(at.left(), at.top(), at.width(), 1e6), flags, text);
    if (p) {
        p->setFont(f);
        p->setPen(colour);
        p->drawText(QRectF(at.left(), at.top(), at.width(), need.height() + 2), flags, text);
    }
    return need.height();
}

void DrawRule(QPainter& p, const Sheet& sheet, double y)
{
    p.setPen(QPen(RuleGrey, std::max(1.0, sheet.mm(0.2))));
    p.drawLine(QPointF(0, y), QPointF(sheet.width, y));
}

void DrawPageFooter(QPainter& p, const Sheet& sheet, const QString& left, int page, int pages)
{
    const double y = sheet.height - sheet.mm(FooterMm) + sheet.mm(3);
    const double h = sheet.height - y;
    DrawPageText(p, QRectF(0, y, sheet.width * 0.7, h), left, FootPoints, false, Qt::AlignLeft | Qt::AlignBottom,
                 PageGrey);
    DrawPageText(p, QRectF(sheet.width * 0.7, y, sheet.width * 0.3, h),
                 QStringLiteral("blz. %1 van %2").arg(page + 1).arg(pages), FootPoints, false,
                 Qt::AlignRight | Qt::AlignBottom, PageGrey);
}

QImage OnWhitePaper(const QImage& screen)
{
    QImage img = screen.convertToFormat(QImage::Format_RGB32);
    const QRgb ground = col::BtnFace.rgb(), white = qRgb(255, 255, 255);
    const int width = img.width(), height = img.height();
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (QRgb* end = line + width; line != end; ++line)
            if ((*line | 0xff000000u) == ground)
                *line = white;
    }
    return img;
}

PackedImage::PackedImage(const QImage& image) : PackedImage(image, image.rect(), QColor())
{
}

PackedImage::PackedImage(const QImage& image, const QRect& part, const QColor& ground)
{
    const QRect r = part & image.rect();
    if (image.isNull() || r.isEmpty())
        return;
    const QImage img = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    size_ = r.size();
    const quint32 from = ground.isValid() ? (ground.rgb() | 0xff000000u) : 0u, white = 0xffffffffu;
    quint32 colour = 0, count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y)) + r.left();
        const QRgb* end = line + r.width();
        for (; line != end; ++line) {
            quint32 c = *line | 0xff000000u;
            if (c == from)
                c = white;
            if (c == colour && count > 0) {
                ++count;
                continue;
            }
            if (count > 0)
                runs_ << count << colour;
            colour = c;
            count = 1;
        }
    }
    if (count > 0)
        runs_ << count << colour;
    runs_.squeeze();
}

QImage PackedImage::image() const
{
    if (isNull())
        return QImage();
    QImage img(size_, QImage::Format_RGB32);
    const qsizetype total = qsizetype(size_.width()) * size_.height();
    qsizetype at = 0;
    int x = 0, y = 0;
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(0));
    for (qsizetype i = 0; i + 1 < runs_.size() && at < total; i += 2) {
        qsizetype left = std::min<qsizetype>(runs_[i], total - at);
        const QRgb colour = runs_[i + 1];
        at += left;
        while (left > 0) {
            const int n = int(std::min<qsizetype>(left, size_.width() - x));
            std::fill(line + x, line + x + n, colour);
            left -= n;
            x += n;
            if (x == size_.width() && ++y < size_.height()) {
                x = 0;
                line = reinterpret_cast<QRgb*>(img.scanLine(y));
            }
        }
    }
    return img;
}

void SetA4Layout(QPagedPaintDevice* device)
{
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
}

bool WriteA4Pdf(const QString& path, const QString& title, const std::function<bool(QPagedPaintDevice*)>& paint,
                QString* error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        SetA4Layout(&writer);
        writer.setCreator(QStringLiteral("Kavrin 2"));
        writer.setTitle(title);
        ok = paint(&writer);
    }
    ok = ok && file.commit();
    if (!ok && error)
        *error = FileWriteError(path);
    return ok;
}

}  // namespace kav

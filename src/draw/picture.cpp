#include "draw/picture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kav {

Picture::Picture(QImage image, std::shared_ptr<QSvgRenderer> vector)
    : image_(std::move(image)), vector_(std::move(vector))
{
}

Picture::Picture(QImage image) : image_(std::move(image)) {}

QImage& Picture::editImage()
{
    vector_.reset();
    return image_;
}

void Picture::draw(QPainter& p, const QRect& target) const
{
    if (isNull() || target.width() <= 0 || target.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (vector_ && vector_->isValid())
        vector_->render(&p, QRectF(target));
    else
        p.drawImage(QRectF(target), image_);
    p.restore();
}

}  // namespace kav

#include "draw/picture.h"

#include <QPainter>
#include <QSvgRenderer>
#include <atomic>

namespace kav {

qint64 Picture::NextSerial()
{
    static std::atomic<qint64> last{0};
    return ++last;
}

Picture::Picture(QSize size, std::shared_ptr<QSvgRenderer> vector)
    : state_(std::make_shared<State>(State{size, std::move(vector), QImage()}))
{
}

Picture::Picture(QImage image) : state_(std::make_shared<State>(State{image.size(), nullptr, std::move(image)})) {}

const QImage& Picture::image() const
{
    static const QImage none;
    if (!state_)
        return none;
    State& s = *state_;
    if (s.image.isNull() && s.vector && s.vector->isValid() && !s.size.isEmpty()) {
        s.image = QImage(s.size, QImage::Format_ARGB32_Premultiplied);
        s.image.fill(Qt::transparent);
        QPainter p(&s.image);
        p.setRenderHint(QPainter::Antialiasing, true);
        s.vector->render(&p);
    }
    return s.image;
}

QImage& Picture::editImage()
{
    // A picture of its own from now on: the copies that share this one keep their pixels.
    QImage pixels = image();
    state_ = std::make_shared<State>(State{pixels.size(), nullptr, std::move(pixels)});
    return state_->image;
}

void Picture::draw(QPainter& p, const QRect& target) const
{
    if (isNull() || target.width() <= 0 || target.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (state_->vector && state_->vector->isValid())
        state_->vector->render(&p, QRectF(target));
    else
        p.drawImage(QRectF(target), state_->image);
    p.restore();
}

}  // namespace kav

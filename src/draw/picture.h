// A picture from one of the picture libraries: its natural size and its vector source.
// Stretching it renders the vector source at the target size, so pictures stay sharp at any
// screen scale; the bitmap of its natural size is made only when it is asked for, and once its
// pixels are changed, that bitmap is used.
#pragma once
#include <QImage>
#include <memory>

class QPainter;
class QSvgRenderer;

namespace kav {

class Picture {
public:
    Picture() = default;
    // A picture drawn from its vector source, of the given natural size.
    Picture(QSize size, std::shared_ptr<QSvgRenderer> vector);
    explicit Picture(QImage image);

    bool isNull() const { return !state_ || state_->size.isEmpty(); }
    int width() const { return size().width(); }
    int height() const { return size().height(); }
    QSize size() const { return state_ ? state_->size : QSize(); }

    // The bitmap of its natural size.
    const QImage& image() const;
    // Writable access to the pixels; the vector source no longer matches and is dropped.
    QImage& editImage();
    // Equal for copies of one picture, different once its pixels change.
    qint64 cacheKey() const { return state_ ? state_->serial : 0; }

    // Draws the picture stretched into target (pixels target.left() .. target.right()).
    void draw(QPainter& p, const QRect& target) const;

private:
    struct State {
        QSize size;
        std::shared_ptr<QSvgRenderer> vector;
        QImage image;  // made when first asked for while there is a vector source
        qint64 serial = NextSerial();
    };
    static qint64 NextSerial();
    std::shared_ptr<State> state_;
};

}  // namespace kav

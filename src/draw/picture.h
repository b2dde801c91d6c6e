// A picture from one of the picture libraries: a bitmap of its natural size, drawn
// from its vector source. Stretching it renders the vector source at the target size,
// so pictures stay sharp at any screen scale; once its pixels are changed, the bitmap is used.
#pragma once
#include <QImage>
#include <memory>

class QPainter;
class QSvgRenderer;

namespace kav {

class Picture {
public:
    Picture() = default;
    Picture(QImage image, std::shared_ptr<QSvgRenderer> vector);
    explicit Picture(QImage image);

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QSize size() const { return image_.size(); }

    const QImage& image() const { return image_; }
    // Equal for copies of one picture, different once its pixels change.
    qint64 cacheKey() const { return image_.cacheKey(); }
    // Writable access to the pixels; the vector source no longer matches and is dropped.
    QImage& editImage();

    // Draws the picture stretched into target (pixels target.left() .. target.right()).
    void draw(QPainter& p, const QRect& target) const;

private:
    QImage image_;
    std::shared_ptr<QSvgRenderer> vector_;
};

}  // namespace kav

// Text over 64 pixels, laid down glyph by glyph from coverage masks kept between uses. The
// painter keeps no glyphs that large: it fills every such text outline by outline, which is most
// of a large screen's drawing time. A mask is that very fill, made once for each glyph, size and
// position within the pixel (to 1/64). Its pixels may differ from the painter's by a few levels
// at some edge pixels (the painter rounds a little differently far from the image's corner), and
// by more where kerning lays one glyph's ink over the next ("AV"): there two coverages are laid
// one over the other instead of filled as one outline.
#pragma once
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <memory>

class QFont;
class QPainter;
class QPointF;
class QString;

namespace kav {

class LargeText {
public:
    LargeText() = default;
    // Lays out text in f with the start of its baseline at baseline, in the coordinates of the
    // image it will be drawn on. Null when masks can't stand in for the painter: a font not
    // sized in pixels or at most 64 pixels, underlined or struck out, a control character in
    // the text, or a baseline off the painter's 1/64 pixel grid.
    LargeText(const QFont& f, const QPointF& baseline, const QString& text);

    bool isNull() const { return !laidOut_; }
    // The pixels the glyphs can touch (empty for a text of spaces).
    QRect ink() const { return ink_; }
    // Lays the glyphs down in colour on the painter's image. False, with nothing drawn, when the
    // painter can't take them that way: not a 32-bit image, a transformation other than a shift
    // by whole pixels, clipping, another composition mode, some transparency, or a colour that
    // is not opaque; the caller then lets the painter draw the text.
    bool draw(QPainter& p, const QColor& colour) const;

    struct Mask {
        QImage coverage;  // Format_Alpha8
        QPoint offset;    // of its top-left pixel from the glyph's whole-pixel origin
    };

private:
    struct Placed {
        std::shared_ptr<const Mask> mask;
        QPoint origin;  // the glyph's origin, rounded down to the pixel
    };
    bool laidOut_ = false;
    QList<Placed> glyphs_;
    QRect ink_;
};

// Forgets the kept masks (for tests).
void ForgetGlyphMasks();
// The kept masks' bytes, at most about 24 MB.
qint64 GlyphMaskBytes();

}  // namespace kav

// Drawings kept as pixels for reuse. Large text and library pictures are slow to draw (text over
// 64 pixels is filled outline by outline, pictures are rendered from their vector source), and
// the same texts and pictures come back item after item in the same places on the same plain
// background. A drawing that comes a second time on a plain background is kept, with that
// background, and copied whenever it comes again on the same plain background (text: in the
// same place). A picture's copy holds the very pixels the painter gives; large text may differ
// from a fresh drawing by a few levels at some pixels of its letters' edges, as the painter
// itself draws it a little differently as its fonts are used.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <functional>

class QPainter;

namespace kav {

// Draws into img through the kept copies. reach is where the drawing can land, a pixel wider
// than its ink, and may run past the image's edges; key names the drawing without its place. draw
// paints it with the painter it is given, in img's coordinates. When the part of reach inside the
// image holds more than one colour, or the drawing turns out to touch reach's edge, draw paints
// straight on img instead.
// With anyPlace, a copy is taken wherever the drawing comes (a picture: its pixels only move
// with it); otherwise only in the place it was made (text).
void DrawThroughCopy(QImage& img, const QRect& reach, const QByteArray& key, bool anyPlace,
                     const std::function<void(QPainter&)>& draw);

// Forgets every kept drawing (for tests and when a library closes).
void ForgetDrawnCopies();
// The kept drawings' bytes, at most about 48 MB.
qint64 DrawnCopiesBytes();

}  // namespace kav

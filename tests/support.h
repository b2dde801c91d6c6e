// Shared set-up for the test suites: fixed measures, the picture libraries from the build
// folder, and messages recorded instead of shown.
#pragma once
#include <QColor>
#include <QImage>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"

namespace testsupport {

inline void UseBuildPictures()
{
    kav::SetPictureFolder(QStringLiteral(KAVRIN_BUILD_DIR));
}

inline QColor At(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

inline int CountColour(const QImage& img, const QColor& c)
{
    int n = 0;
    const QRgb want = c.rgb();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) | 0xff000000u) == want;
    return n;
}

}  // namespace testsupport

#include "draw/measures.h"

namespace kav {

double ScreenScale = 1.0;
int TextMargin = 8;
int LineHeight = 15;
int PictureWidth = 403;
int BaseFontSize = 10;
int StatusFontSize = 10;
int CharWidth = 9;
int LastTextEnd = 0;
QString FontFamily = QStringLiteral("Arial");

void ResetMeasures()
{
    ScreenScale = 1.0;
    TextMargin = 8;
    LineHeight = 15;
    PictureWidth = 403;
    BaseFontSize = 10;
    StatusFontSize = 10;
    CharWidth = 9;
    LastTextEnd = 0;
}

}  // namespace kav

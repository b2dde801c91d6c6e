#include "games/gamedraw.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"

namespace kav {

void FilledBox(Canvas* c, int x1, int y1, int x2, int y2, const QColor& fill, int penWidth)
{
    if (!c)
        return;
    c->setPen(col::Black, penWidth);
    c->setBrush(fill);
    c->rectangle(x1, y1, x2, y2);
}

void TitleBox(int bottom)
{
    FilledBox(PictureBitmap(), PercentX(5), TextMargin, PercentX(95), bottom, col::Yellow, Round(2 * ScreenScale));
}

void AskNewBalance()
{
    SessionState& s = Session();
    s.AnswerTolerance = 0;
    s.ThemeCode = 0;
    s.MaxAttempts = 1;
    AskWholeNumber(5, QStringLiteral("Nieuw saldo: "), QStringLiteral("|Het saldo wordt ?"));
}

}  // namespace kav

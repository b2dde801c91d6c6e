// Theme 17: a lamp on a post, a bird flying straight under it at a lower height, and the bird's
// shadow on the ground. From the heights and the bird's distance: how far does the shadow go?
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/ratios/ratiotext.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

// QuestionParams[0..4]: a and b, with lamp height : (lamp height - bird height) = a : b; the
// bird's height hb; the lamp's height Hl; ten times the distance d the bird flies. The shadow
// goes S = d x a / b, the answer. Session().Private.theme17 keeps the previous a and b.
//
// The picture: the lamp at (70 %, 10 %), the ground at y = 90 %; 80 % of the height stands
// for Hl, and a distance x is drawn 80 x / Hl percent of the width long, leftwards from 70 %.

// The margin right of the bird, in design pixels: the room left of the bird's path is judged
// on the design's picture area, so that a seed gives the same items on every screen, and the
// bird is drawn grown with the area.
constexpr double DesignMargin = 8;

struct Flight {
    int a = 0, b = 0, lamp = 0, shadow = 0;
    double Path() const { return 80.0 * shadow / lamp * b / a; }  // the bird's path, percent wide
    double Shadow() const { return 80.0 * shadow / lamp; }         // the shadow, percent wide
    double BirdY() const { return 10 + 80.0 * b / a; }             // the bird's height, percent
};

// The ratio a : b by level: a : 1 with a from 2 to 10, or at "Durver" (b + 1) : b, at
// "Prof !" anything from (b + 1) : b to 2b : b.
void DrawRatio(int level, int& a, int& b)
{
    b = level == 1 ? 1 : level == 2 ? Random(7) + 1 : Random(11) + 1;
    if (b == 1)
        a = Random(9) + 2;
    else
        a = level == 2 ? b + 1 : b + 1 + Random(b);
}

// The whole picture inside the frame: the shadow's end (with its dot) and the bird left of its
// path. Far shadows of the steepest ratios would otherwise run off the left edge.
bool FitsInPicture(const Flight& f, int birdWidth)
{
    const double shadowEnd = 70 - f.Shadow();
    const double birdLeft = (70 - f.Path()) * 0.01 * DesignPictureWidth - DesignMargin - birdWidth;
    return shadowEnd >= 1 && birdLeft >= 2;
}

void DrawFlight(const Flight& f, int hb, int tenthsFlown)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const double line = Max(LineHeight, 1);
    DrawTextBox(pic, QString(), QString(), QStringLiteral("grond"), Rect(PercentX(5), PercentY(90), PercentX(95), PercentY(99)),
                col::Black, col::Gray, col::Black, 1, 0.5, 0);
    pic->setPen(col::Yellow, 1);
    pic->setBrush(col::Yellow);
    pic->ellipse(PercentX(67), PercentY(7), PercentX(73), PercentY(13));

    // The bird just left of the start of its path.
    const Picture bird = LoadPicture(QStringLiteral("vogel"));
    const QSize shown = PictureSizeIn(bird, pic);
    const int w = shown.width(), h = shown.height();
    const int right = Round(PercentX(70 - f.Path())) - Round(DesignMargin * AreaScale(pic));
    const int top = Round(PercentY(f.BirdY())) - h / 2;
    pic->stretchDraw(right - w, top, right, top + h, bird);

    // Rays from the lamp past the bird's path to the ground, a dot on the path and one on the
    // ground for every twentieth of the way.
    for (int i = 0; i <= 20; ++i) {
        const double part = 0.05 * i;
        DrawLinePercent(pic, col::Yellow, 70, 10, 70 - part * f.Shadow(), 90, 1);
        DrawDot(PercentX(70 - part * f.Path()), PercentY(f.BirdY()), u'.', pic, col::Red, 2);
        DrawDot(PercentX(70 - part * f.Shadow()), PercentY(90), u'.', pic, col::Black, 2);
    }

    // The post and the shade.
    pic->setPen(col::Black, 1);
    pic->setBrush(col::Black);
    DrawLinePercent(pic, col::Black, 65, 10, 90, 10, 5);
    DrawLinePercent(pic, col::Black, 90, 10, 90, 90, 5);
    pic->pie(PercentX(65), PercentY(5), PercentX(75), PercentY(15), PercentX(75), PercentY(10), PercentX(65),
             PercentY(10));

    PictureText(QString::number(f.lamp), col::Black, RightAligned, PercentY(50) / line - 0.5);
    PictureText(QString::number(f.lamp - hb), col::Black, PercentX(72), PercentY(10 + 40.0 * f.b / f.a) / line - 0.5);
    PictureText(QString::number(hb), col::Black, PercentX(72), (PercentY(90) + PercentY(f.BirdY())) / (2 * line) - 0.5);
    const QString flown = Tenths(tenthsFlown);
    TextCentredOn(flown, col::Red, false, PercentX(69 - f.Path() / 2), PercentY(f.BirdY()) / line + 0.25, pic);
    TextCentredOn(QStringLiteral("schaduw"), col::Black, false, (PercentX(70) + PercentX(70 - f.Shadow())) / 2,
                  PercentY(90) / line, pic);
}

}  // namespace

void Theme17()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        std::array<int, 2>& previous = s.Private.theme17;
        const int level = ThemeLevel();
        const Picture bird = LoadPicture(QStringLiteral("vogel"));
        Flight f;
        do {
            DrawRatio(level, f.a, f.b);
            // The lamp's height: the smallest from 150 up for which the bird flies at a whole height.
            f.lamp = 150;
            while (f.lamp * f.b % f.a != 0)
                ++f.lamp;
            // The shadow: from 20 to 120 km, up to where the bird's distance has one decimal.
            f.shadow = Random(101) + 20;
            while (f.shadow * 10 * f.b % f.a != 0)
                ++f.shadow;
            // Another ratio than the previous item's, and a picture that fits.
        } while (qint64(f.a) * previous[1] == qint64(previous[0]) * f.b || !FitsInPicture(f, bird.width()));
        previous = {f.a, f.b};
        p[0] = f.a;
        p[1] = f.b;
        p[2] = f.lamp - f.lamp * f.b / f.a;
        p[3] = f.lamp;
        p[4] = f.shadow * 10 * f.b / f.a;
        s.ExpectedAnswer = f.shadow;
        DrawFlight(f, p[2], p[4]);
        s.PictureDescription = QStringLiteral("Een lamp op een paal, een vogel die recht eronder vliegt op een "
                                              "lagere hoogte, en de schaduw van de vogel op de grond.");
    }
    const QString flown = Tenths(p[4]);
    QuestionText(1, QStringLiteral("Een lamp hangt op hoogte ") + QString::number(p[3]) + QStringLiteral("."),
                 col::Black);
    QuestionText(2.25, QStringLiteral("Een vogel vliegt recht onder"), col::Red);
    QuestionText(3.5, QStringLiteral("de lamp op hoogte ") + QString::number(p[2]), col::Red);
    QuestionText(4.75, QStringLiteral("over een afstand van ") + flown + QStringLiteral("."), col::Red);
    QuestionText(6.5, QStringLiteral("Welke afstand legt de schaduw"), col::Blue);
    QuestionText(7.5, QStringLiteral("van de vogel af ?"), col::Blue);
    AskRatioAnswer(9.5, QStringLiteral("Afstand: "), QStringLiteral("|Welke afstand legt de schaduw van de vogel af ?"),
                   QString());
}

void Explanation17()
{
    SessionState& s = Session();
    Canvas* t = TextBitmap();
    Canvas* pic = PictureBitmap();
    if (!t || !pic)
        return;
    const auto& p = s.QuestionParams;
    const int hb = p[2], lamp = p[3], tenthsFlown = p[4];
    const QString top = QString::number(lamp), bottom = QString::number(lamp - hb);

    s.TextLine += 1.25;
    ExplainText(QStringLiteral("Toelichting:"), col::Blue, TextMargin, s.TextLine);
    s.TextLine += 1.25;
    ExplainText(QStringLiteral("Twee gelijkvormige driehoeken:"), col::Blue, TextMargin, s.TextLine);
    ExplainText(QString(), col::Black, TextMargin, s.TextLine + 1);

    // The small triangle (lamp and bird) in red, an arrow, the large one (lamp and shadow) in
    // blue, and the factor between them.
    int y = Round((s.TextLine + 1.5) * LineHeight);
    t->setPen(col::Red, 1);
    DrawTriangleSymbol(LastTextEnd, y, t, col::Red);
    const double arrowY = y + LineHeight * 0.5;
    DrawArrow(t, col::Black, LastTextEnd + t->textWidth(QStringLiteral(" ")), arrowY,
              LastTextEnd + t->textWidth(QStringLiteral("  ---")), arrowY, 1);
    LastTextEnd += t->textWidth(QStringLiteral("  ---  "));
    t->setPen(col::Blue, 1);
    DrawTriangleSymbol(LastTextEnd, y, t, col::Blue);
    ExplainText(QStringLiteral("factor = "), col::Black, LastTextEnd + t->textWidth(QStringLiteral("x")),
                s.TextLine + 1.5);
    LastTextEnd = DrawFraction(top, bottom, t, LastTextEnd, y, col::Black);

    // "Dus: schaduw = d x Hl / (Hl - hb) = S" on one line, a little smaller where the text area
    // is too narrow for it at full size (under it stand the buttons).
    s.TextLine += 3.75;
    const QString start = QStringLiteral("Dus: schaduw = ") + Tenths(tenthsFlown) + QStringLiteral(" x ");
    const QString result = QStringLiteral(" = ") + QString::number(s.ExpectedAnswer);
    double size = 1;
    for (; size > 0.7; size -= 0.05) {
        t->font.size = Round(BaseFontSize * size);
        const int width = TextMargin + t->textWidth(start) + Max(t->textWidth(top), t->textWidth(bottom)) +
                          t->textWidth(result);
        if (width <= t->width() - TextMargin)
            break;
    }
    DrawTextItem(start, col::Black, false, TextMargin, s.TextLine, size, t);
    y = Round(y + 2.25 * LineHeight);
    LastTextEnd = DrawFraction(top, bottom, t, LastTextEnd, y, col::Black);
    DrawTextItem(result, col::Red, false, LastTextEnd, s.TextLine, size, t);

    // On the picture: the small triangle filled red, the large one outlined in blue.
    if (lamp <= 0)
        return;
    const int pathY = PercentY(10 + 80.0 * (lamp - hb) / lamp);
    pic->setPen(col::Red, 1);
    pic->setBrush(col::Red);
    pic->polygon({QPoint(PercentX(70), PercentY(10)), QPoint(PercentX(70), pathY),
                  QPoint(PercentX(70 - 8.0 * tenthsFlown / lamp), pathY)});
    pic->setPen(col::Blue, Round(1.5 * ScreenScale));
    pic->setBrushClear();
    pic->polygon({QPoint(PercentX(70), PercentY(10)), QPoint(PercentX(70), PercentY(90)),
                  QPoint(PercentX(70 - 80.0 * s.ExpectedAnswer / lamp), PercentY(90))});
}

}  // namespace kav

// Theme 15: Carina buys a large pack and Toos a small pack of the same product; how much
// dearer per 100 gram is the small pack, in euro cents?
#include <cmath>

#include "draw/measures.h"
#include "draw/numbers.h"
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

// QuestionParams[0..3]: W1 and P1 of the large pack, W2 and P2 of the small one: the weight
// in grams and the price per 100 gram in units of 10 euro cents. Session().Private.theme15
// keeps the previous item's W1, P1, W2, P2, so that none of them comes twice in a row.

// A small weight is more than 100 gram lighter than the large one and differs from the
// previous small weight.
bool SmallWeightFits(int w2, int w1, int previousW2)
{
    return w2 != previousW2 && w2 < w1 - 100;
}

bool AnySmallWeight(int w1, int step, int previousW2)
{
    for (int k = 2; k <= 12; ++k)
        if (SmallWeightFits(k * step, w1, previousW2))
            return true;
    return false;
}

// The small pack is dearer per 100 gram (P2 > P1), yet the large pack costs at least as much
// in all (P1 x W1 >= P2 x W2), and P2 differs from the previous P2.
bool SmallPriceFits(int p2, int p1, int w1, int w2, int previousP2)
{
    return p2 != previousP2 && p2 > p1 && qint64(p1) * w1 >= qint64(p2) * w2;
}

bool AnySmallPrice(int p1, int w1, int w2, int previousP2)
{
    for (int p2 = 7; p2 <= 26; ++p2)
        if (SmallPriceFits(p2, p1, w1, w2, previousP2))
            return true;
    return false;
}

// The price of a pack in euro cents: P x W / 10.
int PackCents(int perHundred, int grams)
{
    return int(qBound(qint64(-2000000000), qint64(perHundred) * grams / 10, qint64(2000000000)));
}

void DrawPackColumn(const QString& heading, int grams, int perHundred, const QColor& color, double x)
{
    Canvas* pic = PictureBitmap();
    DrawTextItem(heading, color, false, x, 3, 1, pic);
    DrawTextItem(QStringLiteral("Gewicht  ") + QString::number(grams) + QStringLiteral(" gram"), color, false, x, 15,
                 1, pic);
    DrawTextItem(QStringLiteral("Prijs    "), color, false, x, 16, 1, pic);
    DrawEuroText(QStringLiteral(" ") + Hundredths(PackCents(perHundred, grams)), color, false, LastTextEnd, 16, 1,
                 pic);
}

void DrawPacks(int w1, int p1, int w2, int p2)
{
    Canvas* pic = PictureBitmap();
    DrawTextItem(QStringLiteral("Carina koopt groot, Toos koopt klein"), col::Red, false, Centred, 0.5, 1.5, pic);
    DrawPackColumn(QStringLiteral("Groot pak van Carina:"), w1, p1, col::Blue, TextMargin);
    DrawPackColumn(QStringLiteral("Klein pak van Toos:"), w2, p2, col::Red, PercentX(55));
    // The small box at the cube root of the weight ratio: its volume goes with its weight.
    const double size = std::exp(std::log(double(w2) / w1) / 3);
    DrawPackBox(col::Blue, col::Aqua, PercentX(5), 13 * LineHeight, 1, pic);
    DrawPackBox(col::Red, col::Yellow, PercentX(57), 13 * LineHeight, size, pic);
}

// One pack's price per 100 gram: its price in cents over its weight, times 100.
void PerHundredGram(int grams, int perHundred)
{
    SessionState& s = Session();
    s.TextLine += 1.5;
    LastTextEnd = 2 * TextMargin;
    ExplainFraction(QString::number(PackCents(perHundred, grams)), QString::number(grams), col::Blue);
    ExplainNext(QStringLiteral(" \u00b7 100 = "), col::Blue, s.TextLine);
    ExplainNext(QString::number(qint64(perHundred) * 10) + QStringLiteral(" eurocent"), col::Red, s.TextLine);
}

}  // namespace

void Theme15()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        std::array<int, 4>& previous = s.Private.theme15;
        const int level = ThemeLevel();
        const int step = level == 3 ? 50 : 100;
        int w1 = 1000;
        if (level > 1) {
            // A large pack that leaves no small weight is drawn again as well: 400 gram allows
            // only 200 gram, which may have been the previous small pack.
            do {
                w1 = (Random(6) + 4) * 100 + (level == 3 ? 50 : 0);
            } while (w1 == previous[0] || !AnySmallWeight(w1, step, previous[2]));
        }
        int w2 = 0;
        do {
            w2 = (Random(11) + 2) * step;
        } while (!SmallWeightFits(w2, w1, previous[2]));
        // Likewise a price per 100 gram of the large pack that leaves no price for the small
        // one (5 with a small pack of 800 gram beside 1000) is drawn again.
        int p1 = 0;
        do {
            p1 = Random(20) + 5;
        } while (p1 == previous[1] || !AnySmallPrice(p1, w1, w2, previous[3]));
        int p2 = 0;
        do {
            p2 = Random(20) + 7;
        } while (!SmallPriceFits(p2, p1, w1, w2, previous[3]));
        previous = {w1, p1, w2, p2};
        s.QuestionParams[0] = w1;
        s.QuestionParams[1] = p1;
        s.QuestionParams[2] = w2;
        s.QuestionParams[3] = p2;
        s.ExpectedAnswer = (p2 - p1) * 10;
        DrawPacks(w1, p1, w2, p2);
        s.PictureDescription = QStringLiteral("Twee pakken van hetzelfde product: het grote pak van Carina en het "
                                              "kleine pak van Toos, elk met zijn gewicht en prijs.");
    }
    QuestionText(0.5, QStringLiteral("Hoe groot is het prijsverschil"), col::Red);
    QuestionText(1.5, QStringLiteral("per 100 gram ?"), col::Red);
    DrawTextItem(QStringLiteral("(Antwoord in eurocenten.)"), col::Blue, false, TextMargin, 2.5, 0.9, TextBitmap());
    AskRatioAnswer(4, QStringLiteral("Prijsverschil: "),
                   QStringLiteral("|Hoe groot is het prijsverschil per 100 gram in eurocenten?"),
                   QStringLiteral(" eurocent"));
}

void Explanation15()
{
    SessionState& s = Session();
    const auto& p = s.QuestionParams;
    s.TextLine += 2.5;
    ExplainText(QStringLiteral("Toelichting:"), col::Blue, TextMargin, s.TextLine);
    s.TextLine += 1.5;
    ExplainText(QStringLiteral("Prijs groot pak per 100 gram: "), col::Black, TextMargin, s.TextLine);
    PerHundredGram(p[0], p[1]);
    s.TextLine += 2;
    ExplainText(QStringLiteral("Prijs klein pak per 100 gram: "), col::Black, TextMargin, s.TextLine);
    PerHundredGram(p[2], p[3]);
    ExplainText(QStringLiteral("Dus het verschil is  "), col::Blue, TextMargin, s.TextLine + 2);
    ExplainNext(QString::number(s.ExpectedAnswer) + QStringLiteral(" eurocent"), col::Red, s.TextLine + 2);
}

}  // namespace kav

// Theme 14: a table of five currencies with amounts of about the same value. The pupil
// converts a price from one currency into another, or (from "Durver" on, every other item)
// finds a currency's table amount from a price given in two currencies.
#include <array>
#include <cstdlib>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

// Dutch writes a currency after a number in the singular ("90 dollar", "60 Engelse pond") and
// without a number in the plural ("Engelse ponden"), both in lower case.
struct Currency {
    const char* plural;  // "Amerikaanse dollars": the table and the questions
    const char* named;   // "Amerikaanse dollar": after a number, with its country's adjective
    const char* unit;    // "dollar": after a price
    const char* country;
    int amount;  // the amounts of all five have the same value
};

// Amounts of (about) the same value in December 2000, when 1 euro was worth about 0,90 dollar,
// 0,61 pound, 1,51 Swiss franc and 6,8 rand.
const std::array<Currency, 5> currencies = {{
    {"euro's", "euro", "euro", "Nederland", 100},
    {"Amerikaanse dollars", "Amerikaanse dollar", "dollar", "Amerika", 90},
    {"Engelse ponden", "Engelse pond", "pond", "Engeland", 60},
    {"Zwitserse franken", "Zwitserse frank", "frank", "Zwitserland", 150},
    {"Zuid-Afrikaanse rand", "Zuid-Afrikaanse rand", "rand", "Zuid-Afrika", 700},
}};

// The lookups, by index 1 .. 5; other indexes have no currency (empty text, amount 0).
const Currency* CurrencyAt(int i)
{
    return i >= 1 && i <= 5 ? &currencies[size_t(i - 1)] : nullptr;
}
QString Plural(int i) { return CurrencyAt(i) ? QString::fromUtf8(CurrencyAt(i)->plural) : QString(); }
QString Named(int i) { return CurrencyAt(i) ? QString::fromUtf8(CurrencyAt(i)->named) : QString(); }
QString Unit(int i) { return CurrencyAt(i) ? QString::fromUtf8(CurrencyAt(i)->unit) : QString(); }
QString Country(int i) { return CurrencyAt(i) ? QString::fromUtf8(CurrencyAt(i)->country) : QString(); }
int Amount(int i) { return CurrencyAt(i) ? CurrencyAt(i)->amount : 0; }

// The answer field's caption starts with a capital: "Dollar: ".
QString Caption(int i)
{
    QString unit = Unit(i);
    if (!unit.isEmpty())
        unit[0] = unit[0].toUpper();
    return unit + QStringLiteral(": ");
}

QString Num(long long v) { return QString::number(v); }

// A rate question is kept as a negative ThemeMemory[14].
bool RateQuestion()
{
    return Session().ThemeMemory[14] < 0;
}

void DrawCurrencyTable(int c1, int c2, bool rate)
{
    const auto& p = Session().QuestionParams;
    Canvas* pic = PictureBitmap();
    PictureText(QStringLiteral("In de tabel hieronder staan voor enkele munteenheden de"), col::Blue, TextMargin, 2);
    PictureText(QStringLiteral("aantallen die (ongeveer) gelijke waarde hebben."), col::Blue, TextMargin, 3);
    // The example never shows the row of the asked currency.
    const int x1 = c2 == 1 ? 2 : 1;
    int x2 = 1;
    for (int i : {2, 3, 4, 5, 1})
        if (i != c2 && i != x1) {
            x2 = i;
            break;
        }
    PictureText(QStringLiteral("Bijvoorbeeld:"), col::Green, TextMargin, 4.5);
    PictureText(Num(Amount(x1)) + u' ' + Named(x1) + QStringLiteral(" is net zoveel"), col::Green, PercentX(30), 4.5);
    PictureText(QStringLiteral("waard als ") + Num(Amount(x2)) + u' ' + Named(x2) + u'.', col::Green, PercentX(30),
                5.5);
    for (int i = 1; i <= 5; ++i) {
        const double line = i + 10.5;
        PictureText(Plural(i), col::Black, PercentX(5), line);
        if (rate && i == c2)
            TextEndingAt(QStringLiteral("?"), col::Red, false, PercentX(55), line, pic);
        else
            TextEndingAt(Num(Amount(i)), col::Black, false, PercentX(55), line, pic);
        if (i == c1)
            TextEndingAt(Num(p[0]), col::Red, false, PercentX(70), line, pic);
        else if (i == c2)
            TextEndingAt(rate ? Num(p[3]) : QStringLiteral("?"), col::Red, false, PercentX(70), line, pic);
    }
    DrawTextItem(QStringLiteral("Gelijke waarden (ongeveer, december 2000)"), col::Black, false, Centred, 8, 1.25, pic);
    PictureText(QStringLiteral("Munteenheid"), col::Black, PercentX(5), 9.75);
    PictureText(QStringLiteral("Aantal"), col::Black, PercentX(47), 9.75);
    for (double line : {9.5, 11.0, 17.0})
        DrawLineLP(pic, col::Black, 5, line, 95, line, 1);
    for (double x : {44.0, 60.0})
        DrawLineLP(pic, col::Black, x, 9.5, x, 17, 1);
}

}  // namespace

void Theme14()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        DrawTextItem(QStringLiteral("Hetzelfde bedrag, andere valuta"), col::Red, true, TextMargin, 0.25, 1.5,
                     PictureBitmap());
        // The currencies: never from the same one as the previous item, never into itself.
        int& history = s.Private.theme14;
        int c1 = 0, c2 = 0;
        do
            c1 = Random(5) + 1;
        while (c1 == history % 10);
        do
            c2 = Random(5) + 1;
        while (c2 == c1);
        history = c2 * 1000 + (history % 10) * 100 + c1;
        p[1] = c1;
        p[2] = c2;

        // The amount factor k, other than the previous one; its three first items in a
        // session take an even k. A price is kept only when it converts to a whole number
        // other than the table amount.
        const bool rateBefore = s.ThemeMemory[14] < 0;
        const int previousK = int(std::llabs(s.ThemeMemory[14]) % 100);
        const int a1 = Amount(c1), a2 = Amount(c2);
        int k = 0, price = 0, converted = 0;
        for (;;) {
            do
                k = s.ThemeItemCount[14] < 3 ? 2 * (Random(4) + 1) : Random(5 * level + 8) + 1;
            while (k == previousK);
            price = level == 1 ? a1 * k * 3 / 2 : level == 2 ? a1 * k / 10 : a1 * k / 5;
            if ((a2 * price) % a1 == 0 && a2 * price / a1 != a2)
                break;
        }
        converted = a2 * price / a1;
        // "Durver" and "Prof !" take turns, a conversion first in each session.
        s.ThemeMemory[14] = k + 100 * previousK;
        if (level >= 2 && !rateBefore)
            s.ThemeMemory[14] = -s.ThemeMemory[14];
        p[0] = price;
        p[3] = converted;
        s.ExpectedAnswer = RateQuestion() ? a2 : converted;
        DrawCurrencyTable(c1, c2, RateQuestion());
        s.PictureDescription = QStringLiteral("Een tabel van vijf valuta met bedragen die ongeveer evenveel waard "
                                              "zijn.");
    }
    const int c1 = p[1], c2 = p[2];
    QuestionText(0.5, QStringLiteral("Suzanne koopt iets in"), col::Blue);
    QuestionText(1.5, Country(c1) + QStringLiteral(" voor ") + Num(p[0]) + u' ' + Unit(c1) + u'.', col::Blue);
    if (RateQuestion()) {
        QuestionText(2.75, QStringLiteral("In ") + Country(c2) + QStringLiteral(" kost dit artikel"), col::Blue);
        QuestionText(3.75, Num(p[3]) + u' ' + Unit(c2) + u'.', col::Blue);
        QuestionText(5, QStringLiteral("Hoeveel ") + Plural(c2), col::Red);
        QuestionText(6, QStringLiteral("hebben dezelfde waarde als"), col::Red);
        QuestionText(7, Num(Amount(c1)) + u' ' + Named(c1) + QStringLiteral(" ?"), col::Red);
        AskWholeNumber(8.75, QStringLiteral("Aantal: "), QStringLiteral("|Wat is de 'koers' in ") + Country(c2) +
                                                             QStringLiteral(" ?"));
        s.AnswerSuffix = QStringLiteral(" ");
    } else {
        QuestionText(3, QStringLiteral("Hoeveel kost dit omgerekend"), col::Red);
        QuestionText(4, QStringLiteral("in ") + Plural(c2) + u'?', col::Red);
        AskWholeNumber(6, Caption(c2),
                       QStringLiteral("|Hoeveel ") + Plural(c2) + QStringLiteral(" kost dat ?"));
        s.AnswerSuffix = u' ' + Unit(c2);
    }
}

// A proportion table of the table amount and the price in the two currencies, and the
// cross product that gives the asked cell.
void Explanation14()
{
    SessionState& s = Session();
    const auto& p = s.QuestionParams;
    Canvas* pic = PictureBitmap();
    Canvas* t = TextBitmap();
    const bool rate = RateQuestion();
    const long long a = Amount(p[1]), c = p[0];
    const QString question = QStringLiteral("?");
    const QString b = rate ? question : Num(Amount(p[2]));
    const QString d = rate ? Num(p[3]) : question;
    const QColor bColour = rate ? col::Red : col::Black, dColour = rate ? col::Black : col::Red;

    s.TextLine += 1.25;
    DrawTextItem(QStringLiteral("Toelichting: evenredigheidstabel"), col::Blue, false, TextMargin, s.TextLine, 1, t);
    s.TextLine += 1.1;

    DrawTextItem(QStringLiteral("EVENREDIGHEIDSTABEL:"), col::Red, false, Centred, 18.5, 1, pic);
    DrawLineLP(pic, col::Blue, 30, 22, 70, 22, 1);
    DrawLineLP(pic, col::Blue, 50, 20, 50, 24, 1);
    TextEndingAt(Num(a), col::Black, false, PercentX(43), 20.5, pic);
    TextEndingAt(b, bColour, false, PercentX(43), 22.5, pic);
    TextEndingAt(Num(c), col::Black, false, PercentX(63), 20.5, pic);
    TextEndingAt(d, dColour, false, PercentX(63), 22.5, pic);

    const double indent = 2 * TextMargin;
    auto then = [&](const QString& text, const QColor& colour) {
        DrawTextItem(text, colour, false, LastTextEnd, s.TextLine, 1, t);
    };
    DrawTextItem(QStringLiteral("Bijvoorbeeld kruisproduct maken:"), col::Black, false, TextMargin, s.TextLine, 1, t);
    s.TextLine += 1.1;
    DrawTextItem(Num(a) + QStringLiteral(" · "), col::Black, false, indent, s.TextLine, 1, t);
    then(d, dColour);
    then(QStringLiteral(" = ") + Num(c) + QStringLiteral(" · "), col::Black);
    then(b, bColour);
    s.TextLine += 1;
    long long product = 0, divisor = 0;
    if (rate) {
        product = a * p[3];
        divisor = c;
        DrawTextItem(Num(product) + QStringLiteral(" = ") + Num(c) + QStringLiteral(" · "), col::Black, false, indent,
                     s.TextLine, 1, t);
        then(question, col::Red);
    } else {
        product = c * Amount(p[2]);
        divisor = a;
        DrawTextItem(Num(a) + QStringLiteral(" · "), col::Black, false, indent, s.TextLine, 1, t);
        then(question, col::Red);
        then(QStringLiteral(" = ") + Num(product), col::Black);
    }
    s.TextLine += 1.5;
    DrawTextItem(QStringLiteral("? "), col::Red, false, indent, s.TextLine, 1, t);
    then(QStringLiteral("= "), col::Black);
    FractionOnLine(Num(product), Num(divisor), col::Black, LastTextEnd, s.TextLine, t);
    then(QStringLiteral(" = ") + Num(s.ExpectedAnswer), col::Red);
}

}  // namespace kav

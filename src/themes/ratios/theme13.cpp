// Theme 13: the floor plan of a two-room flat on a square grid. One length or room area is
// given; another is asked, found by the ratio of grid units or grid squares.
#include <array>

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

enum Room { Woonkamer, Slaapkamer, Keuken, Badkamer, Hal, NoRoom };

// One variant of the question: what is asked and what is given, in grid units (lengths) or
// grid squares (areas) of a plan W wide and H high, and what the picture marks.
struct Variant {
    QString question;  // QuestionSubject
    QString caption;   // CaptionSubject
    QString given;     // the given fact up to its value, such as "HG = "
    int asked = 0;     // grid units or squares of what is asked
    int givenUnits = 0;
    bool area = false;
    QString letters;                 // a length: its two end letters
    Room askedRoom = NoRoom, givenRoom = NoRoom;  // an area: the two rooms
};

Variant MakeVariant(int v, int w, int h)
{
    auto length = [](const char* name, const char* given, int asked, int givenUnits, const char* letters) {
        Variant r;
        r.question = QStringLiteral("Hoe lang is %1 ?").arg(QLatin1String(name));
        r.caption = QLatin1String(name);
        r.given = QLatin1String(given);
        r.asked = asked;
        r.givenUnits = givenUnits;
        r.letters = QLatin1String(letters);
        return r;
    };
    auto area = [](const char* question, const char* caption, const char* given, int asked, int givenUnits,
                   Room askedRoom, Room givenRoom) {
        Variant r;
        r.question = QLatin1String(question);
        r.caption = QLatin1String(caption);
        r.given = QLatin1String(given);
        r.asked = asked;
        r.givenUnits = givenUnits;
        r.area = true;
        r.askedRoom = askedRoom;
        r.givenRoom = givenRoom;
        return r;
    };
    const int woon = h * (w - 4), keuken = 2 * (h - 3), hal = 2 * (h - 5);
    switch (v) {
    case 0: return length("AF", "HG = ", w, 2, "AF");
    case 1: return length("DF", "DE = ", h, 3, "DF");
    case 2: return length("BD", "CD = ", w, 4, "DB");
    case 3: return length("BD", "BC = ", w, w - 4, "DB");
    case 4: return length("HG", "DE = ", 2, 3, "HG");
    case 5: return length("CD", "AF = ", 4, w, "DC");
    case 6:
        return area("Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte badkamer = ", woon, 6, Woonkamer, Badkamer);
    case 7: return area("Oppervlakte keuken ?", "Opp.keuken", "Oppervlakte hal = ", keuken, hal, Keuken, Hal);
    case 8:
        return area("Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte slaapkamer = ", woon, 10, Woonkamer,
                    Slaapkamer);
    case 9:
        return area("Oppervlakte woonkamer ?", "Opp.woonkamer", "Oppervlakte keuken = ", woon, keuken, Woonkamer, Keuken);
    case 10: return length("EF", "BC = ", h - 3, w - 4, "EF");
    case 11:
        return area("Oppervlakte badkamer ?", "Opp.badkamer", "Oppervlakte woonkamer = ", 6, woon, Badkamer, Woonkamer);
    case 12: return area("Oppervlakte hal ?", "Opp. hal", "Oppervlakte keuken = ", hal, keuken, Hal, Keuken);
    case 13:
        return area("Oppervlakte slaapkamer ?", "Opp.slaapkamer", "Oppervlakte woonkamer = ", 10, woon, Slaapkamer,
                    Woonkamer);
    default:
        return area("Oppervlakte keuken ?", "Opp.keuken", "Oppervlakte woonkamer = ", keuken, woon, Keuken, Woonkamer);
    }
}

// A grid point u units from the left and v from the top.
int GridX(double u) { return PercentX(10 + 8 * u); }
int GridY(double v) { return PercentY(10 + 8 * v); }

// A text line whose top is Pixels down the picture, moved by Shift lines.
double LineAt(int pixels, double shift)
{
    return pixels / double(Max(LineHeight, 1)) + shift;
}

void Rectangle(double u1, double v1, double u2, double v2)
{
    PictureBitmap()->rectangle(GridX(u1), GridY(v1), GridX(u2), GridY(v2));
}

// The corner letters; the two ends of an asked or given length in red, bold.
void DrawLetters(int w, int h, const QString& marked)
{
    Canvas* pic = PictureBitmap();
    auto letter = [&](QChar c, int x, double line, bool centred) {
        const QString text(c);
        const bool red = marked.contains(c);
        const int left = centred ? x - TextItemWidth(pic, text, 1, red) / 2 : x;
        DrawTextItem(text, red ? col::Red : col::Black, red, left, line, 1, pic);
    };
    const double top = LineAt(GridY(0), -1.5), bottom = LineAt(GridY(h), 0.4);
    letter(u'A', GridX(0), top, true);
    letter(u'H', GridX(w - 4), top, true);
    letter(u'G', GridX(w - 2), top, true);
    letter(u'F', GridX(w), top, true);
    letter(u'B', GridX(0), bottom, true);
    letter(u'C', GridX(w - 4), bottom, true);
    letter(u'D', GridX(w), bottom, true);
    letter(u'E', GridX(w) + TextItemWidth(pic, QStringLiteral("E")), LineAt(GridY(h - 3), -0.5), false);
}

// Fills the room around its fill point with the colour.
void FillRoom(Room room, int w, int h, const QColor& color)
{
    Canvas* pic = PictureBitmap();
    int x = 0, y = 0;
    switch (room) {
    case Woonkamer: x = PercentX(11), y = PercentY(11); break;
    case Keuken: x = GridX(w - 1), y = PercentY(11); break;
    case Hal: x = GridX(w - 3), y = PercentY(11); break;
    case Badkamer: x = GridX(w - 3), y = GridY(h - 3); break;
    case Slaapkamer: x = GridX(w - 1), y = GridY(h - 1); break;
    default: return;
    }
    if (x < 0 || y < 0 || x >= pic->width() || y >= pic->height())
        return;
    pic->setBrush(color);
    pic->floodFill(x, y, pic->pixel(x, y), FillMode::Surface);
}

void DrawRoomNames(int w, int h)
{
    Canvas* pic = PictureBitmap();
    // Centred across the grid columns From .. To.
    auto name = [&](const QString& text, double from, double to, double line) {
        const int span = PercentX(8 * (to - from));
        PictureText(text, col::Black, GridX(from) + (span - TextItemWidth(pic, text)) * 0.5, line);
    };
    name(QStringLiteral("slaapkamer"), w - 4, w, LineAt(GridY(h - 1.5), -0.5));
    name(QStringLiteral("bad-"), w - 4, w - 2, LineAt(GridY(h - 3.5), -1));
    name(QStringLiteral("kamer"), w - 4, w - 2, LineAt(GridY(h - 4), 1));
    name(QStringLiteral("hal"), w - 4, w - 2, LineAt(PercentY(10 + 4 * (h - 5)), -0.5));
    name(QStringLiteral("keuken"), w - 2, w, LineAt(PercentY(10 + 4 * (h - 3)), -0.5));
    name(QStringLiteral("woonkamer"), 0, w - 4, LineAt(PercentY(10 + 4 * h), -0.5));
}

void DrawPlan(int w, int h, const Variant& variant)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    pic->setPen(col::Black, Round(ScreenScale));
    pic->setBrush(col::BtnFace);
    Rectangle(0, 0, w, h);
    // The rooms drawn next cover the grid inside the plan: only short ticks stay outside it.
    for (int u = 1; u < w; ++u)
        DrawLinePercent(pic, col::Black, 10 + 8 * u, 9, 10 + 8 * u, 8 * h + 11, 1);
    for (int v = 1; v < h; ++v)
        DrawLinePercent(pic, col::Black, 9, 10 + 8 * v, 8 * w + 11, 10 + 8 * v, 1);
    pic->setPen(col::Black, Round(ScreenScale));
    pic->setBrush(col::BtnFace);
    Rectangle(0, 0, w - 4, h);          // woonkamer
    Rectangle(w - 4, h - 3, w, h);      // slaapkamer, an L once the badkamer covers its corner
    Rectangle(w - 2, 0, w, h - 3);      // keuken
    Rectangle(w - 4, h - 5, w - 2, h - 2);  // badkamer
    Rectangle(w - 4, 0, w - 2, h - 5);  // hal
    DrawLetters(w, h, variant.letters);
    if (variant.area) {
        FillRoom(variant.askedRoom, w, h, col::Red);
        FillRoom(variant.givenRoom, w, h, col::Blue);
    }
    DrawRoomNames(w, h);
}

// The given fact's name shortened for the explanation: "Opp." for "Oppervlakte ", and the
// two long room names cut short.
QString ShortName(QString name)
{
    const QString area = QStringLiteral("Oppervlakte ");
    if (name.startsWith(area))
        name = QStringLiteral("Opp.") + name.mid(area.size());
    if (name.startsWith(QStringLiteral("Opp.woonkamer")))
        return QStringLiteral("Opp.woonk.");
    if (name.startsWith(QStringLiteral("Opp.slaapkamer")))
        return QStringLiteral("Opp.slaapk.");
    return name;
}

int VariantCount(int level)
{
    return level == 1 ? 6 : level == 2 ? 10 : 15;
}

}  // namespace

void Theme13()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        int& kept = s.Private.theme13;  // the previous plan as H * 100 + W
        int w = 0, h = 0;
        do
            w = Random(4) + 7;
        while (w == kept % 100);
        do
            h = Random(5) + 6;
        while (h == kept / 100);
        kept = h * 100 + w;
        int unit = 0;
        if (level == 1)
            unit = (Random(4) + 6) * 20;
        else if (level == 2)
            unit = (Random(6) + 11) * 10;
        else
            unit = (Random(5) + 7) * 15;
        const int square = Random(6) + 3;
        const int n = VariantCount(level);
        const int v = int(((s.ThemeMemory[13] + 1LL) % n + n) % n);
        s.ThemeMemory[13] = v;
        const Variant variant = MakeVariant(v, w, h);
        const int each = variant.area ? square : unit;
        s.QuestionSubject = variant.question;
        s.CaptionSubject = variant.caption;
        p[0] = variant.asked;
        p[1] = variant.givenUnits;
        p[2] = variant.givenUnits * each;
        s.ExpectedAnswer = variant.asked * each;
        DrawPlan(w, h, variant);
        s.PictureDescription = QStringLiteral("De plattegrond van een 2-kamerflat op een rooster van vierkantjes, "
                                              "met de namen van de kamers en letters bij de wanden.");
    }
    const QString given = MakeVariant(qBound(0, s.ThemeMemory[13], 14), 10, 10).given + QString::number(p[2]);
    Canvas* t = TextBitmap();
    QuestionText(1, QStringLiteral("Hiernaast staat de plattegrond"), col::Black);
    QuestionText(2, QStringLiteral("van een 2-kamerflat."), col::Black);
    QuestionText(3.5, QStringLiteral("Gegeven:"), col::Blue);
    DrawTextItem(given + QStringLiteral("."), col::Blue, false, Centred, 4.5, 1, t);
    QuestionText(6, QStringLiteral("Gevraagd:"), col::Red);
    DrawTextItem(s.QuestionSubject, col::Red, false, Centred, 7.25, 1, t);
    if (Context().port)
        Context().port->Repaint();
    AskWholeNumber(9, s.CaptionSubject + QStringLiteral(" : "), QStringLiteral("|") + s.QuestionSubject);
}

// The asked value as the fraction of grid units (or squares) times the given one, then with
// the given value, then worked out.
void Explanation13()
{
    SessionState& s = Session();
    const auto& p = s.QuestionParams;
    Canvas* t = TextBitmap();
    const Variant variant = MakeVariant(qBound(0, s.ThemeMemory[13], 14), 10, 10);
    const QString given = ShortName(variant.given.left(variant.given.indexOf(u'=')));
    s.CaptionSubject = ShortName(s.CaptionSubject);
    const QString numerator = QString::number(p[0]), denominator = QString::number(p[1]);
    s.TextLine += 1.25;
    DrawTextItem(QStringLiteral("Toelichting:"), col::Blue, false, TextMargin, s.TextLine, 1, t);
    s.TextLine += 1.5;
    DrawTextItem(s.CaptionSubject + QStringLiteral(" = "), col::Black, false, TextMargin, s.TextLine, 1, t);
    FractionOnLine(numerator, denominator, col::Blue, LastTextEnd, s.TextLine, t);
    DrawTextItem(QStringLiteral(" · ") + given, col::Black, false, LastTextEnd, s.TextLine, 1, t);
    s.TextLine += 2.5;
    DrawTextItem(QStringLiteral(" = "), col::Black, false, 3 * TextMargin, s.TextLine, 1, t);
    FractionOnLine(numerator, denominator, col::Blue, LastTextEnd, s.TextLine, t);
    DrawTextItem(QStringLiteral(" · ") + QString::number(p[2]), col::Blue, false, LastTextEnd, s.TextLine, 1, t);
    s.TextLine += 2.25;
    DrawTextItem(QStringLiteral(" = "), col::Black, false, 3 * TextMargin, s.TextLine, 1, t);
    DrawTextItem(QString::number(s.ExpectedAnswer), col::Red, false, LastTextEnd, s.TextLine, 1, t);
}

}  // namespace kav

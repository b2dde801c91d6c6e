// Theme 4: Dotland, where every number is written as layers of dots, house numbers too. Each
// layer keeps its number of dots from house to house or grows by the same step every time;
// the pupil finds a layer or the total at a larger number, or the number for a layer.
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/relations.h"
#include "themes/relations/textlines.h"
#include "themes/triangular/triangle.h"

namespace kav {

using namespace textlines;

DotLayerTable& DotLayers()
{
    static DotLayerTable layers;
    return layers;
}

namespace {

// QuestionParams: [0] the asked house number N, [1] layer P, [2] layer Q, [3] the total T.
enum Param { HouseNumber = 0, LayerP = 1, LayerQ = 2, Total = 3 };

int LayerCount()
{
    return ThemeLevel() + 2;
}

// Layer J, or the empty entry 0 for a number that is no layer.
const DotLayer& Layer(int j)
{
    return DotLayers()[size_t(j >= 1 && j <= MaxDotLayers ? j : 0)];
}

// The variant asked, kept in ThemeMemory[4].
int Variant()
{
    return Session().ThemeMemory[4];
}

// A house picture stretched into the house column from Top (percent) down. With a valid
// Recolour, the area round the picture's own pixel Marker is flood-filled with it: on the
// picture drawn at the size it is shown, so that the recoloured houses stay as sharp as the others.
void DrawHouse(const QString& name, double top, QPoint marker = {}, const QColor& recolour = QColor())
{
    Canvas* pic = PictureBitmap();
    const Picture house = LoadPicture(name);
    if (!pic || house.isNull())
        return;
    const int x1 = PercentX(7), y1 = PercentY(top), x2 = PercentX(25), y2 = PercentY(top + 18);
    if (!recolour.isValid() || x2 <= x1 || y2 <= y1) {
        pic->stretchDraw(x1, y1, x2, y2, house);
        return;
    }
    Canvas shown;
    shown.image() = QImage(x2 - x1, y2 - y1, QImage::Format_ARGB32);
    shown.image().fill(Qt::transparent);
    shown.stretchDraw(0, 0, shown.width(), shown.height(), house);
    const int mx = int((marker.x() + 0.5) * shown.width() / house.width());
    const int my = int((marker.y() + 0.5) * shown.height() / house.height());
    shown.setBrush(recolour);
    if (QRect(QPoint(), house.size()).contains(marker))
        shown.floodFill(mx, my, shown.pixel(mx, my), FillMode::Surface);
    pic->draw(x1, y1, shown.image());
}

void NewLayers(int layers)
{
    DotLayerTable& t = DotLayers();
    t = DotLayerTable();
    for (int j = 1; j <= layers; ++j)
        t[size_t(j)].start = std::uint8_t(1 + Random(3));
    int growing = 0;
    while (growing < 2) {
        growing = 0;
        for (int j = 1; j <= layers; ++j) {
            t[size_t(j)].step = std::uint8_t(Random(4));
            growing += t[size_t(j)].step > 0;
        }
    }
}

// A layer with a step above 0, other than Except.
int GrowingLayer(int layers, int except)
{
    int j;
    do {
        j = 1 + Random(layers);
    } while (j == except || Layer(j).step == 0);
    return j;
}

// The houses 1 to 4 in rows, each with its layers of dots: layer P red, layer Q blue.
void DrawStreet(int layers, int p, int q)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const double s = PercentY(18) / double(layers);  // the height of one layer
    const double o = (s - LineHeight) / 2;
    for (int h = 0; h <= 3; ++h) {
        const double y = 20 * h + 20;
        DrawLinePercent(pic, col::Black, 29.5, y, 29.5, y + 18, 2);
        DrawLinePercent(pic, col::Black, 1, y - 1, 95, y - 1, 2);
        pic->font.size = BaseFontSize;
        pic->font.bold = false;
        DrawDot(PercentX(3.5), PercentY(y + 9), QChar(u'1' + h), pic, col::Yellow, 0);
        for (int j = 1; j <= layers; ++j) {
            const double top = PercentY(y) + s * (j - 1) + o;
            DrawTextItem(Num(j), col::Black, false, PercentX(26), top / LineHeight, 1, pic);
            const QColor colour = j == p ? col::Red : j == q ? col::Blue : col::Black;
            const int dots = Layer(j).start + h * Layer(j).step;
            for (int t = 1; t <= dots; ++t)
                DrawDot(PercentX(30 + 4 * t), Round(top + LineHeight / 2.0), u'.', pic, colour, 5);
        }
    }
    DrawLinePercent(pic, col::Black, 1, 99, 95, 99, 2);
}

void NewItem()
{
    SessionState& s = Session();
    Canvas* pic = PictureBitmap();
    const int layers = LayerCount();

    DrawHouse(QStringLiteral("huis1"), 20);
    DrawHouse(QStringLiteral("huis1"), 60, QPoint(20, 30), col::Gray);
    DrawHouse(QStringLiteral("huis2"), 40);
    DrawHouse(QStringLiteral("huis2"), 80, QPoint(20, 20), col::Silver);

    NewLayers(layers);
    const int n = 6 + Random(4 * ThemeLevel());
    int total = 0;
    for (int j = 1; j <= layers; ++j) {
        DotLayer& l = DotLayers()[size_t(j)];
        l.count = std::uint8_t(l.start + (n - 1) * l.step);
        total += l.count;
    }

    DrawTextItem(QStringLiteral("Wet in Stippenland:"), col::Red, false, Centred, 0.25, 1.5, pic);
    DrawTextItem(QStringLiteral("Alle getallen worden aangegeven door rijtjes van stippen."), col::Blue, false,
                 Centred, 1.75, 1, pic);
    DrawTextItem(QStringLiteral("Ook de huisnummers: elk laagje blijft constant of neemt"), col::Blue, false,
                 Centred, 2.75, 1, pic);
    DrawTextItem(QStringLiteral("steeds met hetzelfde aantal stippen toe."), col::Blue, false, Centred, 3.75, 1,
                 pic);

    const int m = NextInCycle(s.ThemeMemory[4], layers);
    s.ThemeMemory[4] = m;
    const int p = m > 0 ? GrowingLayer(layers, 0) : 0;
    const int q = m == 3 ? GrowingLayer(layers, p) : 0;
    s.QuestionParams[HouseNumber] = n;
    s.QuestionParams[LayerP] = p;
    s.QuestionParams[LayerQ] = q;
    s.QuestionParams[Total] = total;

    switch (m) {
    case 0:
        s.ExpectedAnswer = total;
        s.CaptionSubject = QStringLiteral("Totaal ");
        s.QuestionSubject = QStringLiteral("Hoeveel stippen in totaal voor nr. ") + Num(n) + QStringLiteral(" ?");
        break;
    case 1:
        s.ExpectedAnswer = Layer(p).count;
        s.CaptionSubject = QStringLiteral("Aantal stippen ");
        s.QuestionSubject = QStringLiteral("Hoeveel stippen op laag ") + Num(p) + QStringLiteral(" bij huis nr. ") +
                            Num(n) + QStringLiteral(" ?");
        break;
    case 2:
        s.ExpectedAnswer = n;
        s.CaptionSubject = QStringLiteral("Bij nummer ");
        s.QuestionSubject = QStringLiteral("Bij welk nummer staan ") + Num(Layer(p).count) +
                            QStringLiteral(" stippen op laag ") + Num(p) + QStringLiteral(" ?");
        break;
    case 3:
        s.ExpectedAnswer = Layer(q).count;
        s.CaptionSubject = QStringLiteral("Aantal stippen ");
        s.QuestionSubject = QStringLiteral("Hoeveel stippen staan er bij dat nummer in laag ") + Num(q) +
                            QStringLiteral(" ?");
        break;
    default:
        s.ExpectedAnswer = total;
        s.CaptionSubject = QStringLiteral("Totaal ");
        s.QuestionSubject = QStringLiteral("Hoeveel stippen staan er bij dat nummer in totaal ?");
        break;
    }
    DrawStreet(layers, p, q);
    s.PictureDescription = QStringLiteral("Een straat in Stippenland: bij elk huis staat het huisnummer als %1 "
                                          "laagjes stippen boven elkaar.").arg(layers);
}

// "... nummer    " is followed by the house number on a yellow disc and a red "?".
void HouseNumberDisc(int n)
{
    Canvas* t = TextBitmap();
    if (!t || t->width() <= 0)
        return;
    const int after = LastTextEnd;
    DrawLabelledDisc(Num(n), t, col::Black, after * 100.0 / t->width(), 4, col::Yellow);
    t->font.size = BaseFontSize;
    Write(QStringLiteral("?"), col::Red, after + t->textWidth(QStringLiteral(" 12")), 3.5);
}

void Question()
{
    const SessionState& s = Session();
    const int n = s.QuestionParams[HouseNumber], p = s.QuestionParams[LayerP], q = s.QuestionParams[LayerQ];
    const int m = Variant();
    if (m == 0 || m == 1) {
        if (m == 0) {
            WriteAt(QStringLiteral("Hoeveel stippen zijn in"), col::Red, 1);
            WriteAt(QStringLiteral("totaal nodig voor huis"), col::Red, 2.25);
            WriteAt(QStringLiteral("met nummer    "), col::Red, 3.5);
        } else {
            WriteAt(QStringLiteral("Hoeveel stippen staan er"), col::Red, 1);
            WriteAt(QStringLiteral("in het ") + Num(p) + QStringLiteral("e laagje bij het"), col::Red, 2.25);
            WriteAt(QStringLiteral("huis met nummer    "), col::Red, 3.5);
        }
        HouseNumberDisc(n);
        return;
    }
    WriteAt(QStringLiteral("Ergens staan ") + Num(Layer(p).count) + QStringLiteral(" stippen in"), col::Red, 1);
    WriteAt(QStringLiteral("het ") + Num(p) + QStringLiteral("e laagje."), col::Red, 2.25);
    if (m == 2) {
        WriteAt(QStringLiteral("Bij welk nummer is dat ?"), col::Red, 3.5);
        return;
    }
    WriteAt(QStringLiteral("Hoeveel stippen staan er bij"), col::Blue, 3.5);
    WriteAt(m == 3 ? QStringLiteral("dat nummer in laag ") + Num(q) + QStringLiteral(" ?")
                   : QStringLiteral("dat nummer in totaal ?"),
            col::Blue, 4.75);
}

// "Laag j:  a + (N - 1) x d" on Line, "=" and the count right-aligned.
void LayerRule(int j, int n, double line)
{
    const DotLayer& l = Layer(j);
    Write(QStringLiteral("Laag ") + Num(j) + QStringLiteral(":  ") + Num(l.start) + QStringLiteral(" + ") +
              Num(n - 1) + QStringLiteral(" x ") + Num(l.step),
          col::Black, 2 * TextMargin, line);
    Write(QStringLiteral("=         "), col::Black, RightAligned, line);
    Write(Num(l.count), col::Blue, RightAligned, line);
}

}  // namespace

void Theme4()
{
    SessionState& s = Session();
    if (s.Attempt == 0)
        NewItem();
    Question();
    AskWholeNumber(6.5, s.CaptionSubject + QStringLiteral(": "), QStringLiteral("|") + s.QuestionSubject);
}

void Theme4Explanation()
{
    SessionState& s = Session();
    const int n = s.QuestionParams[HouseNumber], p = s.QuestionParams[LayerP], q = s.QuestionParams[LayerQ];
    const int layers = LayerCount(), m = Variant();
    const QString answer = Num(s.ExpectedAnswer);
    s.TextLine += 1.25;
    WriteAt(QStringLiteral("Toelichting:"), col::Blue, s.TextLine);
    s.TextLine += 1;
    const double b = s.TextLine;
    if (m == 0 || m == 1) {
        WriteAt(QStringLiteral("Regelmaat per laag:"), col::Blue, b);
        for (int j = 1; j <= layers; ++j)
            LayerRule(j, n, b + j);
        WriteAt(m == 0 ? QStringLiteral("Totaal: ") + answer
                       : QStringLiteral("Dus op laag ") + Num(p) + QStringLiteral(" staan ") + answer +
                             QStringLiteral(" stippen."),
                col::Red, b + layers + 1);
        return;
    }
    const DotLayer& lp = Layer(p);
    WriteAt(QStringLiteral("Regelmaat voor laag ") + Num(p) + QStringLiteral(":"), col::Blue, b);
    Write(Num(lp.start) + QStringLiteral(" + ") + QStringLiteral("? x ") + Num(lp.step) + QStringLiteral(" = ") +
              Num(lp.count),
          col::Black, 2 * TextMargin, b + 1);
    // The step of layer P is above 0 by construction; a table without it shows no quotient.
    const QString times = lp.step > 0 ? Num((lp.count - lp.start) / lp.step) : QStringLiteral("?");
    Write(QStringLiteral("? = ") + times, col::Black, 2 * TextMargin, b + 2);
    if (m == 2) {
        WriteAt(QStringLiteral("Dus het is huis met nummer ") + answer + QStringLiteral("."), col::Red, b + 3);
    } else if (m == 3) {
        const DotLayer& lq = Layer(q);
        WriteAt(QStringLiteral("Dus het is huis met nummer ") + Num(n) + QStringLiteral("."), col::Blue, b + 3);
        Write(QStringLiteral("Laag ") + Num(q) + QStringLiteral(":  ") + Num(lq.start) + QStringLiteral(" + ") +
                  Num(n - 1) + QStringLiteral(" x ") + Num(lq.step) + QStringLiteral(" = ") + answer,
              col::Black, 2 * TextMargin, b + 4);
        WriteAt(QStringLiteral("Dus op laag ") + Num(q) + QStringLiteral(" staan ") + answer +
                    QStringLiteral(" stippen."),
                col::Red, b + 5);
    } else {
        for (int j = 1; j <= layers; ++j)
            LayerRule(j, n, b + 2 + j);
        WriteAt(QStringLiteral("Totaal: ") + answer, col::Red, b + layers + 3);
    }
}

}  // namespace kav

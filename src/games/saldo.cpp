#include "games/saldo.h"

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "games/gamedraw.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"

namespace kav {

namespace {

constexpr int IntroFirst = 100;
constexpr int IntroClosing = 132;

// The pay factor's "Opnieuw!" texts stand in five columns of five; after 25 re-throws the
// columns start again from the left on a cleared band, so no text runs off the picture.
constexpr int ColumnsOfRethrows = 5;

void TextDie(int pips, bool pupil, double line)
{
    DrawDie(pips, pupil ? col::Yellow : col::Aqua, TextBitmap(), PercentX(pupil ? 5 : 25), line * LineHeight,
            2 * LineHeight);
}

void PictureLine(double line, const QString& text, const QColor& color = col::Black)
{
    DrawTextItem(text, color, false, TextMargin, line, 1, PictureBitmap());
}

void Continued(double line, const QString& text, const QColor& color = col::Black, bool bold = false)
{
    DrawTextItem(text, color, bold, LastTextEnd, line, 1, PictureBitmap());
}

void TextRight(double line, const QString& text, const QColor& color = col::Black)
{
    DrawTextItem(text, color, false, RightAligned, line, 1, TextBitmap());
}

void TextCentred(double line, const QString& text, const QColor& color, bool bold = false, double size = 1)
{
    DrawTextItem(text, color, bold, Centred, line, size, TextBitmap());
}

// The bottom of the bonus/malus boxes: a margin above Doorgaan, which stands just above the
// score panel.
int BoxBottom()
{
    GamePort* g = Game();
    const int continueTop = g ? g->ScorePanelTop() - g->ContinueHeight() - Round(ScreenScale) : 22 * LineHeight;
    return continueTop - TextMargin;
}

void BonusMalusBox(Canvas* c, double line)
{
    const int top = Round((line - 0.5) * LineHeight);
    const int bottom = top + 4 * LineHeight;
    FilledBox(c, PercentX(5), top, PercentX(95), bottom, col::Aqua, Round(2 * ScreenScale));
    DrawTextItem(QStringLiteral("Bonus / Malus regeling:"), col::Purple, false, PercentX(10), line - 0.25, 1, c);
    DrawTextItem(QStringLiteral("Bonus:"), col::Blue, false, PercentX(10), line + 1, 1, c);
    DrawTextItem(QStringLiteral("Malus:"), col::Blue, false, PercentX(10), line + 2, 1, c);
}

void BonusRule(Canvas* c, double line)
{
    DrawTextItem(QStringLiteral("5 goede antwoorden leveren 40 punten op"), col::Red, false, PercentX(25), line + 1, 1,
                 c);
}

void MalusRule(Canvas* c, double line)
{
    DrawTextItem(QStringLiteral("3 foute antwoorden kosten 10 punten"), col::Red, false, PercentX(25), line + 2, 1, c);
}

// In the explanation the box stands below its last line of text rather than over it.
double IntroBoxLine()
{
    return MaxReal(SaldoBoxLine(), 19.75);
}

void Repaint()
{
    if (Context().port)
        Context().port->Repaint();
}

// The explanation's closing: where to start, and START between the example and that line.
void IntroClosingRow(bool animated)
{
    GamePort* g = Game();
    Canvas* t = TextBitmap();
    const double line =
        g ? double(g->StatusBarTop() - TextMargin) / LineHeight - 1 : 24.5;
    DrawTextItem(QStringLiteral("Druk op "), col::Black, false, TextMargin, line, 1, t);
    DrawTextItem(QStringLiteral("START"), col::Blue, true, LastTextEnd, line, 1, t);
    DrawTextItem(QStringLiteral(" om te beginnen."), col::Black, false, LastTextEnd, line, 1, t);
    DrawTextItem(QStringLiteral("Veel succes !"), col::Red, false, Centred, 24.5, 1.5, PictureBitmap());
    if (!g)
        return;
    g->SetWindowHint(QStringLiteral("|Druk op START om te beginnen"));
    const int exampleEnd = Round(18.75 * LineHeight);
    const int closingTop = Round(line * LineHeight);
    g->PlaceStartCentred(Max(exampleEnd, (exampleEnd + closingTop - g->StartButtonHeight()) / 2));
    g->ShowControl(Control::StartButton, true);
    g->EnableControl(Control::StartButton, true);
    g->FocusControl(Control::StartButton);
    if (animated) {
        g->SetSaldoExplained();
        g->EnableKlok(false);
    }
}

// One element of the explanation page.
void IntroElement(int tag, bool animated)
{
    Canvas* t = TextBitmap();
    Canvas* p = PictureBitmap();
    switch (tag) {
    case 100:
        PictureLine(4, QStringLiteral("Bij dit spel moet je proberen met dobbelen een negatief"));
        PictureLine(5, QStringLiteral("saldo "));
        Continued(5, QStringLiteral("(een schuld)"), col::Red);
        Continued(5, QStringLiteral(" weg te werken."));
        break;
    case 101: PictureLine(6.5, QStringLiteral("Jij en je tegenstander gooien met een eigen dobbelsteen.")); break;
    case 102: PictureLine(8, QStringLiteral("Er wordt dan gekeken wie het hoogste heeft gegooid.")); break;
    case 103:
        PictureLine(9.5, QStringLiteral("De uitbetaling is gelijk aan het verschil in aantal ogen."), col::Red);
        break;
    case 104: DrawTextItem(QStringLiteral("Jij:"), col::Red, false, PercentX(6), 0.25, 1, t); break;
    case 105: TextDie(5, true, 1.5); break;
    case 106: DrawTextItem(QStringLiteral("Tegenstander:"), col::Red, false, PercentX(24), 0.25, 1, t); break;
    case 107: TextDie(1, false, 1.5); break;
    case 108: TextRight(2, QStringLiteral("Verschil = 4")); break;
    case 109: TextCentred(3.75, QStringLiteral("Jij verdient 4 punten !"), col::Blue); break;
    case 110: TextDie(1, true, 6); break;
    case 111: TextDie(6, false, 6); break;
    case 112: TextRight(6.5, QStringLiteral("Verschil = 5")); break;
    case 113: TextCentred(8.25, QStringLiteral("Jij verliest 5 punten !"), col::Blue); break;
    case 114:
        PictureLine(10.5, QStringLiteral("Maar: "), col::Blue);
        Continued(10.5, QStringLiteral("als "));
        Continued(10.5, QStringLiteral("het verschil minder dan 3 is, dan wordt er"));
        PictureLine(11.5, QStringLiteral("opnieuw gegooid."));
        break;
    case 115:
        PictureLine(13, QStringLiteral("De betaling wordt dan 2 keer zo groot (of 3 keer, of 4 keer,"));
        PictureLine(14, QStringLiteral("of ....)."));
        break;
    case 116:
        // Continues the line of the step before, which may lie a tick back.
        LastTextEnd = TextMargin + TextItemWidth(p, QStringLiteral("of ....)."), 1, false);
        Continued(14, QStringLiteral(" Dat kan aardig oplopen !"), col::Blue);
        break;
    case 117: TextDie(3, true, 10.5); break;
    case 118: TextDie(4, false, 10.5); break;
    case 119:
        TextRight(10.5, QStringLiteral("Opnieuw"));
        TextRight(11.5, QStringLiteral("(keer 2)  "), col::Red);
        break;
    case 120: TextDie(6, true, 13); break;
    case 121: TextDie(6, false, 13); break;
    case 122:
        TextRight(13, QStringLiteral("Opnieuw"));
        TextRight(14, QStringLiteral("(keer 3)  "), col::Red);
        break;
    case 123: TextDie(5, true, 15.5); break;
    case 124: TextDie(1, false, 15.5); break;
    case 125: TextRight(16, QStringLiteral("Verschil = 4")); break;
    case 126: TextCentred(17.75, QStringLiteral("Jij wint 3 keer 4 = 12 punten !"), col::Blue, true); break;
    case 127:
        PictureLine(15.5, QStringLiteral("Om je startwaarde van -100 punten weg te werken, moet je"));
        PictureLine(16.5, QStringLiteral("steeds de stand "));
        Continued(16.5, QStringLiteral("GOED "), col::Red);
        Continued(16.5, QStringLiteral("doorgeven."));
        break;
    case 128: PictureLine(18, QStringLiteral("Dan profiteer je van de Bonus / Malusregeling.")); break;
    case 129: BonusMalusBox(p, IntroBoxLine()); break;
    case 130: BonusRule(p, IntroBoxLine()); break;
    case 131: MalusRule(p, IntroBoxLine()); break;
    default: IntroClosingRow(animated); break;
    }
}

}  // namespace

SaldoGame& Saldo()
{
    static SaldoGame game;
    return game;
}

int SaldoKlokInterval(int itemCount)
{
    return Max(500, 1000 - 25 * qBound(0, itemCount, 1000));
}

double SaldoBoxLine()
{
    return (BoxBottom() - 3.5 * LineHeight) / LineHeight;
}

void SaldoIntro()
{
    SaldoGame& game = Saldo();
    GamePort* g = Game();
    if (g) {
        g->SetSessionTitle(QStringLiteral(" Saldo Plus ! "));
        for (Control c : {Control::HelpButton, Control::KeuzeBox, Control::CalcButton, Control::InvoerPanel,
                          Control::GebruikPanel, Control::ContinueButton, Control::StartButton, Control::ScorePanel,
                          Control::NivoBox})
            g->ShowControl(c, false);
        g->EnableControl(Control::NivoBox, false);
        g->PlaceHelpButton();
    }
    Session().SessionRunning = false;
    ClearBitmap(TextBitmap(), col::BtnFace);
    ClearBitmap(PictureBitmap(), col::BtnFace);
    FrameBitmap(PictureBitmap(), col::Black);
    TitleBox(3 * LineHeight);
    DrawTextItem(QStringLiteral("SALDO PLUS !   UITLEG"), col::Red, false, Centred, 1, 1.5, PictureBitmap());

    game.KlokTag = IntroFirst;
    game.Running = false;
    game.Ended = false;
    if (!g || g->SaldoExplained()) {
        for (int tag = IntroFirst; tag <= IntroClosing; ++tag)
            IntroElement(tag, false);
        Repaint();
        return;
    }
    g->SetWindowHint(QStringLiteral("|Je krijgt eerst uitleg"));
    g->SetKlokInterval(750);
    g->EnableKlok(true);
}

void SaldoIntroTick()
{
    SaldoGame& game = Saldo();
    IntroElement(game.KlokTag, true);
    Repaint();
    ++game.KlokTag;
}

void SaldoTick()
{
    const SaldoGame& game = Saldo();
    if (game.KlokTag >= IntroFirst)
        SaldoIntroTick();
    else if (game.KlokTag >= 1 && game.KlokTag <= 5 && game.Running)
        SaldoRoundTick();
    else if (Game())
        Game()->EnableKlok(false);  // nothing to animate
}

bool SaldoScoreboard()
{
    SaldoGame& game = Saldo();
    SessionState& s = Session();
    GamePort* g = Game();
    Canvas* p = PictureBitmap();
    Canvas* t = TextBitmap();

    TitleBox(Round(2.5 * LineHeight));
    DrawTextItem(QStringLiteral("SALDO PLUS !"), col::Red, false, Centred, 0.75, 1.5, p);
    if (g)
        g->PlaceContinue(g->ScorePanelTop() - g->ContinueHeight() - Round(ScreenScale));

    const double line = SaldoBoxLine();
    s.TextLine = line;
    BonusMalusBox(p, line);
    BonusRule(p, line);
    MalusRule(p, line);

    SaldoShowBalance();

    const int w = t ? t->width() : 0;
    FilledBox(t, TextMargin, TextMargin, w - TextMargin, Round(2.5 * LineHeight), col::Yellow,
              Round(2 * ScreenScale));
    const QString label = QStringLiteral("Spelnummer: ");
    const QString number = QString::number(s.ItemCount + 1);
    DrawTextItem(label + number, col::Blue, false, Centred, 1, 1, t);
    // The number once more in red over its blue copy.
    const int numberX = LastTextEnd - TextItemWidth(t, number, 1, false);
    DrawTextItem(number, col::Red, false, numberX, 1, 1, t);

    const int top = Round((line - 0.5) * LineHeight);
    FilledBox(t, 4 * TextMargin, top, w - 4 * TextMargin, top + 4 * LineHeight, col::Aqua, Round(2 * ScreenScale));
    // On a wide screen the margin grows faster than the picture: the texts keep clear of the box's edge.
    const int x = Max(PercentX(10), 4 * TextMargin + TextMargin / 2);
    DrawTextItem(QStringLiteral("Stand Bonus / Malus"), col::Purple, false, x, line - 0.25, 1, t);
    DrawTextItem(QStringLiteral("Aantal goed:"), col::Blue, false, x, line + 1, 1, t);
    DrawTextItem(QStringLiteral("Aantal fout:"), col::Blue, false, x, line + 2, 1, t);
    DrawTextItem(QString::number(s.SaldoRight), col::Red, true, PercentX(40), line + 1, 1, t);
    DrawTextItem(QString::number(s.SaldoWrong), col::Red, true, PercentX(40), line + 2, 1, t);

    if (game.Saldo <= 0)
        return false;
    // Won: the celebration, and the session ends.
    game.Running = false;
    game.Ended = true;
    if (g) {
        g->EnableKlok(false);
        Repaint();
        g->ShowCelebration();
    }
    return true;
}

void SaldoStart()
{
    SaldoGame& game = Saldo();
    SessionState& s = Session();
    GamePort* g = Game();
    if (!game.Running) {
        s.SaldoRight = 0;
        s.SaldoWrong = 0;
        game.PayFactor = 1;
        game.Saldo = -100;
        game.Ended = false;
        game.KlokTag = 0;
        if (g) {
            g->SetKlokInterval(1000);
            g->SetInfo(QStringLiteral("Reken uit je hoofd !"), Round(7.5 * ScreenScale));
        }
        SaldoScoreboard();
        Canvas* t = TextBitmap();
        DrawTextItem(QStringLiteral("Je begint met een saldo van"), col::Red, false, Centred, 7, 1, t);
        DrawTextItem(QString::number(game.Saldo) + QStringLiteral(" punten"), col::Blue, true, Centred, 8.5, 1, t);
        DrawTextItem(QStringLiteral("Succes!"), col::Red, true, Centred, 10.5, 1, t);
        game.Running = true;
        s.SessionMode = -1;  // no level in this game: the level button shows the balance only
        DrawTextBox(PictureBitmap(), QStringLiteral("Je begint een"), QStringLiteral("NIEUW SPEL"),
                    QStringLiteral("Druk op start."), Rect(PercentX(20), PercentY(25), PercentX(80), PercentY(50)),
                    col::Red, col::BtnFace, col::Black, Round(2 * ScreenScale), 1.0, 0);
        if (g) {
            g->PlaceContinue(g->ScorePanelTop() - g->ContinueHeight() - Round(ScreenScale));
            g->SetContinueCaption(QStringLiteral("Start"));
            g->ShowControl(Control::ContinueButton, true);
            g->FocusControl(Control::ContinueButton);
        }
        Repaint();
        return;
    }

    if (g) {
        g->ShowControl(Control::ContinueButton, false);
        g->SetKlokInterval(SaldoKlokInterval(s.ItemCount));
    }
    if (SaldoScoreboard())
        return;
    const bool bonus = s.SaldoRight > 0 && s.SaldoRight % 5 == 0;
    const bool malus = s.SaldoWrong > 0 && s.SaldoWrong % 3 == 0;
    // A bonus or malus message stands over this round's screen, not the last one's.
    if (bonus || malus)
        Repaint();
    if (bonus) {
        ShowMessage(QStringLiteral("BONUS-regeling !\r5 goede antwoorden,\rdus 40 punten erbij !"),
                    MessageKind::Information);
        game.Saldo += 40;
        s.SaldoRight = 0;
        if (SaldoScoreboard())
            return;
    }
    if (malus) {
        ShowMessage(QStringLiteral("MALUS-regeling !\r3 foute antwoorden\rdus 10 punten eraf !"),
                    MessageKind::Information);
        game.Saldo -= 10;
        s.SaldoWrong = 0;
        SaldoScoreboard();
    }
    game.PayFactor = 1;
    game.KlokTag = 1;
    Repaint();
    if (g) {
        // Start and Doorgaan are gone while the dice roll: the status bar says what happens.
        g->SetWindowHint(QStringLiteral("|De dobbelstenen rollen ..."));
        g->EnableKlok(true);
    }
}

void SaldoRoundTick()
{
    SaldoGame& game = Saldo();
    Canvas* p = PictureBitmap();
    Canvas* t = TextBitmap();
    if (game.KlokTag == 3) {
        // A re-throw: the payment grows.
        ++game.PayFactor;
        const int k = game.PayFactor;
        const int column = ((k - 2) / 5) % ColumnsOfRethrows;
        if (k > 2 && (k - 2) % (5 * ColumnsOfRethrows) == 0)
            ClearLines(p, 9.95, 15);
        DrawTextItem(QStringLiteral("Opnieuw!"), col::Red, false, PercentX(column * 17 + 5), (k - 2) % 5 + 10, 1, p);
        ClearLines(t, 11.5, 14.5);
        DrawTextItem(QStringLiteral("Betaling"), col::Red, false, Centred, 12, 1, t);
        DrawTextItem(QString::number(k) + QStringLiteral(" keer!"), col::Red, false, Centred, 13, 1, t);
        game.KlokTag = 4;
    }
    if (game.KlokTag == 2) {
        game.OpponentDie = Random(6) + 1;
        DrawDie(game.OpponentDie, col::Aqua, p, PercentX(55), 4.25 * LineHeight, 5 * LineHeight);
        DrawTextItem(QStringLiteral("Tegenstander gooit:"), col::Blue, false, PercentX(55), 2.75, 1, p);
        if (std::abs(game.PlayerDie - game.OpponentDie) >= 3) {
            if (Game())
                Game()->EnableKlok(false);
            SaldoAskBalance();
        } else {
            game.KlokTag = 3;
        }
    }
    if (game.KlokTag == 1) {
        game.PlayerDie = Random(6) + 1;
        DrawDie(game.PlayerDie, col::Yellow, p, PercentX(25), 4.25 * LineHeight, 5 * LineHeight);
        game.KlokTag = 2;
        DrawTextItem(QStringLiteral("Jij gooit:"), col::Red, false, PercentX(25), 2.75, 1, p);
    }
    if (game.KlokTag == 5) {
        ClearLines(p, 2.6, 9.9);  // the dice go, and the texts above them
        game.KlokTag = 1;
    }
    if (game.KlokTag == 4)
        game.KlokTag = 5;
    Repaint();
}

void SaldoAskBalance()
{
    SaldoGame& game = Saldo();
    SessionState& s = Session();
    game.Saldo += (game.PlayerDie - game.OpponentDie) * game.PayFactor;
    s.ExpectedAnswer = game.Saldo;
    s.Attempt = 0;
    AskNewBalance();
}

void SaldoShowBalance()
{
    SaldoGame& game = Saldo();
    game.Shown = game.Saldo;
    if (GamePort* g = Game())
        g->SetLevelGlyph(QStringLiteral("SALDO"), QString::number(game.Shown));
}

void SaldoNext()
{
    SaldoGame& game = Saldo();
    ClearBitmap(TextBitmap(), col::BtnFace);
    ClearBitmap(PictureBitmap(), col::BtnFace);
    FrameBitmap(PictureBitmap(), col::Black);
    if (!game.Running && Context().port) {
        Context().port->SetFace(QStringLiteral("smile"));
        if (GamePort* g = Game()) {
            g->ShowControl(Control::ScorePanel, true);
            g->ShowControl(Control::StartButton, false);
        }
    }
    SaldoStart();
}

}  // namespace kav

#include "games/bookkeeper.h"

#include <QVector>
#include <utility>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "games/gamedraw.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"

namespace kav {

namespace {

BookkeeperGame::Grid& GridOf(BookkeeperGame& game, NoteSide side)
{
    return side == Credit ? game.CreditNotes : game.DebitNotes;
}

void Repaint()
{
    if (Context().port)
        Context().port->Repaint();
}

int TextWidthPx()
{
    return TextBitmap() ? TextBitmap()->width() : 0;
}

int TextPercentX(double p)
{
    return Round(p * 0.01 * TextWidthPx());
}

// The amount as the big sign-and-number text of a step: "+30", or " -30".
QString StepAmount(int amount)
{
    return (amount > 0 ? QStringLiteral("+") : QStringLiteral(" ")) + QString::number(amount);
}

void StepTitle(const QString& title, double pictureLine)
{
    DrawTextItem(title, col::Red, true, Centred, 0.75, 1.5, TextBitmap());
    DrawTextItem(title, col::Red, true, Centred, pictureLine, 1.5, PictureBitmap());
}

// A box's top a quarter line below row 2 keeps it clear of the big title above it.
constexpr double BoxTopUnderTitle = 2.25;

// The yellow boxes with the amount, in the picture from Top (pixels) to Bottom, in the text
// area on rows 2 to 4.5.
void StepBoxes(int amount, int pictureTop, int pictureBottom, double pictureLine)
{
    const int pen = Round(ScreenScale);
    FilledBox(PictureBitmap(), PercentX(44), pictureTop, PercentX(56), pictureBottom, col::Yellow, pen);
    FilledBox(TextBitmap(), TextPercentX(40), Round(BoxTopUnderTitle * LineHeight), TextPercentX(60),
              Round(4.5 * LineHeight), col::Yellow, pen);
    DrawTextItem(StepAmount(amount), col::Red, false, Centred, 2.5, 1.5, TextBitmap());
    DrawTextItem(StepAmount(amount), col::Red, false, Centred, pictureLine, 1.5, PictureBitmap());
}

void SetStepParams(int amount, int row, int column, int change)
{
    std::array<int, 32>& q = Session().QuestionParams;
    q[0] = amount;
    q[1] = row;
    q[2] = column;
    q[3] = change;
}

QString Cut(const QString& s)
{
    return s.left(20);
}

void DrawTrays()
{
    Canvas* p = PictureBitmap();
    for (double left : {5.0, 65.0}) {
        const double right = left + 30;
        for (double y = 20; y <= 70; y += 10)
            DrawLinePercent(p, col::Black, left, y, right, y, 2);
        for (double x = left; x <= right; x += 10)
            DrawLinePercent(p, col::Black, x, 20, x, 70, 2);
    }
}

void DrawRankLadder()
{
    const SessionState& s = Session();
    GamePort* g = Game();
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const int w = t->width();
    // From 45 % of the height down to a margin above Doorgaan (which stands on the score panel).
    const int top = PercentY(45);
    const int bottom = g ? g->ScorePanelTop() - g->ContinueHeight() - TextMargin : PercentY(80);
    const double rungGap = double(Max(bottom - top, 23)) / TopRank;
    const int x1 = Round(0.80 * w), x2 = Round(0.95 * w);
    const int pen = Round(2 * ScreenScale);
    for (int i = 0; i < TopRank; ++i) {
        const int rank = TopRank - i;
        const int y = Round(top + (i + 0.5) * rungGap);
        const bool mine = rank == s.Rank;
        t->setPen(mine ? col::Red : col::Black, pen);
        t->line(x1, y, x2, y);
        if (mine)
            DrawArrow(t, col::Red, 0.74 * w, y, 0.79 * w, y, 2);
    }
    t->setPen(col::Black, pen);
    const int railBottom = top + Round(TopRank * rungGap);
    t->line(x1, top, x1, railBottom);
    t->line(x2, top, x2, railBottom);
    // Two lines with their descenders ("jongste knecht") clear of the border: a little smaller
    // than the status bar's font, smaller still where a long rank would leave the box, and the
    // box grown upwards when the font's steps need it.
    const QString title = QStringLiteral("Huidige rang:"), name = RankName(s.Rank);
    const int boxLeft = TextMargin, boxRight = Round(0.74 * w);
    const int gap = Max(5, Round(0.25 * LineHeight));
    t->font.size = Max(1, Round(StatusFontSize * 0.9));
    t->font.bold = false;
    while (t->font.size > 1 && Max(t->textWidth(title), t->textWidth(name)) > boxRight - boxLeft - 2 * gap)
        --t->font.size;
    const int textHeight = t->textHeight(title + name);
    const int block = Round(0.9 * textHeight) + textHeight;  // as the box writes its two lines
    const int boxBottom = Round(railBottom + 0.3 * LineHeight);
    const int boxTop = Min(Round(railBottom - 2.1 * LineHeight), boxBottom - block - 2 * gap);
    DrawTextBox2(t, title, name, Rect(boxLeft, boxTop, boxRight, boxBottom), col::Blue, col::Yellow, col::Black, 1,
                 double(t->font.size) / Max(1, StatusFontSize));
}

void DrawRankPicture()
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const Picture pic = LoadPicture(Library::Boekhoud, RankPictureName(Session().Rank));
    if (pic.isNull() || pic.height() <= 0)
        return;
    const int h = 8 * LineHeight;
    const int w = Round(double(h) * pic.width() / pic.height());
    const int cx = Round(0.40 * t->width());
    t->stretchDraw(cx - w / 2, 11 * LineHeight, cx - w / 2 + w, 11 * LineHeight + h, pic);
}

void AskBalance()
{
    SessionState& s = Session();
    BookkeeperGame& game = Bookkeeper();
    s.ExpectedAnswer = game.Balance();
    game.AskedAtItem = s.ItemCount;
    AskNewBalance();
}

void PlaceNote(NoteSide side, int k, int index)
{
    BookkeeperGame& game = Bookkeeper();
    const int amount = (side == Credit ? 1 : -1) * k * game.NoteStep;
    GridOf(game, side)[size_t(index / NoteColumns)][size_t(index % NoteColumns)] = amount;
    ++game.NoteValueCount[side][size_t(k)];
    (side == Credit ? game.CreditTotal : game.DebitTotal) += amount;
    DrawNote(side, index / NoteColumns, index % NoteColumns, false);
}

void NewGame()
{
    BookkeeperGame& game = Bookkeeper();
    SessionState& s = Session();
    GamePort* g = Game();
    const int level = Level();
    game = BookkeeperGame();
    game.NoteStep = NoteStepFor(level);
    game.GameLevel = level;
    SetStepParams(0, 0, 0, 0);  // no note changed yet

    game.CreditCount = Random(6) + 3;
    for (int i = 0; i < game.CreditCount; ++i)
        PlaceNote(Credit, Random(9) + 1, i);
    game.DebitCount = Random(6) + 3;
    for (int i = 0; i < game.DebitCount; ++i)
        PlaceNote(Debit, Random(9) + 1, i);

    if (g)
        g->SetInfo(QStringLiteral("Reken uit je hoofd !"), Round(7.5 * ScreenScale));
    DrawTrays();
    DrawLedger();

    Canvas* t = TextBitmap();
    const double m = TextMargin;
    DrawTextItem(QStringLiteral("Controleer eerst de boekhouding"), col::Blue, false, m, 1, 1, t);
    DrawTextItem(QStringLiteral("die je voorganger heeft achter-"), col::Blue, false, m, 2, 1, t);
    DrawTextItem(QStringLiteral("gelaten."), col::Blue, false, m, 3, 1, t);
    DrawTextItem(QStringLiteral("Er zijn op dit moment: "), col::Blue, false, m, 5, 1, t);
    DrawTextItem(QString::number(game.CreditCount + game.DebitCount) + QStringLiteral(" bonnen"), col::Red, false,
                 LastTextEnd, 5, 1, t);
    DrawTextItem(QStringLiteral("."), col::Blue, false, LastTextEnd, 5, 1, t);
    DrawTextItem(QStringLiteral("Je begint onderaan de carrière-"), col::Blue, false, m, 7, 1, t);
    DrawTextItem(QStringLiteral("ladder."), col::Blue, false, m, 8, 1, t);
    DrawTextItem(QStringLiteral(" Op naar de top!"), col::Red, false, LastTextEnd, 8, 1, t);
    DrawTextItem(QStringLiteral("Succes!"), col::Red, false, m, 9.5, 1, t);

    game.Running = true;
    s.Attempt = 0;
    if (g) {
        g->PlaceContinue(g->ScorePanelTop() - g->ContinueHeight() - 1);
        g->ShowControl(Control::ContinueButton, true);
        g->FocusControl(Control::ContinueButton);
    }
    Repaint();
}

}  // namespace

BookkeeperGame& Bookkeeper()
{
    static BookkeeperGame game;
    return game;
}

int NoteStepFor(int level)
{
    return level == 2 ? 6 : level == 3 ? 9 : 10;
}

QString RankName(int rank)
{
    static const char* const names[TopRank] = {
        "tweede hulp",        "eerste hulp", "hulp",        "jongste knecht", "knecht",
        "bediende III",       "bediende II", "bediende I",  "assistent in opleiding",
        "assistent op proef", "assistent",   "chef",        "chef met *",     "chef met **",
        "chef met ***",       "groepschef",  "opperchef",   "bedrijfsleider", "regioleider",
        "directie-assistent", "directielid", "assistent directeur", "directeur"};
    return QString::fromUtf8(names[qBound(1, rank, TopRank) - 1]);
}

QString RankPictureName(int rank)
{
    if (rank <= 5)
        return QStringLiteral("hulp");
    if (rank <= 8)
        return QStringLiteral("bediende");
    if (rank <= 11)
        return QStringLiteral("assistent");
    if (rank <= 17)
        return QStringLiteral("chef");
    if (rank <= 22)
        return QStringLiteral("bedrijfsleider");
    return QStringLiteral("directeur");
}

void DrawNote(NoteSide side, int row, int column, bool highlighted)
{
    Canvas* p = PictureBitmap();
    if (!p || row < 0 || row >= NoteRows || column < 0 || column >= NoteColumns)
        return;
    const int amount = GridOf(Bookkeeper(), side)[size_t(row)][size_t(column)];
    const QColor fill = highlighted ? col::Yellow : col::BtnFace;
    const QColor ink = highlighted ? col::Red : col::Black;
    const double shift = side == Credit ? -60 : 0;
    DrawTextItem(QString(), ink, false, 0, 0, 1.0, p);  // the note's font
    p->setPen(col::BtnFace, 1);
    p->setBrush(fill);
    p->rectangle(PercentX(65.5 + shift + 10 * column), PercentY(60.5 - 10 * row), PercentX(74.5 + shift + 10 * column),
                 PercentY(69.5 - 10 * row));
    // An empty cell shows nothing on either side.
    if (amount == 0)
        return;
    const QString text = side == Credit ? QStringLiteral("+") + QString::number(amount) : QString::number(amount);
    p->textOut(PercentX(70 + shift + 10 * column) - p->textWidth(text) / 2, PercentY(65 - 10 * row) - LineHeight / 2,
               text);
}

void DrawLedger()
{
    const BookkeeperGame& game = Bookkeeper();
    Canvas* p = PictureBitmap();
    const int balance = game.Balance();
    const QColor fill = balance < 0 ? col::Red : balance == 0 ? col::Yellow : col::Green;
    DrawTextBox(p, QStringLiteral("Saldo"), QStringLiteral("is"),
                (balance > 0 ? QStringLiteral("+") : QString()) + QString::number(balance),
                Rect(PercentX(40), PercentY(30), PercentX(60), PercentY(60)), balance > 0 ? col::White : col::Black,
                fill, col::Black, 2, 1.0, 0);

    const double titleLine = double(PercentY(20)) / LineHeight - 1.5;
    DrawTextCentredOn(QStringLiteral("TEGOEDBONNEN"), col::Green, false, PercentX(20), titleLine, 1, p);
    DrawTextCentredOn(QStringLiteral("SCHULDBONNEN"), col::Red, false, PercentX(80), titleLine, 1, p);
    const double below = double(PercentY(70)) / LineHeight + 0.25;
    DrawTextCentredOn(Cut(QString::number(game.CreditCount) + QStringLiteral(" tegoedbonnen,")), col::Green, false,
                      PercentX(20), below, 1, p);
    DrawTextCentredOn(Cut(QStringLiteral("totaal +") + QString::number(game.CreditTotal)), col::Green, false,
                      PercentX(20), below + 1, 1, p);
    DrawTextCentredOn(Cut(QString::number(game.DebitCount) + QStringLiteral(" schuldbonnen,")), col::Red, false,
                      PercentX(80), below, 1, p);
    DrawTextCentredOn(Cut(QStringLiteral("totaal ") + QString::number(game.DebitTotal)), col::Red, false,
                      PercentX(80), below + 1, 1, p);

    ClearLines(TextBitmap(), 15, 30);
    DrawRankPicture();
    DrawRankLadder();
}

bool NextStepAdds()
{
    const BookkeeperGame& game = Bookkeeper();
    const int notes = game.CreditCount + game.DebitCount;
    if (notes < 6 || Session().ItemCount < 3 || game.CreditCount == 0 || game.DebitCount == 0)
        return true;
    if (notes >= 21 || game.CreditCount >= NotesPerSide || game.DebitCount >= NotesPerSide)
        return false;
    return Random(2) == 0;
}

void AddNote()
{
    BookkeeperGame& game = Bookkeeper();
    StepTitle(QStringLiteral("ERBIJ"), 0.75);
    // Either side with equal chance; a full side gives its turn to the other.
    const int k = Random(9) + 1;
    NoteSide side = Random(2) == 0 ? Debit : Credit;
    if (side == Credit && game.CreditCount >= NotesPerSide)
        side = Debit;
    else if (side == Debit && game.DebitCount >= NotesPerSide)
        side = Credit;
    const int amount = (side == Credit ? 1 : -1) * k * game.NoteStep;
    if (side == Credit) {
        ++game.CreditCount;
        game.CreditTotal += amount;
    } else {
        ++game.DebitCount;
        game.DebitTotal += amount;
    }
    ++game.NoteValueCount[side][size_t(k)];
    StepBoxes(amount, Round(BoxTopUnderTitle * LineHeight), Round(4.5 * LineHeight), 2.5);

    BookkeeperGame::Grid& grid = GridOf(game, side);
    for (int row = 0; row < NoteRows; ++row)
        for (int column = 0; column < NoteColumns; ++column)
            if (grid[size_t(row)][size_t(column)] == 0) {
                grid[size_t(row)][size_t(column)] = amount;
                DrawNote(side, row, column, true);
                SetStepParams(amount, row, column, 1);
                Session().ExpectedAnswer = game.Balance();
                return;
            }
    Session().ExpectedAnswer = game.Balance();
}

void RemoveNote()
{
    BookkeeperGame& game = Bookkeeper();
    StepTitle(QStringLiteral("WEG"), 21);
    // Any note that lies in a tray, each amount of each side equally likely.
    QVector<std::pair<NoteSide, int>> choices;
    for (NoteSide side : {Debit, Credit})
        for (int k = 1; k <= 9; ++k)
            if (game.NoteValueCount[side][size_t(k)] > 0)
                choices.append({side, k});
    if (choices.isEmpty()) {
        Session().ExpectedAnswer = game.Balance();
        return;
    }
    const auto [side, k] = choices[Random(int(choices.size()))];
    const int amount = (side == Credit ? 1 : -1) * k * game.NoteStep;
    if (side == Credit) {
        --game.CreditCount;
        game.CreditTotal -= amount;
    } else {
        --game.DebitCount;
        game.DebitTotal -= amount;
    }
    --game.NoteValueCount[side][size_t(k)];
    StepBoxes(amount, Round(22.5 * LineHeight), 25 * LineHeight, 23);

    BookkeeperGame::Grid& grid = GridOf(game, side);
    for (int row = 0; row < NoteRows; ++row)
        for (int column = 0; column < NoteColumns; ++column)
            if (grid[size_t(row)][size_t(column)] == amount) {
                DrawNote(side, row, column, true);
                grid[size_t(row)][size_t(column)] = 0;
                SetStepParams(amount, row, column, -1);
                Session().ExpectedAnswer = game.Balance();
                return;
            }
    Session().ExpectedAnswer = game.Balance();
}

void BookkeeperIntro()
{
    GamePort* g = Game();
    if (g) {
        g->SetSessionTitle(QStringLiteral(" Boekhoudersspel "));
        for (Control c : {Control::KeuzeBox, Control::CalcButton, Control::InvoerPanel, Control::GebruikPanel,
                          Control::ContinueButton})
            g->ShowControl(c, false);
        // The help button opens the bookkeeper's lesson, before and during the game.
        for (Control c : {Control::HelpButton, Control::StartButton, Control::ScorePanel, Control::NivoBox})
            g->ShowControl(c, true);
        g->EnableControl(Control::NivoBox, true);
        g->PlaceHelpButton();
        g->PlaceStartBesideLevels();
    }
    Session().SessionRunning = false;
    Canvas* p = PictureBitmap();
    Canvas* t = TextBitmap();
    ClearBitmap(t, col::BtnFace);
    ClearBitmap(p, col::BtnFace);
    FrameBitmap(p, col::Black);

    TitleBox(3 * LineHeight);
    DrawTextItem(QStringLiteral("BOEKHOUDERSSPEL   UITLEG"), col::Red, false, Centred, 1, 1.5, p);
    const double m = TextMargin;
    auto line = [&](double l, const QString& text, const QColor& c = col::Black) {
        DrawTextItem(text, c, false, m, l, 1, p);
    };
    auto more = [&](double l, const QString& text, const QColor& c = col::Black) {
        DrawTextItem(text, c, false, LastTextEnd, l, 1, p);
    };
    line(4, QStringLiteral("Bij dit spel speel jij voor de boekhouder van een bedrijf."));
    line(5.5, QStringLiteral("Het bedrijf heeft te maken met "));
    more(5.5, QStringLiteral("tegoed- en schuldbonnen"), col::Blue);
    more(5.5, QStringLiteral("."));
    line(7, QStringLiteral("Jij moet telkens het "));
    more(7, QStringLiteral("saldo"), col::Blue);
    more(7, QStringLiteral(" berekenen."));
    line(8.5, QStringLiteral("Voor elk goed antwoord krijg je een punt."));
    line(10, QStringLiteral("Bovendien maak je dan "));
    more(10, QStringLiteral("'promotie'"), col::Red);
    more(10, QStringLiteral(", dat wil zeggen, je krijgt"));
    line(11.5, QStringLiteral("een hogere baan, een hogere rang."));
    line(13, QStringLiteral("Probeer de allerhoogste rang te bereiken!"), col::Blue);
    line(14.5, QStringLiteral("Je bent dan 'directeur' !"), col::Red);
    line(16.5, QStringLiteral("Bij een fout antwoord ga je in rang terug:"));
    line(17.5, QStringLiteral("     - bij niveau \"Starter\" één rang terug"));
    line(18.5, QStringLiteral("     - bij niveau \"Durver\" twee rangen terug"));
    line(19.5, QStringLiteral("     - bij niveau \"Prof!\" drie rangen terug."));
    DrawTextItem(QStringLiteral("Veel succes !"), col::Red, false, Centred, 23, 1.5, p);

    DrawTextItem(QStringLiteral("Kies het juiste "), col::Black, false, m, 0.5, 1, t);
    DrawTextItem(QStringLiteral("niveau"), col::Blue, false, LastTextEnd, 0.5, 1, t);
    DrawTextItem(QStringLiteral(" en"), col::Black, false, LastTextEnd, 0.5, 1, t);
    DrawTextItem(QStringLiteral("druk daarna op "), col::Black, false, m, 1.75, 1, t);
    DrawTextItem(QStringLiteral("START"), col::Blue, true, LastTextEnd, 1.75, 1, t);
    DrawTextItem(QStringLiteral("om te beginnen."), col::Black, false, m, 3, 1, t);
    if (g)
        g->SetWindowHint(QStringLiteral("|Kies het niveau en druk daarna op START"));
    if (t) {
        const Picture kassa = LoadPicture(Library::Boekhoud, QStringLiteral("kassa"));
        const int left = TextPercentX(15), right = TextPercentX(85);
        if (!kassa.isNull() && kassa.width() > 0) {
            const int h = Round(double(right - left) * kassa.height() / kassa.width());
            t->stretchDraw(left, 5 * LineHeight, right, 5 * LineHeight + h, kassa);
        }
        t->setPen(col::Red, Round(2 * ScreenScale));
        t->setBrush(col::Yellow);
        t->rectangle(TextPercentX(5), Round(15.1 * LineHeight), TextPercentX(95), 18 * LineHeight);
    }
    DrawTextItem(QStringLiteral("Jij mag géén telmachine"), col::Red, false, Centred, 15.5, 1, t);
    DrawTextItem(QStringLiteral("gebruiken! Hoofdrekenen!"), col::Red, false, Centred, 16.5, 1, t);

    Bookkeeper().Running = false;
    if (g) {
        g->EnableControl(Control::StartButton, true);
        g->ApplyLevel(-1);
        g->FocusControl(Control::NivoBox);
    }
    Repaint();
}

void BookkeeperStart()
{
    BookkeeperGame& game = Bookkeeper();
    if (!game.Running) {
        NewGame();
        return;
    }
    DrawLedger();
    if (GamePort* g = Game())
        g->ShowControl(Control::ContinueButton, false);
    if (NextStepAdds())
        AddNote();
    else
        RemoveNote();
    // The ledger shows the notes before the change; the pupil works out the new balance.
    Repaint();
    AskBalance();
}

void BookkeeperNext()
{
    BookkeeperGame& game = Bookkeeper();
    GamePort* g = Game();
    ClearBitmap(TextBitmap(), col::BtnFace);
    ClearLines(PictureBitmap(), 0, double(PercentY(19)) / LineHeight);
    ClearLines(PictureBitmap(), double(PercentY(70.5)) / LineHeight, double(PercentY(100)) / LineHeight);
    // A new level means a new game at that level's amounts.
    if (game.Running && game.GameLevel != Level())
        game.Running = false;
    if (game.Running) {
        const std::array<int, 32>& q = Session().QuestionParams;
        if (q[0] != 0)
            DrawNote(q[0] >= 1 ? Credit : Debit, q[1], q[2], false);
    } else {
        ClearBitmap(PictureBitmap(), col::BtnFace);
        FrameBitmap(PictureBitmap(), col::Black);
        if (g) {
            if (!Session().SessionRunning)
                g->ApplyLevel(0);
            g->ShowControl(Control::NivoBox, true);
            g->ShowControl(Control::ScorePanel, true);
            g->ShowControl(Control::KeuzeBox, false);
            g->ShowControl(Control::NivoBox, false);
            g->ShowControl(Control::StartButton, false);
        }
        if (Context().port)
            Context().port->SetFace(QStringLiteral("smile"));
    }
    BookkeeperStart();
}

void BookkeeperResume()
{
    BookkeeperGame& game = Bookkeeper();
    if (!game.Running) {
        BookkeeperNext();
        return;
    }
    Repaint();
    if (game.AskedAtItem == Session().ItemCount) {
        AskNewBalance();  // still open
    } else if (Context().port) {
        Context().port->ShowContinue();
    }
}

}  // namespace kav

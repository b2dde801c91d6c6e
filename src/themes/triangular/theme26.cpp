// Themes 26 and 27: the sum of a constant-difference sequence, written out in full (26) or
// with its middle left out (27).
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

namespace {

// Writes Text after the previous text on the picture's current line (Session().TextLine).
// A full line continues on the next one, indented; a text that would run off the picture
// goes to the next line before it is written.
void WriteTerm(const QString& text, const QColor& color)
{
    SessionState& s = Session();
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    pic->font.size = BaseFontSize;
    pic->font.bold = false;
    if (LastTextEnd + pic->textWidth(text) > pic->width() - TextMargin) {
        LastTextEnd = 3 * TextMargin;
        s.TextLine += 1.5;
    }
    DrawTextItem(text, color, false, LastTextEnd, s.TextLine, 1, pic);
    if (LastTextEnd >= PercentX(80)) {
        LastTextEnd = 3 * TextMargin;
        s.TextLine += 1.5;
    }
}

// The question on the picture, on line 8.5 (lower when the terms took more lines), split
// over two lines where the picture is too narrow for it.
void WriteQuestion()
{
    const SessionState& s = Session();
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const double line = MaxReal(8.5, s.TextLine + 1.5);
    const QString question = QStringLiteral("Hoe groot is de som van deze constant-verschil-rij ?");
    pic->font.size = BaseFontSize;
    pic->font.bold = false;
    const int room = pic->width() - 2 * TextMargin;
    if (pic->textWidth(question) <= room) {
        DrawTextItem(question, col::Blue, false, TextMargin, line, 1, pic);
        return;
    }
    int split = int(question.lastIndexOf(u' '));
    while (split > 0 && pic->textWidth(question.left(split)) > room)
        split = int(question.lastIndexOf(u' ', split - 1));
    if (split <= 0)
        split = int(question.indexOf(u' '));
    DrawTextItem(question.left(split), col::Blue, false, TextMargin, line, 1, pic);
    DrawTextItem(question.mid(split + 1), col::Blue, false, TextMargin, line + 1.25, 1, pic);
}

}  // namespace

// QuestionParams[0..3] keep the first term a, the difference d, the number of terms n and
// the first plus the last term 2a + (n - 1)d. ThemeMemory[26] keeps a, ThemeMemory[27]
// keeps a + 20d (a is at most 14 and d at most 13 there).
void Theme26and27()
{
    SessionState& s = Session();
    const int level = ThemeLevel();
    if (s.Attempt == 0) {
        int a = 0, d = 0, n = 0;
        s.TextLine = 3.5;
        LastTextEnd = TextMargin;
        if (s.ThemeCode == 27) {
            n = Random(level + 1) * 10 + 10 + Random(4 * level);
            const int memory = s.ThemeMemory[27];
            const int previousA = memory >= 0 ? memory % 20 : -1;
            const int previousD = memory >= 0 ? memory / 20 : -1;
            do {
                a = Random(14) + 1;
            } while (a == previousA);
            do {
                d = Random(4 * level + 1) + 1;
            } while (d == previousD);
            s.ThemeMemory[27] = a + 20 * d;
            WriteTerm(QString::number(a), col::Blue);
            for (int k = 1; k <= 3; ++k)
                WriteTerm(QStringLiteral(" + ") + QString::number(a + k * d), col::Blue);
            WriteTerm(QStringLiteral(" + . . . "), col::Blue);
            for (int k = n - 3; k <= n - 1; ++k)
                WriteTerm(QStringLiteral(" + ") + QString::number(a + k * d), col::Blue);
        } else {
            do {
                n = level + 3 + Random(level + 6);
                do {
                    a = Random(20) + 10;
                } while (a == s.ThemeMemory[26]);
                do {
                    d = Random(20) - 6;
                } while (d < -3 || d > 10 || d == 0 || (level == 1 && d < 0));
            } while (a + (n - 1) * d < 0);
            s.ThemeMemory[26] = a;
            WriteTerm(QString::number(a), col::Blue);
            for (int k = 1; k < n; ++k)
                WriteTerm(QStringLiteral(" + ") + QString::number(a + k * d), col::Blue);
        }
        DrawTextItem(QStringLiteral(" = ?"), col::Red, false, LastTextEnd, s.TextLine, 1, PictureBitmap());
        WriteQuestion();
        s.PictureDescription = s.ThemeCode == 27
                                   ? QStringLiteral("Een som van getallen met een constant verschil, met de eerste "
                                                    "en de laatste termen uitgeschreven en het midden weggelaten, "
                                                    "gevolgd door = ?.")
                                   : QStringLiteral("Een som van getallen met een constant verschil, alle termen "
                                                    "uitgeschreven, gevolgd door = ?.");
        s.QuestionParams[0] = a;
        s.QuestionParams[1] = d;
        s.QuestionParams[2] = n;
        s.QuestionParams[3] = 2 * a + (n - 1) * d;
        s.ExpectedAnswer = n * (2 * a + (n - 1) * d) / 2;
    }
    QuestionLine(1, QStringLiteral("Zie hiernaast."), col::Black);
    QuestionLine(2.5, QStringLiteral("Hoe groot is de som van"), col::Blue);
    QuestionLine(3.5, QStringLiteral("deze constant-verschil-rij ?"), col::Blue);
    AskWholeNumber(5.5, QStringLiteral("som: "), QStringLiteral("| Hoe groot is de som van de rij ?"));
}

}  // namespace kav

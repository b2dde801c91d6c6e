#include "session/engine.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <utility>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"

namespace kav {

namespace {
ExplanationHandler explanationHandler;
}

const QStringList& PraiseWords()
{
    static const QStringList words = {
        QStringLiteral("Ok !"),         QStringLiteral("Prima !"),   QStringLiteral("Goed !"),
        QStringLiteral("Juist !"),      QStringLiteral("Geweldig !"), QStringLiteral("Knap hoor !"),
        QStringLiteral("Fantastisch !"), QStringLiteral("Bravo !"),   QStringLiteral("Uitmuntend !")};
    return words;
}

void ResetSession(int level)
{
    SessionState& s = Session();
    s.ItemCount = 0;
    s.Points = 0;
    s.Rank = 1;
    s.SessionRunning = true;
    s.ThemeMemory.fill(-1);
    s.ThemeItemCount.fill(0);
    s.LastTheme = 0;
    s.ThemeBeforeLast = 0;
    s.Attempt = 0;
    s.Private = SessionState::ThemePrivate();
    s.LevelAtStart = level;
    s.ThemeCode = 0;
}

void StartItemSeries(int level, bool practice, std::optional<std::uint32_t> seed)
{
    SessionState& s = Session();
    ClearSessionFlags();
    s.PracticeMode = practice;
    s.SessionMode = 20;
    s.LevelIndex = level - 1;
    ResetSession(Level());
    if (seed)
        SeedRandom(*seed);
    else
        Randomize();
}

void StartCodedTest(const TestCodeSettings& settings)
{
    SessionState& s = Session();
    ClearSessionFlags();
    s.SessionMode = settings.sessionMode;
    s.TickedThemes = settings.sessionMode < 0 ? 0u : settings.themes;
    s.TickedCount = 0;
    for (int box = 1; box <= 8; ++box)
        s.TickedCount += (s.TickedThemes >> (box - 1)) & 1u;
    s.LevelIndex = qBound(0, settings.level - 1, 2);
    // The code wins over any other seed: every pupil gets the same items.
    SeedRandom(TestSeed(settings));
    ResetSession(Level());
}

void CountItemAsAnswered()
{
    SessionState& s = Session();
    ++s.ItemCount;
    if (s.ThemeCode >= 1 && s.ThemeCode <= 30)
        ++s.ThemeItemCount[size_t(s.ThemeCode)];
    s.Attempt = 0;
}

int ChooseNext()
{
    SessionState& s = Session();
    int n = qMax(s.ThemeCode - s.SessionMode, 0);
    auto ticked = [&](int box) { return box >= 1 && box <= 8 && (s.TickedThemes & (1u << (box - 1))); };
    if (s.PracticeMode) {
        if (s.TickedThemes == 0)
            return 0;
        do {
            n = n + 1 > 10 ? 1 : n + 1;
        } while (!ticked(n));
    } else if (s.SessionMode < 0) {
        do {
            n = Random(30) + 1;
        } while (n == s.LastTheme || n == s.ThemeBeforeLast);
    } else {
        // A test needs three ticked themes for its no-repeat rule; with fewer (never through
        // the choice screen) the rule is relaxed rather than looping for ever.
        int count = 0;
        for (int box = 1; box <= 8; ++box)
            count += ticked(box) ? 1 : 0;
        if (count == 0)
            return 0;
        do {
            n = Random(10) + 1;
        } while (!ticked(n) || (count > 2 && (n == s.LastTheme || n == s.ThemeBeforeLast)) ||
                 (count == 2 && n == s.LastTheme));
    }
    s.ThemeBeforeLast = s.LastTheme;
    s.LastTheme = n;
    return n;
}

int ThemeCodeFor(int n)
{
    const int mode = Session().SessionMode;
    return mode > 0 ? n + mode : n;
}

QString CleanAnswer(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QChar(0x2212), u'-');
    return t;
}

std::optional<int> ParseWhole(const QString& typed)
{
    const QString text = CleanAnswer(typed);
    if (text.isEmpty())
        return std::nullopt;
    int i = 0;
    if (text[0] == u'+' || text[0] == u'-')
        i = 1;
    if (i >= text.size())
        return std::nullopt;
    for (int k = i; k < text.size(); ++k)
        if (text[k] < u'0' || text[k] > u'9')
            return std::nullopt;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(v);
}

QString RewriteSeparator(const QString& text, QChar separator)
{
    QString t = text;
    if (separator == u'.') {
        const int i = int(t.indexOf(u','));
        if (i >= 0)
            t[i] = u'.';
    } else if (separator == u',') {
        const int i = int(t.indexOf(u'.'));
        if (i >= 0)
            t[i] = u',';
    }
    return t;
}

std::optional<double> ParseDecimal(const QString& typed, QChar separator)
{
    const QString text = CleanAnswer(typed);
    int i = 0;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-'))
        i = 1;
    int digits = 0, seps = 0;
    QString plain = text.left(i);
    for (int k = i; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c >= u'0' && c <= u'9') {
            ++digits;
            plain += c;
        } else if (c == separator && seps == 0) {
            ++seps;
            plain += u'.';
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 30)
        return std::nullopt;
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString WholeNumberError()
{
    return QStringLiteral("Foutieve invoer !\rGeef een geheel getal in !");
}

QString DecimalNumberError(QChar separator)
{
    return QStringLiteral("Foutieve invoer !\rGeef een getal in !\rGebruik eventueel de ") +
           (separator == u'.' ? QStringLiteral("punt") : QStringLiteral("komma")) +
           QStringLiteral(" als decimaal scheidingsteken !");
}

QString ScoreText(int points, int items)
{
    auto three = [](int v) { return (QStringLiteral("000") + QString::number(v)).right(3); };
    return three(points) + QStringLiteral(" uit ") + three(items);
}

QString FormatDecimal(double value, int decimals, QChar separator)
{
    QString t = QString::number(value, 'f', qBound(0, decimals, 15));
    if (separator != u'.')
        t.replace(u'.', separator);
    return t;
}

QString ExpectedAnswerText(const SessionState& s, QChar separator)
{
    return s.AnswerKind == 2 ? FormatDecimal(s.ExpectedDecimal, s.AnswerDecimals, separator)
                             : QString::number(s.ExpectedAnswer);
}

ExplanationHandler SetExplanationHandler(ExplanationHandler handler)
{
    return std::exchange(explanationHandler, std::move(handler));
}

void Judge(const QString& fieldText)
{
    SessionState& s = Session();
    Canvas* t = TextBitmap();
    AnswerPort* port = Context().port;
    const double margin = TextMargin;

    DrawTextItem(QStringLiteral("Ingegeven: "), col::Black, false, margin, s.TextLine, 1, t);
    bool right = false;
    if (s.AnswerKind == 1)
        right = std::abs(double(s.ExpectedAnswer) - double(s.GivenAnswer)) <= s.AnswerTolerance;
    else if (s.AnswerKind == 2)
        right = std::fabs(s.ExpectedDecimal - s.GivenDecimal) <= s.DecimalTolerance;
    DrawTextItem(Trim(fieldText) + s.AnswerSuffix, col::Black, false, LastTextEnd, s.TextLine, 1, t);
    if (s.ThemeCode == 3)
        ClearLines(t, 15.5, 26);
    s.TextLine += 2;
    const bool final = right || s.Attempt == s.MaxAttempts;

    if (!final) {
        s.Attempt = 2;
        DrawTextItem(QStringLiteral("Jammer! Tweede poging!"), col::Black, false, margin, s.TextLine, 1, t);
        if (port)
            port->SetFace(QStringLiteral("sad"));
    } else {
        ++s.ItemCount;
        const bool game = s.BookkeeperMode || s.SaldoMode;
        if (!game && s.ThemeCode >= 1 && s.ThemeCode <= 30)
            ++s.ThemeItemCount[size_t(s.ThemeCode)];
        int points = 0;
        if (right) {
            DrawTextItem(PraiseWords()[s.ItemCount % 9], col::Red, false, margin, s.TextLine, 1, t);
            if (port)
                port->SetFace(QStringLiteral("smile"));
            if (s.AnswerKind == 1 && s.GivenAnswer != s.ExpectedAnswer)
                DrawTextItem(QStringLiteral(" (Precies: ") + QString::number(s.ExpectedAnswer) + s.AnswerSuffix +
                                 QStringLiteral(")"),
                             col::Black, false, LastTextEnd, s.TextLine, 1, t);
            points = game ? 1 : Level() * (2 / qMax(s.Attempt, 1));
            s.TextLine += 1.75;
            if (s.SaldoMode) {
                ++s.SaldoRight;
            } else {
                DrawTextItem(points == 1 ? QStringLiteral("1 punt erbij.")
                                         : QString::number(points) + QStringLiteral(" punten erbij."),
                             col::Blue, false, margin, s.TextLine, 1, t);
                if (s.BookkeeperMode && s.Rank < 23) {
                    DrawTextItem(QStringLiteral(" Promotie !"), col::Red, false, LastTextEnd, s.TextLine, 1, t);
                    ++s.Rank;
                }
            }
        } else {
            DrawTextItem(QStringLiteral("Jammer !"), col::Black, false, margin, s.TextLine, 1, t);
            if (port)
                port->SetFace(QStringLiteral("sad"));
            s.TextLine += 1.25;
            if (s.AnswersHidden && !game) {
                // A class test: the neighbours have the same item, so the answer stays unsaid.
                DrawTextItem(QStringLiteral("Fout."), col::Black, false, margin, s.TextLine, 1, t);
            } else {
                DrawTextItem(QStringLiteral("Het juiste antwoord was: "), col::Black, false, margin, s.TextLine, 1, t);
                if (!s.AnswerSuffix.isEmpty()) {
                    s.TextLine += 1.25;
                    LastTextEnd = TextMargin;
                }
            }
            if (s.ThemeCode < 1)
                s.Attempt = 0;
            if ((s.Attempt != 0 && !s.AnswersHidden) || game) {
                DrawTextItem(ExpectedAnswerText(s, DecimalSeparator) + s.AnswerSuffix, col::Red, false, LastTextEnd, s.TextLine, 1, t);
            }
            if (s.BookkeeperMode) {
                const int loss = Level() < s.Rank ? Level() : s.Rank - 1;
                if (loss > 0) {
                    DrawTextItem(QStringLiteral("Degradatie: ") + QString::number(loss) + QStringLiteral(" rang") +
                                     (loss == 1 ? QStringLiteral(".") : QStringLiteral("en.")),
                                 col::Red, false, margin, s.TextLine + 1, 1, t);
                    s.Rank = qMax(1, s.Rank - loss);
                }
            }
            if (s.SaldoMode)
                ++s.SaldoWrong;
        }
        if (explanationHandler) {
            const int code = s.ThemeCode;
            if (code == 2)
                explanationHandler(code, right);
            else if (s.PracticeMode && code == 11)
                explanationHandler(code, right);
            else if (s.PracticeMode && !right &&
                     ((code >= 1 && code <= 7) || (code >= 12 && code <= 17) || (code >= 21 && code <= 28)))
                explanationHandler(code, right);
        }
        s.Points = qMax(s.Points + points, 0);
        if (port)
            port->SetScore(ScoreText(s.Points, s.ItemCount));
        s.Attempt = 0;
    }
    if (port) {
        port->Repaint();
        port->ShowContinue();
    }
}

}  // namespace kav

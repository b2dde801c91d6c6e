// The session engine: the start of a session, the choice of the next theme, reading the
// typed answer and judging it. Everything here works on the session state and the
// activity context, so it runs the same in the window, in the item dump and in tests.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "session/session.h"
#include "session/testcode.h"

namespace kav {

// A new session at START: counters, score, theme memory and the themes' own values reset.
void ResetSession(int level);
// A run of items without a window, as the item dump makes them: one topic's state at the
// level, in practice or as a test, seeded with the seed when given (else as the session
// window seeds).
void StartItemSeries(int level, bool practice, std::optional<std::uint32_t> seed);
// A test with a class code's settings as a pupil starts it with that code: its topic, ticked
// themes and level, the code's seed, then START's reset.
void StartCodedTest(const TestCodeSettings& settings);
// After an item answered right at once: the counts move on as the judge moves them, so the
// next item is new.
void CountItemAsAnswered();

// The check-box number (or, in the mixed challenge, the theme code) of the next item, by the
// mode's rule: practice cycles through the ticked boxes in order, a test draws a ticked box
// that was not among the last two, the mixed challenge draws any of the 30 codes that was not
// among the last two. Also moves LastTheme and ThemeBeforeLast on.
int ChooseNext();
// The ThemeCode of a scheduled number in the current mode.
int ThemeCodeFor(int n);

// Answer reading. Blanks before and after an answer are no part of it, and the typographic
// minus sign (U+2212) is a minus; both parsers read the cleaned text.
QString CleanAnswer(const QString& text);
// A whole number: optional sign and digits, 32-bit range, nothing else.
std::optional<int> ParseWhole(const QString& text);
// The first "," becomes "." when the separator is ".", and the first "." becomes "," when
// the separator is ",".
QString RewriteSeparator(const QString& text, QChar separator);
// A decimal number with the given separator as decimal mark (digits on at least one side).
std::optional<double> ParseDecimal(const QString& text, QChar separator);
QString WholeNumberError();
QString DecimalNumberError(QChar separator);

// The score label: points and finished items, three digits each ("012 uit 005").
QString ScoreText(int points, int items);
// A decimal value in fixed notation with the user's separator.
QString FormatDecimal(double value, int decimals, QChar separator);
// The current item's right answer as the program writes it: a whole number plainly ("-" for a
// negative one, no thousands separators), a decimal one with its decimals and the separator.
QString ExpectedAnswerText(const SessionState& s, QChar separator);

// Judges the typed answer (the field's text) and writes the outcome under the question.
// The worked explanation of a theme is reached through the handler (theme code, right).
using ExplanationHandler = std::function<void(int themeCode, bool right)>;
// Gives the handler set before.
ExplanationHandler SetExplanationHandler(ExplanationHandler handler);
void Judge(const QString& fieldText);

}  // namespace kav

namespace kav {
// The praise words after a right answer, in their order.
const QStringList& PraiseWords();
}  // namespace kav

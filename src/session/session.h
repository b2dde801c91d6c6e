// The session state: one set of values for the program's life, owned by the session
// engine and shared with the themes, the games and the viewer. A session resets its contents.
#pragma once
#include <QString>
#include <array>

class QLocale;

namespace kav {

struct SessionState {
    // Flags set by the main menu.
    bool PracticeMode = false;
    bool DemoMode = false;
    bool BookkeeperMode = false;
    bool SaldoMode = false;
    bool SessionRunning = false;
    // A test with a class code: the pupil's neighbours have the same items, so nothing shows
    // the right answer (the session window sets it; the item dump never does).
    bool AnswersHidden = false;

    int SessionMode = 0;  // the session window's Tag: 0, 10, 20, 30, -10, 40, 1 or 0
    int ThemeCode = -1;
    int Attempt = 0;
    int MaxAttempts = 2;
    int Points = 0;
    int ItemCount = 0;
    int LastTheme = 0;
    int ThemeBeforeLast = 0;
    unsigned TickedThemes = 0;  // bit n - 1 for check box n
    int TickedCount = 0;
    int LevelAtStart = 0;
    int Rank = 1;
    std::array<int, 31> ThemeMemory{};     // 1..30
    std::array<int, 31> ThemeItemCount{};  // 1..30
    std::array<int, 32> QuestionParams{};

    int AnswerKind = 1;  // 1 whole number, 2 decimal
    int ExpectedAnswer = 0;
    int GivenAnswer = 0;
    int AnswerTolerance = 0;
    double ExpectedDecimal = 0;
    double GivenDecimal = 0;
    double DecimalTolerance = 0;
    int AnswerDecimals = 0;
    QString AnswerSuffix;
    double TextLine = 0;

    // Values some themes keep from item to item; START resets them.
    struct ThemePrivate {
        int theme6 = 0, theme7 = 0, theme11 = 0, theme13 = 0, theme14 = 0;
        std::array<int, 4> theme15{0, 0, 0, 1};
        std::array<int, 3> theme16{};
        std::array<int, 2> theme17{0, 1};
        double theme12 = 0;
    } Private;

    // What the item's picture shows, in a sentence a screen reader reads; never the answer.
    QString PictureDescription;
    QString QuestionSubject;
    QString CaptionSubject;

    int LevelIndex = 0;  // the level box's index: 0 "Starter", 1 "Durver", 2 "Prof !"

    int SaldoRight = 0;
    int SaldoWrong = 0;
};

SessionState& Session();

// The level: 3 in the mixed challenge, otherwise the level box's index + 1.
int Level();

// The user's decimal separator, read once at start-up from the system's locale; "," by
// default and when the system gives no language. Questions, explanations, typed answers and
// the calculator all use it.
extern QChar DecimalSeparator;
void ReadDecimalSeparator();
// The separator a locale gives: "," or "." (a locale without a language gives ",").
QChar SeparatorOfLocale(const QLocale& locale);

// The session flags cleared, as the main menu does before every session.
void ClearSessionFlags();

}  // namespace kav

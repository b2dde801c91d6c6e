#include "session/session.h"

#include <QLocale>

namespace kav {

SessionState& Session()
{
    static SessionState state;
    return state;
}

int Level()
{
    const SessionState& s = Session();
    return s.SessionMode < 0 ? 3 : s.LevelIndex + 1;
}

QChar DecimalSeparator = u',';

QChar SeparatorOfLocale(const QLocale& locale)
{
    // A system without a language (C, C.UTF-8, POSIX, no LANG) says nothing about the pupil:
    // the program's own comma, as in the Dutch classroom.
    if (locale.language() == QLocale::C)
        return u',';
    const QString point = locale.decimalPoint();
    return point == QStringLiteral(".") ? QChar(u'.') : QChar(u',');
}

void ReadDecimalSeparator()
{
    DecimalSeparator = SeparatorOfLocale(QLocale::system());
}

void ClearSessionFlags()
{
    SessionState& s = Session();
    s.DemoMode = s.PracticeMode = s.SaldoMode = s.BookkeeperMode = s.SessionRunning = s.AnswersHidden = false;
}

}  // namespace kav

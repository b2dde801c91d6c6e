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

void ReadDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    DecimalSeparator = point.size() == 1 && (point[0] == u'.' || point[0] == u',') ? point[0] : QChar(u',');
}

void ClearSessionFlags()
{
    SessionState& s = Session();
    s.DemoMode = s.PracticeMode = s.SaldoMode = s.BookkeeperMode = s.SessionRunning = false;
}

}  // namespace kav

// The class overview at the size of a school: its opening time with the store full, beside the
// goal; and a class of thirty to look at the overview by eye.
#pragma once
#include <QString>
#include <QVector>

#include "results/result.h"

namespace bench {

// Thirty pupils who made the same coded test of 20 items, each answering in their own way:
// a few stopped, one opened it without answering, one made it twice.
QVector<kav::SessionResult> ClassOfThirty(const QString& code);
// The code the class made.
QString ClassCode();
// Adds the class to the store at path and prints how long the overview of its code takes to
// open: reading the sessions, the figures and the window made.
void ClassOverviewFigures(const QString& path);
// Adds the class to the user's own store (for a look at the overview); 0 when that worked.
int StoreClass();

}  // namespace bench

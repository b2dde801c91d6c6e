// The results file's layout: the statements that bring a file of version n - 1 to version n,
// for n from 1 to ResultStore::SchemaVersion.
#pragma once
#include <QStringList>

namespace kav {

const QStringList& SchemaStep(int version);

}  // namespace kav

// What the results keep of an item and what keeping it costs the session: the store's growth
// per item over many sessions, the final judgement's time to the repaint, and a session's
// memory over its items.
#pragma once
#include <QString>

namespace bench {

// Plays `sessions` sessions of `items` items at 1024 x 768 as a pupil named `name` into the store
// at `path`, each item kept to be drawn again; false when one could not be stored.
bool PlayIntoStore(const QString& path, const QString& name, int sessions, int items);

// Plays `sessions` sessions of `items` items each at three screen sizes into a new store, and
// one practice session of `memoryItems` items; prints the figures beside their goals. Needs a
// QApplication.
void ResultFigures(int sessions, int items, int memoryItems);

}  // namespace bench

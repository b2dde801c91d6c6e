// What a screen reader reads of the drawn areas: their texts in reading order, the picture's
// description, and what newly appears on them, said once when it appears.
#pragma once
#include <QAccessible>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>

#include "draw/canvas.h"

namespace kav {

class PaintBox;

// Makes drawn areas known to the accessibility layer. Cheap: Qt builds the interfaces (and
// its bridge to the screen reader) only when one is asked for. Called again, it does nothing.
void InstallAccessibility();

// Reports a widget's focus to a screen reader again, as the last focus change it hears.
void ReportFocus(QWidget* w);

// What the program itself reports goes to the screen reader, and, while none listens, to the
// observer when one is set: Qt hands its events on only while a screen reader is active,
// which a window without a desktop (a test) never has.
using AccessibilityObserver = std::function<void(QAccessibleEvent*)>;
void SetAccessibilityObserver(AccessibilityObserver observer);

// Says what is new on drawn areas: the texts written since the area was last said that are
// still to be seen.
class Announcer {
public:
    // What the area shows now counts as said, without saying it.
    void markSaid(const PaintBox* area);
    // Says the texts written since the area was last said, as a text inserted into the area,
    // and gives them in reading order (nothing when there is nothing new).
    QStringList announce(PaintBox* area);

private:
    QStringList unsaid(const PaintBox* area) const;
    std::map<const PaintBox*, std::pair<const Canvas*, int>> said_;  // the canvas, its last text said
};

}  // namespace kav

#include "windows/accessibility.h"

#include <QAccessibleWidget>

#include "draw/reading.h"
#include "windows/mainform.h"
#include "windows/testform.h"

namespace kav {

namespace {

// A drawn area as a screen reader sees it: static text (the picture area: a picture with a
// description) whose text is what the canvas says, line by line in reading order.
class AreaAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AreaAccessible(PaintBox* box) : QAccessibleWidget(box) {}

    QAccessible::Role role() const override
    {
        return static_cast<const PaintBox*>(widget())->description ? QAccessible::Graphic : QAccessible::StaticText;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Description: {
            const auto* box = static_cast<const PaintBox*>(widget());
            return box->description ? box->description() : QString();
        }
        case QAccessible::Value:
            return all();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    // The text interface: read only, no selection, the caret at the start.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return all().mid(start, end - start); }
    int characterCount() const override { return int(all().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = 0;
        *end = qMax(offset, characterCount());
        return QString();
    }

private:
    QString all() const
    {
        const auto* box = static_cast<const PaintBox*>(widget());
        return box->source() ? ReadingText(box->source()->textLog()) : QString();
    }
};

QAccessibleInterface* AreaFactory(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<PaintBox*>(object))
        return new AreaAccessible(box);
    // The main menu is a window to a screen reader, and the bar at its foot a tool bar whose
    // buttons it reads (as a plain panel they were left unsaid).
    if (auto* menu = qobject_cast<TKavrin2MainForm*>(object))
        return new QAccessibleWidget(menu, QAccessible::Window);
    if (auto* panel = qobject_cast<TPanel*>(object);
        panel && panel->objectName() == QLatin1String("StatusBalk") && qobject_cast<TKavrin2MainForm*>(panel->parent()))
        return new QAccessibleWidget(panel, QAccessible::ToolBar, QStringLiteral("Knoppen"));
    return nullptr;
}

AccessibilityObserver& Observer()
{
    static AccessibilityObserver observer;
    return observer;
}

void Report(QAccessibleEvent& event)
{
    if (!QAccessible::isActive() && Observer())
        Observer()(&event);
    else
        QAccessible::updateAccessibility(&event);
}

}  // namespace

void SetAccessibilityObserver(AccessibilityObserver observer)
{
    Observer() = std::move(observer);
}

void InstallAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&AreaFactory);
}

void ReportFocus(QWidget* w)
{
    if (!w || !w->hasFocus())
        return;
    QAccessibleEvent event(w, QAccessible::Focus);
    Report(event);
}

QStringList Announcer::unsaid(const PaintBox* area) const
{
    const Canvas* canvas = area->source();
    if (!canvas)
        return {};
    const QVector<TextLogEntry>& log = canvas->textLog();
    const auto found = said_.find(area);
    const int saidUpTo = found != said_.end() && found->second.first == canvas ? found->second.second : 0;
    int from = 0;
    while (from < log.size() && log[from].serial <= saidUpTo)
        ++from;
    return ReadingLinesFrom(log, from);
}

void Announcer::markSaid(const PaintBox* area)
{
    said_[area] = {area->source(), area->source() ? area->source()->lastSerial() : 0};
}

QStringList Announcer::announce(PaintBox* area)
{
    const QStringList lines = unsaid(area);
    markSaid(area);
    if (lines.isEmpty())
        return lines;
    const QString text = lines.join(u'\n');
    const QString all = area->source() ? ReadingText(area->source()->textLog()) : QString();
    const qsizetype at = all.indexOf(lines.first());
    QAccessibleTextInsertEvent event(area, int(at >= 0 ? at : all.size()), text);
    Report(event);
    return lines;
}

}  // namespace kav

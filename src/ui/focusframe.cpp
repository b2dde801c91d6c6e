// The keyboard focus on the program's buttons: a dark blue frame inside the button's edge.
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "ui/ui.h"

namespace kav {

namespace {

class FocusStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        // Drawn last, so that a button's picture cannot hide it.
        if (element == CE_PushButton && (option->state & State_HasFocus) && painter)
            DrawFocusFrame(*painter, option->rect);
        // Check boxes and radio buttons show the focus the same way, round box and caption.
        if ((element == CE_CheckBox || element == CE_RadioButton) && (option->state & State_HasFocus) && painter)
            DrawFocusFrame(*painter, option->rect.adjusted(-2, -2, 2, 2));
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // A text field with the focus: the frame inside its edge, under the text.
        if (element == PE_PanelLineEdit && (option->state & State_HasFocus) && painter)
            DrawFocusFrame(*painter, option->rect);
    }
};

}  // namespace

QStyle* FocusFrameStyle(QStyle* base)
{
    return new FocusStyle(base);
}

int FocusFrameWidth()
{
    return qMax(2, Round(2 * ControlScale(AvailableScreenSize())));
}

QColor FocusFrameColour()
{
    return col::Navy;
}

void DrawFocusFrame(QPainter& p, const QRect& button)
{
    // Inside the button's raised edge, never wider than a small button allows.
    const QRect r = button.adjusted(2, 2, -2, -2);
    const int w = qMin(FocusFrameWidth(), qMin(r.width(), r.height()) / 4);
    if (w < 1)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor c = FocusFrameColour();
    p.fillRect(QRect(r.left(), r.top(), r.width(), w), c);
    p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), c);
    p.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), c);
    p.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), c);
    p.restore();
}

}  // namespace kav

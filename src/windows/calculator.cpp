#include "windows/calculator.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QPalette>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/session.h"
#include "ui/ui.h"

namespace kav {

// ---- the arithmetic -------------------------------------------------------------

namespace {

constexpr int MaxDigits = 12;      // digits a pupil can type into one number
constexpr double TooLarge = 1e15;  // results from here on do not fit the display

QString Symbol(QChar op)
{
    switch (op.unicode()) {
    case u'+': return QStringLiteral("+");
    case u'-': return QStringLiteral("\u2212");
    case u'*': return QStringLiteral("\u00d7");
    default: return QStringLiteral("\u00f7");
    }
}

// The four operations under one name each, whichever sign a key or a keyboard gives.
QChar Operation(QChar op)
{
    switch (op.unicode()) {
    case u'+': return u'+';
    case u'-':
    case 0x2212: return u'-';
    case u'*':
    case u'x':
    case u'X':
    case 0x00d7: return u'*';
    case u'/':
    case u':':
    case 0x00f7: return u'/';
    default: return QChar();
    }
}

double RoundSignificant(double v, int digits)
{
    return v == 0 ? 0 : QString::number(v, 'g', digits).toDouble();
}

}  // namespace

QString CalcEngine::Format(double v, QChar separator)
{
    if (!std::isfinite(v) || std::fabs(v) >= TooLarge)
        return QString();
    if (v == 0)
        return QStringLiteral("0");
    const int exponent = int(std::floor(std::log10(std::fabs(v))));
    QString t = QString::number(v, 'f', std::clamp(9 - exponent, 0, 12));
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    if (t == QStringLiteral("-0"))
        t = QStringLiteral("0");
    t.replace(u'.', separator);
    return t;
}

std::optional<double> CalcEngine::Calculate(double a, QChar op, double b)
{
    double r = 0;
    switch (op.unicode()) {
    case u'+': r = a + b; break;
    case u'-': r = a - b; break;
    case u'*': r = a * b; break;
    default:
        if (b == 0)
            return std::nullopt;
        r = a / b;
    }
    if (!std::isfinite(r) || std::fabs(r) >= TooLarge)
        return std::nullopt;
    // Decimal fractions have no exact binary form: a result is kept to fifteen digits, so that
    // 0,1 + 0,2 is 0,3 and 0,1 + 0,2 - 0,3 is 0.
    return RoundSignificant(r, 15);
}

QString CalcEngine::shown(double v) const
{
    const QString t = Format(v, u'.');
    return v < 0 ? QStringLiteral("(") + t + QStringLiteral(")") : t;
}

void CalcEngine::startEntry()
{
    if (error_ || afterEquals_)
        clear();
    if (!typing_) {
        entry_ = QStringLiteral("0");
        typing_ = true;
        operand_ = true;
    }
}

void CalcEngine::fail(QChar op, double b)
{
    error_ = true;
    failure_ = op == u'/' && b == 0 ? Failure::DivisionByZero : Failure::TooLarge;
    entry_ = QStringLiteral("0");
    accumulator_ = 0;
    op_ = QChar();
    typing_ = operand_ = afterEquals_ = false;
}

bool CalcEngine::digit(int d)
{
    refused_ = false;
    if (d < 0 || d > 9)
        return false;
    startEntry();
    const qsizetype digits = std::count_if(entry_.cbegin(), entry_.cend(), [](QChar c) { return c.isDigit(); });
    const QChar c = QChar(u'0' + d);
    if (entry_ == QStringLiteral("0"))
        entry_ = c;
    else if (entry_ == QStringLiteral("-0"))
        entry_ = QStringLiteral("-") + c;
    else if (digits < MaxDigits)
        entry_ += c;
    else
        refused_ = true;
    return !refused_;
}

void CalcEngine::point()
{
    refused_ = false;
    startEntry();
    if (!entry_.contains(u'.'))
        entry_ += u'.';
}

void CalcEngine::operation(QChar op)
{
    refused_ = false;
    op = Operation(op);
    if (op.isNull())
        return;
    if (error_)
        clear();
    if (!op_.isNull() && operand_) {
        const double b = entryValue();
        const auto r = Calculate(accumulator_, op_, b);
        if (!r) {
            expression_ = shown(accumulator_) + u' ' + Symbol(op_) + u' ' + shown(b);
            fail(op_, b);
            return;
        }
        accumulator_ = *r;
    } else if (op_.isNull()) {
        accumulator_ = entryValue();
    }
    op_ = op;
    entry_ = Format(accumulator_, u'.');
    typing_ = operand_ = afterEquals_ = false;
    expression_ = shown(accumulator_) + u' ' + Symbol(op);
}

void CalcEngine::equals()
{
    refused_ = false;
    if (error_) {
        clear();
        return;
    }
    if (op_.isNull()) {
        accumulator_ = entryValue();
        expression_ = shown(accumulator_) + QStringLiteral(" =");
    } else {
        // "5 + =" adds the number to itself, as pocket calculators do.
        const double b = operand_ ? entryValue() : accumulator_;
        expression_ = shown(accumulator_) + u' ' + Symbol(op_) + u' ' + shown(b) + QStringLiteral(" =");
        const auto r = Calculate(accumulator_, op_, b);
        if (!r) {
            fail(op_, b);
            return;
        }
        accumulator_ = *r;
    }
    entry_ = Format(accumulator_, u'.');
    op_ = QChar();
    typing_ = operand_ = false;
    afterEquals_ = true;
}

void CalcEngine::clear()
{
    entry_ = QStringLiteral("0");
    accumulator_ = 0;
    op_ = QChar();
    typing_ = operand_ = afterEquals_ = error_ = refused_ = false;
    failure_ = Failure::None;
    expression_.clear();
}

void CalcEngine::back()
{
    refused_ = false;
    if (error_) {
        clear();
        return;
    }
    if (!typing_)
        return;  // a result is not typed: it is not taken apart
    entry_.chop(1);
    if (entry_.isEmpty() || entry_ == QStringLiteral("-"))
        entry_ = QStringLiteral("0");
}

void CalcEngine::changeSign()
{
    refused_ = false;
    if (error_) {
        clear();
        return;
    }
    if (typing_) {
        if (entry_.startsWith(u'-'))
            entry_.remove(0, 1);
        else if (entry_ != QStringLiteral("0"))
            entry_.prepend(u'-');
        return;
    }
    // A result or the first number of an operation, turned round: it becomes the number in hand.
    const double v = -entryValue();
    entry_ = Format(v, u'.');
    if (afterEquals_) {
        accumulator_ = v;
        expression_.clear();
    } else if (!op_.isNull()) {
        operand_ = true;
    }
}

QString CalcEngine::expression() const
{
    if (refused_)
        return QStringLiteral("Niet meer dan %1 cijfers").arg(MaxDigits);
    QString t = expression_;
    return t.replace(u'.', separator_).replace(u'-', QChar(0x2212));
}

QString CalcEngine::display() const
{
    if (error_)
        return failure_ == Failure::TooLarge ? QStringLiteral("Te groot") : QStringLiteral("Fout");
    QString t = entry_;
    return t.replace(u'.', separator_).replace(u'-', QChar(0x2212));
}

// ---- the window -------------------------------------------------------------------

namespace {

// The calculator in the 640 x 480 design, scaled like every window: keys of 38 x 30 with
// gaps of 4, under a display of two lines.
constexpr int Margin = 6, KeyW = 38, KeyH = 30, Gap = 4;
constexpr int DisplayH = 54;
constexpr int KeysTop = Margin + DisplayH + Margin;
constexpr int DesignW = Margin + 4 * KeyW + 3 * Gap + Margin;
constexpr int DesignH = KeysTop + 5 * KeyH + 4 * Gap + Margin;
constexpr int ExpressionPoints = 10, DisplayPoints = 18, KeyPoints = 14;

const QString Back = QStringLiteral("\u2190");
const QString Sign = QStringLiteral("\u00b1");

}  // namespace

Calculator::Calculator(QWidget* owner, QWidget* besides) : QWidget(owner, Qt::Tool), owner_(owner), besides_(besides)
{
    setObjectName(QStringLiteral("Calculator"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Rekenmachine"));
    setFocusPolicy(Qt::StrongFocus);
    SetDesignFont(this, KeyPoints);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("CalcDisplay"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    Place(panel, Margin, Margin, DesignW - 2 * Margin, DisplayH);
    panel_ = panel;
    panel->setAccessibleName(QStringLiteral("Uitkomst"));
    expressionLabel_ = new QLabel(panel);
    expressionLabel_->setObjectName(QStringLiteral("CalcExpression"));
    expressionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette grey = expressionLabel_->palette();
    grey.setColor(QPalette::WindowText, col::Gray);
    expressionLabel_->setPalette(grey);
    SetDesignFont(expressionLabel_, ExpressionPoints);
    Place(expressionLabel_, 4, 2, DesignW - 2 * Margin - 8, 16);
    displayLabel_ = new QLabel(panel);
    displayLabel_->setObjectName(QStringLiteral("CalcResult"));
    displayLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetDesignFont(displayLabel_, DisplayPoints, true);
    Place(displayLabel_, 4, 18, DesignW - 2 * Margin - 8, 32);

    // Five rows of four keys; "0" is two keys wide.
    struct Key {
        QString caption;
        int row, column, span;
    };
    const Key layout[] = {
        {QStringLiteral("C"), 0, 0, 1},      {Back, 0, 1, 1},                      {Sign, 0, 2, 1},
        {QStringLiteral("\u00f7"), 0, 3, 1}, {QStringLiteral("7"), 1, 0, 1},       {QStringLiteral("8"), 1, 1, 1},
        {QStringLiteral("9"), 1, 2, 1},      {QStringLiteral("\u00d7"), 1, 3, 1},  {QStringLiteral("4"), 2, 0, 1},
        {QStringLiteral("5"), 2, 1, 1},      {QStringLiteral("6"), 2, 2, 1},       {QStringLiteral("\u2212"), 2, 3, 1},
        {QStringLiteral("1"), 3, 0, 1},      {QStringLiteral("2"), 3, 1, 1},       {QStringLiteral("3"), 3, 2, 1},
        {QStringLiteral("+"), 3, 3, 1},      {QStringLiteral("0"), 4, 0, 2},       {QStringLiteral(","), 4, 2, 1},
        {QStringLiteral("="), 4, 3, 1},
    };
    for (const Key& k : layout) {
        auto* b = new QPushButton(k.caption, this);
        b->setObjectName(QStringLiteral("CalcKey%1%2").arg(k.row).arg(k.column));
        b->setAutoDefault(false);
        // The keys are pressed with the mouse; the keyboard reaches them with Tab.
        b->setFocusPolicy(Qt::TabFocus);
        SetDesignFont(b, KeyPoints, true);
        Place(b, Margin + k.column * (KeyW + Gap), KeysTop + k.row * (KeyH + Gap), k.span * KeyW + (k.span - 1) * Gap, KeyH);
        QColor ink;
        if (k.caption == QStringLiteral("C")) {
            ink = col::Red;
            SetHint(b, QStringLiteral("Wissen|Wist de hele som (Esc)"));
        } else if (k.caption == QStringLiteral("=")) {
            ink = col::Blue;
        } else if (k.caption == Back) {
            SetHint(b, QStringLiteral("Terug|Wist het laatste cijfer (Backspace)"));
        } else if (k.caption == Sign) {
            SetHint(b, QStringLiteral("Plus of min|Maakt het getal negatief of weer positief"));
        }
        if (ink.isValid()) {
            QPalette pal = b->palette();
            pal.setColor(QPalette::ButtonText, ink);
            b->setPalette(pal);
        }
        if (k.row == 4 && k.column == 2)
            pointKey_ = b;
        // The operation keys are named in words, as a screen reader should say them.
        static const QHash<QString, QString> spoken{
            {QStringLiteral("\u00f7"), QStringLiteral("gedeeld door")}, {QStringLiteral("\u00d7"), QStringLiteral("keer")},
            {QStringLiteral("\u2212"), QStringLiteral("min")},          {QStringLiteral("+"), QStringLiteral("plus")},
            {QStringLiteral("="), QStringLiteral("is")},                 {QStringLiteral("C"), QStringLiteral("Wissen")},
            {Back, QStringLiteral("Terug")},                            {Sign, QStringLiteral("Plus of min")}};
        if (spoken.contains(k.caption))
            b->setAccessibleName(spoken.value(k.caption));
        connect(b, &QPushButton::clicked, this, [this, b]() { pressKey(b->text()); });
        keys_.append(b);
    }
    SetHint(this, QStringLiteral("|Reken met de muis of met het toetsenbord; Esc wist alles"));
    owner_->installEventFilter(this);
    // The keyboard goes to the calculator itself, not to its first key.
    setFocus();
    layoutForScreen();
}

QPushButton* Calculator::key(const QString& caption) const
{
    for (QPushButton* b : keys_)
        if (b->text() == caption)
            return b;
    return nullptr;
}

double CalculatorScale(QSize screen)
{
    // A pocket calculator beside the question, not a second window: it grows with the screen,
    // more slowly than the windows, so that it finds a place clear of the question's texts.
    return qMax(0.8, 0.625 * ControlScale(screen));
}

void Calculator::layoutForScreen()
{
    const double f = CalculatorScale(AvailableScreenSize());
    if (f == scale_)
        return;
    scale_ = f;
    ScaleControls(this, f);
    setFixedSize(Round(DesignW * f), Round(DesignH * f));
    refresh();
}

void Calculator::fitText(QLabel* label, int designPoints, bool bold)
{
    // A long number is written smaller rather than cut off.
    QFont font = label->font();
    font.setBold(bold);
    int pixels = qMax(1, PointsToPixels(Round(designPoints * scale_)));
    font.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
        font.setPixelSize(--pixels);
    label->setFont(font);
}

void Calculator::refresh()
{
    engine_.setSeparator(DecimalSeparator);
    if (pointKey_) {
        pointKey_->setText(QString(DecimalSeparator));
        pointKey_->setAccessibleName(DecimalSeparator == u',' ? QStringLiteral("komma") : QStringLiteral("punt"));
    }
    expressionLabel_->setText(engine_.expression());
    displayLabel_->setText(engine_.display());
    // The number shown is said with what has the focus in the calculator, when it changes.
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == this || isAncestorOf(focus)) && focus->accessibleDescription() != engine_.display())
        focus->setAccessibleDescription(engine_.display());
    fitText(expressionLabel_, ExpressionPoints, false);
    fitText(displayLabel_, DisplayPoints, true);
}

void Calculator::pressKey(const QString& caption)
{
    if (caption.size() == 1 && caption[0].isDigit()) {
        if (!engine_.digit(caption[0].digitValue()))
            QApplication::beep();  // and the display says why
    }
    else if (caption == QStringLiteral(",") || caption == QStringLiteral("."))
        engine_.point();
    else if (caption == QStringLiteral("="))
        engine_.equals();
    else if (caption == QStringLiteral("C"))
        engine_.clear();
    else if (caption == Back)
        engine_.back();
    else if (caption == Sign)
        engine_.changeSign();
    else if (caption.size() == 1)
        engine_.operation(caption[0]);
    refresh();
}

void Calculator::keyPressEvent(QKeyEvent* e)
{
    const int k = e->key();
    const QString t = e->text();
    if (k == Qt::Key_Return || k == Qt::Key_Enter)
        pressKey(QStringLiteral("="));
    else if (k == Qt::Key_Backspace)
        pressKey(Back);
    else if (k == Qt::Key_Escape || k == Qt::Key_Delete)
        pressKey(QStringLiteral("C"));  // clears; the calculator stays, and so does the session
    else if (t.size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        QWidget::keyPressEvent(e);
    else if (t[0].isDigit() && t[0].unicode() < 128)
        pressKey(t);
    else if (t == QStringLiteral(",") || t == QStringLiteral("."))
        pressKey(QStringLiteral(","));
    else if (t == QStringLiteral("="))
        pressKey(t);
    else if (t == QStringLiteral("c") || t == QStringLiteral("C"))
        pressKey(QStringLiteral("C"));
    else if (!Operation(t[0]).isNull())
        pressKey(t);
    else
        QWidget::keyPressEvent(e);
}

QPoint Calculator::onScreen(QPoint framePos) const
{
    const QRect area(ScreenOrigin(), AvailableScreenSize());
    QMargins m = KnownFrameMargins();
    if (windowHandle() && !windowHandle()->frameMargins().isNull())
        m = windowHandle()->frameMargins();
    const QSize frame = size() + QSize(m.left() + m.right(), m.top() + m.bottom());
    const int x = qMax(area.left(), qMin(framePos.x(), area.left() + area.width() - frame.width()));
    const int y = qMax(area.top(), qMin(framePos.y(), area.top() + area.height() - frame.height()));
    return QPoint(x, y);
}

QPoint Calculator::firstPlace() const
{
    // Right of the picture, at its top, where the screen has room for it. Otherwise the place
    // nearest to there that covers none of the question's texts and controls; where none is
    // clear, the one that covers the least of them.
    if (!besides_ || !besides_->isVisible())
        return owner_->mapToGlobal(QPoint(owner_->width(), 0));
    const QRect pic(besides_->mapToGlobal(QPoint(0, 0)), besides_->size());
    const QPoint beside(pic.right() + 1 + TextMargin, pic.top());
    if (onScreen(beside) == beside)
        return beside;
    QMargins m = KnownFrameMargins();
    if (windowHandle() && !windowHandle()->frameMargins().isNull())
        m = windowHandle()->frameMargins();
    const QSize frame = size() + QSize(m.left() + m.right(), m.top() + m.bottom());
    const QRect area(ScreenOrigin(), AvailableScreenSize());
    // A little room round each (also for a window frame that is not known yet).
    const int step = qMax(4, Round(4 * scale_));
    QList<QRect> keepClear = keepClear_ ? keepClear_() : QList<QRect>();
    for (QRect& r : keepClear)
        r.adjust(-step, -step, step, step);
    const QPoint wanted = onScreen(beside);
    QPoint best = wanted;
    qint64 bestCovered = -1, bestDistance = 0;
    for (int y = area.top(); y + frame.height() <= area.bottom() + 1; y += step)
        for (int x = area.left(); x + frame.width() <= area.right() + 1; x += step) {
            const QRect covers(QPoint(x, y), frame);
            qint64 covered = 0;
            for (const QRect& r : keepClear) {
                const QRect both = covers.intersected(r);
                covered += both.isEmpty() ? 0 : qint64(both.width()) * both.height();
            }
            const qint64 distance = qint64(x - wanted.x()) * (x - wanted.x()) + qint64(y - wanted.y()) * (y - wanted.y());
            if (bestCovered < 0 || covered < bestCovered || (covered == bestCovered && distance < bestDistance)) {
                best = QPoint(x, y);
                bestCovered = covered;
                bestDistance = distance;
            }
        }
    return best;
}

void Calculator::showOrRaise()
{
    layoutForScreen();
    refresh();
    if (!isVisible())
        showAtPlace();
    raise();
    activateWindow();
}

void Calculator::showAtPlace()
{
    move(onScreen(place_ ? *place_ : firstPlace()));
    show();
    // The frame may be known only now.
    const QPoint fitted = onScreen(pos());
    if (fitted != pos())
        move(fitted);
}

void Calculator::putAway()
{
    reopen_ = false;
    hide();
}

void Calculator::hideEvent(QHideEvent* e)
{
    place_ = pos();
    QWidget::hideEvent(e);
}

bool Calculator::eventFilter(QObject* o, QEvent* e)
{
    // The viewer hides the session window while it shows: the calculator goes with it and
    // comes back with it.
    if (o == owner_ && e->type() == QEvent::Hide && !e->spontaneous()) {
        reopen_ = reopen_ || isVisible();
        hide();
    } else if (o == owner_ && e->type() == QEvent::Show && !e->spontaneous() && reopen_) {
        reopen_ = false;
        showAtPlace();
    }
    return QWidget::eventFilter(o, e);
}

}  // namespace kav

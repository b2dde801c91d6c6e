// The calculator of the calculator button: a pocket calculator of the program's own, a small
// tool window that stays in front of the session window. Every pupil gets the same one, with
// the program's decimal separator, on every computer.
#pragma once
#include <QLabel>
#include <QList>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace kav {

// The arithmetic of the calculator, one key at a time, as a pocket calculator does it: every
// operation is carried out when the next one (or "=") is pressed, from left to right.
class CalcEngine {
public:
    explicit CalcEngine(QChar separator = u',') : separator_(separator) {}
    void setSeparator(QChar separator) { separator_ = separator; }
    QChar separator() const { return separator_; }

    // A digit; false (and the display says so) when the number has its twelve digits already.
    bool digit(int d);
    void point();
    // One of the four operations: '+', '-' (or the minus sign), '*' (or '×'), '/' (or '÷').
    void operation(QChar op);
    void equals();
    void clear();
    void back();
    void changeSign();

    // The line above the number: "12 ×" while the second number is typed, "12 × 3 =" after "=",
    // or why the last digit was refused.
    QString expression() const;
    // The number shown, negative with the minus sign "−": what is typed, the result, "Fout"
    // after a division by zero or "Te groot" for a result too large to show.
    QString display() const;
    bool error() const { return error_; }

    // A number as the calculator shows it: about ten significant digits, no exponent, the
    // given separator; empty when it is too large to show.
    static QString Format(double v, QChar separator);

private:
    enum class Failure { None, DivisionByZero, TooLarge };
    static std::optional<double> Calculate(double a, QChar op, double b);
    double entryValue() const { return entry_.toDouble(); }
    void startEntry();
    void fail(QChar op, double b);
    QString shown(double v) const;

    QChar separator_;
    QString entry_ = QStringLiteral("0");  // the number shown, with '.' as its separator
    double accumulator_ = 0;
    QChar op_;                // the operation waiting for its second number
    bool typing_ = false;     // digits go onto entry_
    bool operand_ = false;    // a second number has been given since the operation
    bool afterEquals_ = false;
    bool error_ = false;
    Failure failure_ = Failure::None;
    bool refused_ = false;  // the last digit did not fit
    QString expression_;
};

// The calculator's size against its design on a screen of this size.
double CalculatorScale(QSize screen);

class Calculator : public QWidget {
    Q_OBJECT
public:
    // Owned by the session window; the first time it opens beside `besides` (the picture).
    Calculator(QWidget* owner, QWidget* besides);

    // The calculator button: shows the calculator where the pupil left it (the first time
    // beside the picture), always on the screen, in front and active; pressed again, it comes
    // forward.
    void showOrRaise();
    // Put away with the session window; it does not come back until the button is pressed.
    void putAway();
    // What the calculator should not cover when it first opens (global rectangles): the
    // question's texts, the labels of its picture, the answer field and the buttons.
    void setKeepClear(std::function<QList<QRect>()> rects) { keepClear_ = std::move(rects); }

    QString expression() const { return expressionLabel_->text(); }
    QString display() const { return displayLabel_->text(); }
    // The key with this caption ("7", "+", "=", "C", ...; the separator key shows the
    // program's separator), or null.
    QPushButton* key(const QString& caption) const;
    const QList<QPushButton*>& keys() const { return keys_; }
    // The frame round the expression and the number.
    QWidget* displayPanel() const { return panel_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void layoutForScreen();
    void pressKey(const QString& caption);
    void refresh();
    void fitText(QLabel* label, int designPoints, bool bold);
    QPoint firstPlace() const;
    QPoint onScreen(QPoint framePos) const;
    void showAtPlace();

    QWidget* owner_;
    QWidget* besides_;
    CalcEngine engine_;
    QWidget* panel_;
    QLabel* expressionLabel_;
    QLabel* displayLabel_;
    QPushButton* pointKey_ = nullptr;
    QList<QPushButton*> keys_;
    double scale_ = 0;
    std::optional<QPoint> place_;  // where the pupil left it
    bool reopen_ = false;          // open when the session window was hidden (the viewer)
    std::function<QList<QRect>()> keepClear_;
};

}  // namespace kav

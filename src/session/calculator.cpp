#include "session/calculator.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <cmath>

namespace kav {

// ---- the built-in calculator --------------------------------------------------

BuiltInCalculator::BuiltInCalculator(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("BuiltInCalculator"));
    setWindowTitle(QStringLiteral("Rekenmachine"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    display_ = new QLineEdit(QStringLiteral("0"), this);
    display_->setObjectName(QStringLiteral("CalcDisplay"));
    display_->setReadOnly(true);
    display_->setAlignment(Qt::AlignRight);
    QFont f = display_->font();
    f.setPixelSize(22);
    f.setBold(true);
    display_->setFont(f);
    grid->addWidget(display_, 0, 0, 1, 4);
    const char* keys[5][4] = {{"C", "±", "÷", "×"}, {"7", "8", "9", "-"}, {"4", "5", "6", "+"},
                              {"1", "2", "3", "="}, {"0", ",", "", ""}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString k = QString::fromUtf8(keys[r][c]);
            if (k.isEmpty())
                continue;
            auto* b = new QPushButton(k, this);
            b->setAutoDefault(false);
            b->setFocusPolicy(Qt::NoFocus);
            b->setMinimumSize(44, 36);
            connect(b, &QPushButton::clicked, this, [this, k]() { press(k); });
            if (k == QStringLiteral("="))
                grid->addWidget(b, r, c, 2, 1);
            else if (k == QStringLiteral("0"))
                grid->addWidget(b, r, c, 1, 2);
            else
                grid->addWidget(b, r, k == QStringLiteral(",") ? 2 : c);
        }
}

QString BuiltInCalculator::display() const
{
    return display_->text();
}

double BuiltInCalculator::value() const
{
    QString t = display_->text();
    t.replace(u',', u'.');
    return t.toDouble();
}

void BuiltInCalculator::showValue(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= 1e15) {
        display_->setText(QStringLiteral("Fout"));
        error_ = true;
        return;
    }
    QString t = QString::number(v, 'g', 12);
    if (t.contains(u'e'))
        t = QString::number(v, 'f', 10);
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    t.replace(u'.', u',');
    display_->setText(t);
}

void BuiltInCalculator::apply()
{
    const double v = value();
    if (pending_ == QStringLiteral("+"))
        accumulator_ += v;
    else if (pending_ == QStringLiteral("-"))
        accumulator_ -= v;
    else if (pending_ == QStringLiteral("×"))
        accumulator_ *= v;
    else if (pending_ == QStringLiteral("÷"))
        accumulator_ = v == 0 ? NAN : accumulator_ / v;
    else
        accumulator_ = v;
    showValue(accumulator_);
}

void BuiltInCalculator::press(const QString& key)
{
    if (key == QStringLiteral("C")) {
        accumulator_ = 0;
        pending_.clear();
        fresh_ = true;
        error_ = false;
        display_->setText(QStringLiteral("0"));
        return;
    }
    if (error_)
        return;
    if (key.size() == 1 && key[0].isDigit()) {
        if (fresh_ || display_->text() == QStringLiteral("0"))
            display_->setText(key);
        else if (display_->text().size() < 15)
            display_->setText(display_->text() + key);
        fresh_ = false;
    } else if (key == QStringLiteral(",")) {
        if (fresh_) {
            display_->setText(QStringLiteral("0,"));
            fresh_ = false;
        } else if (!display_->text().contains(u',')) {
            display_->setText(display_->text() + key);
        }
    } else if (key == QStringLiteral("±")) {
        const QString t = display_->text();
        if (t != QStringLiteral("0"))
            display_->setText(t.startsWith(u'-') ? t.mid(1) : QStringLiteral("-") + t);
    } else if (key == QStringLiteral("=")) {
        apply();
        pending_.clear();
        fresh_ = true;
    } else {
        if (!fresh_ || pending_.isEmpty())
            apply();
        pending_ = key;
        fresh_ = true;
    }
}

void BuiltInCalculator::keyPressEvent(QKeyEvent* e)
{
    const QString t = e->text();
    if (t.size() == 1 && t[0].isDigit())
        press(t);
    else if (t == QStringLiteral(",") || t == QStringLiteral("."))
        press(QStringLiteral(","));
    else if (t == QStringLiteral("+") || t == QStringLiteral("-"))
        press(t);
    else if (t == QStringLiteral("*") || t == QStringLiteral("x"))
        press(QStringLiteral("×"));
    else if (t == QStringLiteral("/") || t == QStringLiteral(":"))
        press(QStringLiteral("÷"));
    else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || t == QStringLiteral("="))
        press(QStringLiteral("="));
    else if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Delete || t == QStringLiteral("c"))
        press(QStringLiteral("C"));
    else
        QDialog::keyPressEvent(e);
}

// ---- the calculator button ----------------------------------------------------

Calculator::Calculator(QWidget* window) : QObject(window), window_(window), programs_(defaultPrograms()) {}

Calculator::~Calculator()
{
    // The desktop calculator belongs to the pupil now: it stays open when the program ends.
    if (process_) {
        process_->disconnect();
        process_->setParent(nullptr);
    }
}

QStringList Calculator::defaultPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),         QStringLiteral("mate-calc"),
            QStringLiteral("galculator"),       QStringLiteral("qalculate-gtk"), QStringLiteral("qalculate-qt"),
            QStringLiteral("speedcrunch"),      QStringLiteral("xcalc")};
}

bool Calculator::externalRunning() const
{
    return process_ && process_->state() != QProcess::NotRunning;
}

bool Calculator::startExternal()
{
    for (const QString& line : programs_) {
        QStringList parts = QProcess::splitCommand(line);
        if (parts.isEmpty())
            continue;
        const QString exe = QStandardPaths::findExecutable(parts.takeFirst());
        if (exe.isEmpty())
            continue;
        if (!process_) {
            process_ = new QProcess(this);
            // The calculator's own messages are of no use to the pupil.
            process_->setStandardOutputFile(QProcess::nullDevice());
            process_->setStandardErrorFile(QProcess::nullDevice());
        }
        process_->start(exe, parts);
        if (process_->waitForStarted(3000)) {
            ++launches_;
            return true;
        }
    }
    return false;
}

void Calculator::raiseExternal()
{
    // Qt cannot raise another program's window; the desktop tools can, where installed.
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (!xdotool.isEmpty() && process_)
        QProcess::startDetached(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--pid"), QString::number(process_->processId()),
                                          QStringLiteral("windowactivate")});
}

void Calculator::showOrRaise()
{
    if (externalRunning()) {
        raiseExternal();
        return;
    }
    if (builtIn_ && builtIn_->isVisible()) {
        builtIn_->raise();
        builtIn_->activateWindow();
        return;
    }
    if (!builtIn_ && startExternal())
        return;
    if (!builtIn_) {
        builtIn_ = new BuiltInCalculator(window_);
        builtIn_->adjustSize();
    }
    builtIn_->show();
    builtIn_->raise();
    builtIn_->activateWindow();
}

void Calculator::hideBuiltIn()
{
    if (builtIn_)
        builtIn_->hide();
}

}  // namespace kav

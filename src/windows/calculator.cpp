#include "windows/calculator.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QProcess>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <cmath>
#include <csignal>
#include <sys/types.h>

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

// The desktop calculator belongs to the pupil: it is started on its own, not as a child of
// this program, so it stays open when the program ends and nothing of it is left to free.
Calculator::~Calculator() = default;

QStringList Calculator::defaultPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),         QStringLiteral("mate-calc"),
            QStringLiteral("galculator"),       QStringLiteral("qalculate-gtk"), QStringLiteral("qalculate-qt"),
            QStringLiteral("speedcrunch"),      QStringLiteral("xcalc")};
}

bool Calculator::externalRunning() const
{
    if (pid_ <= 0 || ::kill(pid_t(pid_), 0) != 0)
        return false;
    // The process number may belong to another program by now: compare the name where the
    // system tells it (it keeps the first 15 characters).
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid_));
    if (!comm.open(QIODevice::ReadOnly))
        return true;
    const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
    return !name.isEmpty() && program_.startsWith(name);
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
        QProcess p;
        p.setProgram(exe);
        p.setArguments(parts);
        // The calculator's own messages are of no use to the pupil.
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        qint64 pid = 0;
        if (p.startDetached(&pid) && pid > 0) {
            pid_ = pid;
            program_ = QFileInfo(exe).fileName();
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
    if (xdotool.isEmpty())
        return;
    QProcess p;
    p.setProgram(xdotool);
    p.setArguments({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(pid_), QStringLiteral("windowactivate")});
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.startDetached();
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

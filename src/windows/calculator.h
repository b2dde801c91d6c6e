// The calculator button: starts the desktop's calculator and keeps hold of it, so a second
// press brings the running one forward instead of starting another. Without any
// calculator program on the machine a small calculator of our own serves.
#pragma once
#include <QDialog>
#include <QObject>
#include <QProcess>
#include <QStringList>

class QLineEdit;

namespace kav {

// A pocket calculator: digits, the four operations, sign change, clear and "=".
class BuiltInCalculator : public QDialog {
    Q_OBJECT
public:
    explicit BuiltInCalculator(QWidget* parent = nullptr);
    // Presses a key as its caption reads: "0".."9", ",", "+", "-", "×", "÷", "=", "C", "±".
    void press(const QString& key);
    QString display() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showValue(double v);
    double value() const;
    void apply();

    QLineEdit* display_;
    double accumulator_ = 0;
    QString pending_;
    bool fresh_ = true;
    bool error_ = false;
};

class Calculator : public QObject {
    Q_OBJECT
public:
    explicit Calculator(QWidget* window);
    ~Calculator() override;

    // The calculator programs tried, first installed first; each is a command line.
    static QStringList defaultPrograms();
    void setPrograms(const QStringList& commandLines) { programs_ = commandLines; }

    void showOrRaise();
    void hideBuiltIn();

    int launchCount() const { return launches_; }
    bool externalRunning() const;
    BuiltInCalculator* builtIn() const { return builtIn_; }

private:
    bool startExternal();
    void raiseExternal();

    QWidget* window_;
    QStringList programs_;
    qint64 pid_ = 0;   // the desktop calculator started, while it runs
    QString program_;  // and its file name
    BuiltInCalculator* builtIn_ = nullptr;
    int launches_ = 0;
};

}  // namespace kav

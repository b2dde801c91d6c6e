// The question for the teacher code before the teacher's corner opens: on first use the
// teacher chooses a code (typed twice), later the code is asked for.
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kav {

// What the teacher code does and what it cannot do, for the teacher who chooses one.
QString TeacherCodeExplanation();

class TDocentCodeForm : public QDialog {
    Q_OBJECT
public:
    // Chooses a code when none has been set, else asks for it.
    explicit TDocentCodeForm(QWidget* parent = nullptr);

    bool choosing() const { return choosing_; }
    // OK: accepts when the code is right (or a new one has been kept); otherwise says why and
    // waits for the next try.
    void OkButtonClick();

    QLabel *UitlegLabel, *CodeLabel, *HerhaalLabel;
    QLineEdit *CodeVeld, *HerhaalVeld;
    QPushButton *OkButton, *AnnuleerButton;

private:
    bool choosing_;
};

}  // namespace kav

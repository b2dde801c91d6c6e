// "Naam wijzigen" in the teacher's corner: a pupil's name corrected on a session, or many
// sessions given one name at once.
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kav {
// "Naam wijzigen": the new name for one session or many at once.
class TNaamForm : public QDialog {
    Q_OBJECT
public:
    // count: the sessions chosen; name: their name when they share one.
    TNaamForm(qsizetype count, const QString& name, QWidget* parent = nullptr);
    // The name typed, without spaces around it.
    QString name() const;
    void OkButtonClick();

    QLabel* UitlegLabel;
    QLineEdit* NaamVeld;
    QPushButton *OkButton, *AnnuleerButton;
};

}  // namespace kav

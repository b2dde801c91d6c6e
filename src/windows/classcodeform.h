// "Klasoverzicht" without a code at hand: the toetscode asked for, with the codes of the stored
// results to choose from, newest first.
#pragma once
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace kav {

class ResultStore;

class TKlascodeForm : public QDialog {
    Q_OBJECT
public:
    // codes: those to choose from, as kept; typed: what the field starts with.
    TKlascodeForm(const QStringList& codes, const QString& typed, QWidget* parent = nullptr);
    // The code chosen or typed, as kept (upper case, no dashes).
    QString code() const;
    void OkButtonClick();

    QLabel* UitlegLabel;
    QComboBox* CodeKeuze;
    QPushButton *OkButton, *AnnuleerButton;
};

// Asks for the code and runs `chosen` with it; nothing when the teacher cancels.
void AskClassCode(QWidget* parent, const ResultStore& store, const QString& typed,
                  std::function<void(const QString& code)> chosen);

}  // namespace kav

// "Werkblad maken": the teacher chooses a topic and its themes (or the mixed challenge), a
// level and a number of items, or types a class code (its settings are then used and fixed),
// and saves or prints the worksheet, its answer key, or both.
#pragma once
#include <QDialog>
#include <QVector>
#include <functional>
#include <cstdint>
#include <optional>

#include "results/worksheet.h"
#include "session/testcode.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace kav {

class TWerkbladForm : public QDialog {
    Q_OBJECT
public:
    explicit TWerkbladForm(QWidget* parent = nullptr);

    // What the worksheet is made of as chosen now; nothing (and why, in *why) when the choice
    // makes no worksheet: no theme, or a code that doesn't exist.
    std::optional<WorksheetRequest> request(QString* why = nullptr) const;
    WorksheetParts parts() const;
    // The code typed, when it is one.
    const std::optional<TestCodeSettings>& code() const { return code_; }

    void OnderdeelBoxChange();
    void CodeVeldChange();
    void PdfButtonClick();
    void AfdrukButtonClick();
    void NieuwButtonClick();

    QLabel *OnderdeelLabel, *NiveauLabel, *AantalLabel, *CodeLabel;
    QComboBox *OnderdeelBox, *NiveauBox;
    QSpinBox* AantalBox;
    QGroupBox* ThemaGroep;
    QVector<QCheckBox*> ThemaBoxes;
    QLabel* AllesLabel;
    QLineEdit* CodeVeld;
    QLabel* CodeMelding;
    QCheckBox *PlaatjesBox, *ToelichtingBox;
    QLabel* DeelLabel;
    QComboBox* DeelBox;
    QPushButton *PdfButton, *AfdrukButton, *NieuwButton, *SluitButton;
    QLabel* StatusLabel;
    QProgressBar* Voortgang;  // over the status line while a sheet is made

private:
    void choiceChanged();
    void lockToCode(bool locked);
    // The request as chosen; nothing after a message saying why.
    std::optional<WorksheetRequest> checkedRequest();
    QString suggestedName() const;
    // Makes the sheet and hands it to `write`, with a wait cursor and the progress shown and
    // the buttons off meanwhile.
    bool makeAndWrite(const WorksheetRequest& r, const std::function<bool(const Worksheet&, const WorksheetProgress&)>& write);
    // The themes chosen now that a sheet without pictures leaves out.
    QList<int> leftOut() const;

    std::optional<TestCodeSettings> code_;
    std::uint32_t seed_ = 0;  // the items without a code: the same until "Andere opgaven"
    int chosenLevel_ = 0;     // the level box's choice, kept while the mixed challenge fixes Prof !
};

}  // namespace kav

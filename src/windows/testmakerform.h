// "Toets maken": the teacher chooses a topic, its themes, a level and a length, and gets the
// class code that gives every pupil the same test.
#pragma once
#include <QDialog>
#include <QVector>

#include "session/testcode.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kav {

class TToetsMakenForm : public QDialog {
    Q_OBJECT
public:
    explicit TToetsMakenForm(QWidget* parent = nullptr);

    // The settings as chosen now (the seed left 0).
    TestCodeSettings settings() const;
    // The code last made, as typed ("ABCDEFGHJK"); empty when none is shown.
    QString code() const { return code_; }

    void OnderdeelBoxChange();
    void MaakButtonClick();
    void KopieerButtonClick();

    QLabel *OnderdeelLabel, *NiveauLabel, *LengteLabel;
    QComboBox *OnderdeelBox, *NiveauBox, *LengteBox;
    QGroupBox* ThemaGroep;
    QVector<QCheckBox*> ThemaBoxes;
    QLabel* AllesLabel;
    // Whether pupils may have the test read aloud ("Lees voor"); ticked unless the teacher says no.
    QCheckBox* VoorlezenBox;
    QPushButton* MaakButton;
    QLabel* RegelLabel;
    QLabel *CodeLabel, *InhoudLabel;
    QPushButton *KopieerButton, *SluitButton;

private:
    // Any change of the choice takes the shown code away: it no longer fits the choice.
    void choiceChanged();

    QString code_;
    int chosenLevel_ = 0;  // the level box's choice, kept while the mixed challenge fixes Prof !
};

// The "Thema's" group of the test maker and the worksheet maker, placed in the 640 x 480 design
// at (left, top) with the given width and ThemeGroupHeight: a box for each of a topic's themes
// (at most eight) and the mixed challenge's line, made into *boxes and *allesLabel.
inline constexpr int ThemeGroupHeight = 22 + 8 * 21 + 8;
QGroupBox* MakeThemeGroup(QWidget* parent, int left, int top, int width, QVector<QCheckBox*>* boxes,
                          QLabel** allesLabel);
// A topic's theme boxes, "1. <title>" and unticked, the others hidden; the mixed challenge's
// label instead when the topic is the mixed challenge. The group's hint otherwise.
void ShowTopicThemes(int sessionMode, const QVector<QCheckBox*>& boxes, QLabel* allesLabel, QWidget* group,
                     const QString& hint);
// The mixed challenge is always at the highest level: the level box fixed at Prof !, the
// teacher's own level kept in *chosen and given back when another topic is chosen.
void FixLevelForMixed(QComboBox* levels, bool mixed, int* chosen);

// What a code holds, in words: "Verbanden, thema's 1, 2, 5, Durver, 20 opgaven".
QString DescribeTest(const TestCodeSettings& s);

}  // namespace kav

// "Klasoverzicht": the results of one class code at a glance. A table of pupils × items
// (right at the first attempt, at the second, wrong, not done) with each pupil's grade, status
// and time, the p-value of every item, the grades and the share right per theme as charts, the
// class's average per theme and who opened the test without finishing it; printed and saved
// as a PDF on A4. "Voortgang…" shows one pupil's percentage per topic over time.
#pragma once
#include <QDialog>

#include "results/classoverview.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kav {

class ResultStore;
class TChartView;

class TKlasoverzichtForm : public QDialog {
    Q_OBJECT
public:
    // The overview of these figures; the store (when given) for the pupils' progress.
    TKlasoverzichtForm(const ClassOverview& overview, const ResultStore* store, QWidget* parent = nullptr);
    ~TKlasoverzichtForm() override;

    void layoutForScreen(QSize screen);
    const ClassOverview& overview() const { return overview_; }
    // The items in the order of the table's columns.
    const QVector<int>& itemOrder() const { return order_; }

    void SorteerChanged();
    void VoortgangButtonClick();
    void AfdrukButtonClick();
    void PdfButtonClick();

    QLabel *TitelLabel, *NotitieLabel, *LegendaLabel, *NietAfLabel, *StatusLabel;
    QTableWidget *KlasTabel, *ThemaTabel;
    QCheckBox* SorteerBox;
    TChartView *CijferGrafiek, *ThemaGrafiek;
    QPushButton *VoortgangButton, *AfdrukButton, *PdfButton, *SluitButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void fillTable();
    void fillThemes();
    void fitColumns();
    QString chosenName() const;

    ClassOverview overview_;
    const ResultStore* store_;
    QVector<int> order_;
};

// The class overview of a code from the store: every session of that code read without its
// pictures; a message when there is none.
void ShowClassOverview(QWidget* parent, const ResultStore* store, const QString& code);
// The teacher's corner's button: the code typed in its filter when it is a whole code, else the
// one of the sessions chosen, else asked for.
void OpenClassOverview(QWidget* parent, const ResultStore* store, const QString& codeFilter,
                       const QVector<qint64>& chosen);

}  // namespace kav

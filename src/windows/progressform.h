// "Voortgang": one pupil's percentage per topic over time, over all their sessions (the name in
// any case), as a line chart with a line per topic.
#pragma once
#include <QDialog>

#include "results/classoverview.h"

class QLabel;
class QPushButton;

namespace kav {

class ResultStore;
class TChartView;

class TVoortgangForm : public QDialog {
    Q_OBJECT
public:
    TVoortgangForm(const QString& name, const QVector<ProgressLine>& lines, QWidget* parent = nullptr);
    ~TVoortgangForm() override;
    void layoutForScreen(QSize screen);
    const QVector<ProgressLine>& lines() const { return lines_; }

    QLabel *TitelLabel, *UitlegLabel;
    TChartView* VoortgangGrafiek;
    QPushButton* SluitButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QVector<ProgressLine> lines_;
};

// The progress of the pupil of this name, from the store.
void ShowProgress(QWidget* parent, const ResultStore& store, const QString& name);

}  // namespace kav

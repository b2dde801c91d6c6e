#include "windows/progressform.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "draw/numbers.h"
#include "results/overviewpages.h"
#include "results/store.h"
#include "ui/ui.h"
#include "windows/chartview.h"

namespace kav {

TVoortgangForm::TVoortgangForm(const QString& name, const QVector<ProgressLine>& lines, QWidget* parent)
    : QDialog(parent), lines_(lines)
{
    setObjectName(QStringLiteral("VoortgangForm"));
    setWindowTitle(QStringLiteral("Kavrin 2: Voortgang van ") + name);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);
    TitelLabel = MakeLabel(this, "TitelLabel", QStringLiteral("Voortgang van ") + name, 12, true);
    TitelLabel->setTextFormat(Qt::PlainText);
    Place(TitelLabel, 8, 4, 624, 24);
    int sessions = 0, practice = 0;
    for (const ProgressLine& l : lines)
        for (const ProgressPoint& p : l.points) {
            ++sessions;
            practice += p.practice ? 1 : 0;
        }
    QString text = sessions == 0 ? QStringLiteral("Er zijn geen resultaten met deze naam.")
                   : sessions == 1 ? QStringLiteral("1 sessie")
                                   : QStringLiteral("%1 sessies").arg(sessions);
    if (practice > 0)
        text += QStringLiteral(", waarvan %1 oefenen").arg(practice);
    if (sessions > 0)
        text += QStringLiteral(". Het percentage is het deel van de punten dat behaald is.");
    UitlegLabel = MakeLabel(this, "UitlegLabel", text, 9);
    Place(UitlegLabel, 8, 28, 624, 18);
    VoortgangGrafiek = new TChartView(this);
    VoortgangGrafiek->setObjectName(QStringLiteral("VoortgangGrafiek"));
    SetDesignFont(VoortgangGrafiek, 9);
    VoortgangGrafiek->setChart(ProgressChart(lines, name));
    Place(VoortgangGrafiek, 8, 50, 624, 382);
    SluitButton = MakeButton(this, "SluitButton", QStringLiteral("&Sluiten"), 10, false,
                             QStringLiteral("Sluiten|Terug naar het klasoverzicht"));
    Place(SluitButton, 552, 440, 80, 32);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::accept);
    layoutForScreen(AvailableScreenSize());
}

TVoortgangForm::~TVoortgangForm()
{
    DisconnectChildren(this);
}

void TVoortgangForm::layoutForScreen(QSize screen)
{
    const double f = ScaleWindow(this, screen);
    const QSize client = size();
    const int margin = Round(8 * f), gap = Round(6 * f);
    const int buttonsTop = client.height() - margin - SluitButton->height();
    SluitButton->move(client.width() - margin - SluitButton->width(), buttonsTop);
    TitelLabel->resize(client.width() - 2 * margin, TitelLabel->height());
    UitlegLabel->resize(client.width() - 2 * margin, UitlegLabel->height());
    const int top = UitlegLabel->geometry().bottom() + 1 + gap / 2;
    VoortgangGrafiek->setGeometry(margin, top, client.width() - 2 * margin, buttonsTop - gap - top);
}

void TVoortgangForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!PlaceShownWindow(this, e->spontaneous(), [this](QSize screen) { layoutForScreen(screen); }))
        return;
    SluitButton->setFocus();
}

void ShowProgress(QWidget* parent, const ResultStore& store, const QString& name)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QVector<ProgressLine> lines = MakeProgress(store.list(ResultFilter{name.trimmed(), QString()}), name);
    QApplication::restoreOverrideCursor();
    auto* form = new TVoortgangForm(name, lines, parent);
    form->setAttribute(Qt::WA_DeleteOnClose);
    ShowModal(form);
}

}  // namespace kav

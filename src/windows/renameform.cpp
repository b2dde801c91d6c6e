#include "windows/renameform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "ui/ui.h"

namespace kav {

namespace {

// The dialog in the 640 x 480 design.
constexpr int DesignW = 320, Margin = 12, FieldW = DesignW - 2 * Margin;

}  // namespace

TNaamForm::TNaamForm(qsizetype count, const QString& name, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NaamForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Kavrin 2: Naam wijzigen"));
    SetDesignFont(this, 10);

    UitlegLabel = MakeLabel(this, "UitlegLabel",
                            count == 1 ? QStringLiteral("De nieuwe naam van de gekozen sessie:")
                                       : QStringLiteral("Eén naam voor alle %1 gekozen sessies:").arg(count),
                            10, true);
    UitlegLabel->setWordWrap(true);
    Place(UitlegLabel, Margin, Margin, FieldW, 20);
    NaamVeld = new QLineEdit(name, this);
    NaamVeld->setObjectName(QStringLiteral("NaamVeld"));
    NaamVeld->setMaxLength(40);  // as long as the session window takes a name
    SetDesignFont(NaamVeld, 11);
    SetHint(NaamVeld, QStringLiteral("Naam|De naam van de leerling"));
    Place(NaamVeld, Margin, Margin + 22, FieldW, 28);
    UitlegLabel->setBuddy(NaamVeld);
    const int y = Margin + 22 + 28 + 12;
    OkButton = MakeButton(this, "OkButton", QStringLiteral("OK"), 10, true);
    OkButton->setDefault(true);
    Place(OkButton, DesignW - Margin - 2 * 88 - 8, y, 88, 30);
    AnnuleerButton = MakeButton(this, "AnnuleerButton", QStringLiteral("Annuleren"), 10, false,
                                QStringLiteral("Annuleren|De namen blijven zoals ze zijn (Esc)"));
    Place(AnnuleerButton, DesignW - Margin - 88, y, 88, 30);
    connect(OkButton, &QPushButton::clicked, this, &TNaamForm::OkButtonClick);
    connect(AnnuleerButton, &QPushButton::clicked, this, &QDialog::reject);

    const double f = ControlScale(AvailableScreenSize());
    ScaleControls(this, f);
    setFixedSize(Round(DesignW * f), Round((y + 30 + Margin) * f));
    NaamVeld->selectAll();
    NaamVeld->setFocus();
}

QString TNaamForm::name() const
{
    return NaamVeld->text().simplified();
}

void TNaamForm::OkButtonClick()
{
    if (name().isEmpty()) {
        ShowMessage(QStringLiteral("Typ de naam van de leerling."));
        NaamVeld->setFocus();
        return;
    }
    accept();
}

}  // namespace kav

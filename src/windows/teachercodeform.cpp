#include "windows/teachercodeform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/teachercode.h"
#include "ui/ui.h"
#include "windows/teacherform.h"

namespace kav {

namespace {

QLineEdit* codeField(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(100);
    SetDesignFont(e, 11);
    return e;
}

// The dialog in the 640 x 480 design.
constexpr int DesignW = 340, Margin = 12, FieldW = DesignW - 2 * Margin, UitlegH = 100;

}  // namespace

TDocentCodeForm::TDocentCodeForm(QWidget* parent) : QDialog(parent), choosing_(!hasTeacherCode())
{
    setObjectName(QStringLiteral("DocentCodeForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(choosing_ ? QStringLiteral("Kavrin 2: Docentcode kiezen") : QStringLiteral("Kavrin 2: Docentcode"));
    SetDesignFont(this, 10);

    int y = Margin;
    UitlegLabel = MakeLabel(this, "UitlegLabel",
                        TeacherCodeExplanation() + QStringLiteral(" Kies minstens %1 tekens en onthoud de code goed.")
                                                       .arg(MinTeacherCodeLength),
                        9);
    UitlegLabel->setWordWrap(true);
    UitlegLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(UitlegLabel, Margin, y, FieldW, UitlegH);
    UitlegLabel->setVisible(choosing_);
    if (choosing_)
        y += UitlegH + 8;
    CodeLabel = MakeLabel(this, "CodeLabel", choosing_ ? QStringLiteral("Kies een docentcode") : QStringLiteral("Docentcode:"), 10, true);
    Place(CodeLabel, Margin, y, FieldW, 20);
    CodeVeld = codeField(this, "CodeVeld");
    SetHint(CodeVeld, QStringLiteral("Docentcode|De code wordt niet getoond"));
    Place(CodeVeld, Margin, y + 20, FieldW, 28);
    CodeLabel->setBuddy(CodeVeld);
    y += 56;
    HerhaalLabel = MakeLabel(this, "HerhaalLabel", QStringLiteral("Herhaal de docentcode"), 10, true);
    HerhaalVeld = codeField(this, "HerhaalVeld");
    SetHint(HerhaalVeld, QStringLiteral("Herhaal|Typ dezelfde code nog een keer"));
    HerhaalLabel->setBuddy(HerhaalVeld);
    if (choosing_) {
        Place(HerhaalLabel, Margin, y, FieldW, 20);
        Place(HerhaalVeld, Margin, y + 20, FieldW, 28);
        y += 56;
    } else {
        HerhaalLabel->hide();
        HerhaalVeld->hide();
    }
    y += 4;
    OkButton = MakeButton(this, "OkButton", QStringLiteral("OK"), 10, true);
    OkButton->setDefault(true);
    Place(OkButton, DesignW - Margin - 2 * 88 - 8, y, 88, 30);
    AnnuleerButton = MakeButton(this, "AnnuleerButton", QStringLiteral("Annuleren"), 10, false,
                                QStringLiteral("Annuleren|Terug naar het hoofdmenu (Esc)"));
    Place(AnnuleerButton, DesignW - Margin - 88, y, 88, 30);
    y += 30 + Margin;

    connect(OkButton, &QPushButton::clicked, this, &TDocentCodeForm::OkButtonClick);
    connect(AnnuleerButton, &QPushButton::clicked, this, &QDialog::reject);

    const double f = ControlScale(AvailableScreenSize());
    ScaleControls(this, f);
    setFixedSize(Round(DesignW * f), Round(y * f));
    CodeVeld->setFocus();
}

QString TeacherCodeExplanation()
{
    return QStringLiteral(
        "De docentcode houdt nieuwsgierige leerlingen op een gedeelde computer buiten de docentenhoek. "
        "Resultaten die in het eigen account van een leerling staan, kan de code niet beschermen. "
        "Een toetscode is geen geheim: wie de code en Kavrin 2 heeft, kan er de antwoorden bij afdrukken.");
}

void TDocentCodeForm::OkButtonClick()
{
    const QString code = CodeVeld->text();
    if (choosing_) {
        if (code.size() < MinTeacherCodeLength) {
            ShowMessage(QStringLiteral("Een docentcode heeft minstens %1 tekens.").arg(MinTeacherCodeLength));
            CodeVeld->setFocus();
            return;
        }
        if (HerhaalVeld->text().isEmpty()) {  // Enter in the first field: on to the second
            HerhaalVeld->setFocus();
            return;
        }
        if (HerhaalVeld->text() != code) {
            ShowMessage(QStringLiteral("De twee codes zijn niet gelijk. Typ de code nog een keer."));
            HerhaalVeld->clear();
            HerhaalVeld->setFocus();
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QString error;
        const bool kept = setTeacherCode(code, &error);
        QApplication::restoreOverrideCursor();
        if (!kept) {
            ShowMessage(error);
            return;
        }
        accept();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool right = checkTeacherCode(code);
    QApplication::restoreOverrideCursor();
    if (!right) {
        ShowMessage(QStringLiteral("Deze docentcode klopt niet."));
        CodeVeld->clear();
        CodeVeld->setFocus();
        return;
    }
    accept();
}

void AskTeacherCode(QWidget* parent, std::function<void()> open)
{
    auto* dialog = new TDocentCodeForm(parent);
    ShowModal(dialog, [dialog, open]() {
        const bool right = dialog->result() == QDialog::Accepted;
        dialog->deleteLater();
        if (right && open)
            open();
    });
}

}  // namespace kav

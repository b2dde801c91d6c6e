#include "windows/classcodeform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/store.h"
#include "session/testcode.h"
#include "ui/ui.h"

namespace kav {

namespace {

constexpr int DesignW = 320, Margin = 12, FieldW = DesignW - 2 * Margin;

}  // namespace

TKlascodeForm::TKlascodeForm(const QStringList& codes, const QString& typed, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KlascodeForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Kavrin 2: Klasoverzicht"));
    SetDesignFont(this, 10);

    UitlegLabel = MakeLabel(this, "UitlegLabel", QStringLiteral("Klasoverzicht van de &toetscode:"), 10, true);
    UitlegLabel->setWordWrap(true);
    Place(UitlegLabel, Margin, Margin, FieldW, 20);
    CodeKeuze = new QComboBox(this);
    CodeKeuze->setObjectName(QStringLiteral("CodeKeuze"));
    CodeKeuze->setEditable(true);
    CodeKeuze->setInsertPolicy(QComboBox::NoInsert);
    for (const QString& c : codes)
        CodeKeuze->addItem(GroupTestCode(c));
    CodeKeuze->lineEdit()->setMaxLength(20);
    CodeKeuze->setEditText(typed.isEmpty() && !codes.isEmpty() ? GroupTestCode(codes.first()) : typed);
    SetDesignFont(CodeKeuze, 11);
    SetHint(CodeKeuze, QStringLiteral("Toetscode|Typ de toetscode of kies er een van de bewaarde resultaten"));
    Place(CodeKeuze, Margin, Margin + 22, FieldW, 28);
    UitlegLabel->setBuddy(CodeKeuze);
    const int y = Margin + 22 + 28 + 12;
    OkButton = MakeButton(this, "OkButton", QStringLiteral("OK"), 10, true);
    OkButton->setDefault(true);
    Place(OkButton, DesignW - Margin - 2 * 88 - 8, y, 88, 30);
    AnnuleerButton = MakeButton(this, "AnnuleerButton", QStringLiteral("Annuleren"), 10, false,
                                QStringLiteral("Annuleren|Geen klasoverzicht (Esc)"));
    Place(AnnuleerButton, DesignW - Margin - 88, y, 88, 30);
    connect(OkButton, &QPushButton::clicked, this, &TKlascodeForm::OkButtonClick);
    // The editable list keeps Enter for itself: it confirms the code as OK does.
    connect(CodeKeuze->lineEdit(), &QLineEdit::returnPressed, this, &TKlascodeForm::OkButtonClick);
    connect(AnnuleerButton, &QPushButton::clicked, this, &QDialog::reject);

    const double f = ControlScale(AvailableScreenSize());
    ScaleControls(this, f);
    setFixedSize(Round(DesignW * f), Round((y + 30 + Margin) * f));
    CodeKeuze->lineEdit()->selectAll();
    CodeKeuze->setFocus();
}

QString TKlascodeForm::code() const
{
    return NormaliseTestCode(CodeKeuze->currentText());
}

void TKlascodeForm::OkButtonClick()
{
    if (!DecodeTestCode(code())) {
        ShowMessage(code().isEmpty() ? QStringLiteral("Typ de toetscode van de toets.") : UnknownTestCodeMessage());
        CodeKeuze->setFocus();
        return;
    }
    accept();
}

void AskClassCode(QWidget* parent, const ResultStore& store, const QString& typed,
                  std::function<void(const QString& code)> chosen)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList codes;  // the list is newest first
    QSet<QString> seen;
    for (const SessionSummary& s : store.list())
        if (!s.code.isEmpty() && !s.practice && !seen.contains(s.code)) {
            seen.insert(s.code);
            codes << s.code;
        }
    QApplication::restoreOverrideCursor();
    auto* dialog = new TKlascodeForm(codes, typed, parent);
    ShowModal(dialog, [dialog, chosen]() {
        const QString code = dialog->result() == QDialog::Accepted ? dialog->code() : QString();
        dialog->deleteLater();
        if (!code.isEmpty())
            chosen(code);
    });
}

}  // namespace kav

#include "windows/worksheetform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/result.h"
#include "session/catalogue.h"
#include "ui/filechoice.h"
#include "ui/ui.h"
#include "windows/resultsform.h"
#include "windows/testmakerform.h"

namespace kav {

namespace {

// The dialog in the 640 x 480 design.
constexpr int DesignW = 460, Margin = 12, BoxH = 21, MaxBoxes = 8;
constexpr int DefaultCount = 20;

// The parts in the order of the list.
constexpr WorksheetParts Parts[] = {WorksheetParts::Both, WorksheetParts::Sheet, WorksheetParts::Key};

// "22, 23 en 25"
QString NumberList(const QList<int>& numbers)
{
    QStringList n;
    for (int v : numbers)
        n << QString::number(v);
    if (n.size() < 2)
        return n.join(QString());
    const QString last = n.takeLast();
    return n.join(QStringLiteral(", ")) + QStringLiteral(" en ") + last;
}

// The theme boxes numbered as the theme codes everywhere else: "21. Hoe groot is dat
// driehoeksgetal ?".
QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    SetDesignFont(c, 10);
    SetHint(c, hint);
    return c;
}

}  // namespace

TWerkbladForm::TWerkbladForm(QWidget* parent) : QDialog(parent), seed_(NewTestSeed())
{
    setObjectName(QStringLiteral("WerkbladForm"));
    setWindowTitle(QStringLiteral("Kavrin 2: Werkblad maken"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);

    QStringList topics;
    for (int m : TestTopics)
        topics << TopicName(m);
    OnderdeelLabel = MakeLabel(this, "OnderdeelLabel", QStringLiteral("&Onderdeel"), 10, true);
    Place(OnderdeelLabel, Margin, 10, 150, 18);
    OnderdeelBox = MakeComboBox(this, "OnderdeelBox", topics, 10, QStringLiteral("Onderdeel|Waar gaat het werkblad over?"));
    Place(OnderdeelBox, Margin, 28, 150, 28);
    OnderdeelLabel->setBuddy(OnderdeelBox);
    NiveauLabel = MakeLabel(this, "NiveauLabel", QStringLiteral("&Niveau"), 10, true);
    Place(NiveauLabel, 174, 10, 110, 18);
    NiveauBox = MakeComboBox(this, "NiveauBox", {LevelName(1), LevelName(2), LevelName(3)}, 10,
                             QStringLiteral("Niveau|Het niveau van de opgaven"));
    Place(NiveauBox, 174, 28, 110, 28);
    NiveauLabel->setBuddy(NiveauBox);
    AantalLabel = MakeLabel(this, "AantalLabel", QStringLiteral("&Aantal opgaven"), 10, true);
    Place(AantalLabel, 296, 10, 150, 18);
    AantalBox = new QSpinBox(this);
    AantalBox->setObjectName(QStringLiteral("AantalBox"));
    AantalBox->setRange(1, MaxWorksheetItems);
    AantalBox->setValue(DefaultCount);
    SetDesignFont(AantalBox, 10);
    SetHint(AantalBox, QStringLiteral("Aantal opgaven|Hoeveel opgaven het werkblad heeft (1 tot %1)").arg(MaxWorksheetItems));
    Place(AantalBox, 296, 28, 80, 28);
    AantalLabel->setBuddy(AantalBox);

    ThemaGroep = MakeThemeGroup(this, Margin, 66, DesignW - 2 * Margin, &ThemaBoxes, &AllesLabel);
    for (QCheckBox* c : ThemaBoxes)
        connect(c, &QCheckBox::toggled, this, &TWerkbladForm::choiceChanged);

    int y = 66 + ThemeGroupHeight + 8;
    CodeLabel = MakeLabel(this, "CodeLabel", QStringLiteral("&Toetscode"), 10, true);
    Place(CodeLabel, Margin, y + 5, 80, 20);
    CodeVeld = new QLineEdit(this);
    CodeVeld->setObjectName(QStringLiteral("CodeVeld"));
    CodeVeld->setMaxLength(16);
    SetDesignFont(CodeVeld, 10);
    SetHint(CodeVeld, QStringLiteral("Toetscode|Dezelfde opgaven als de toets met deze code (leeg: een eigen keuze)"));
    Place(CodeVeld, Margin + 84, y, 130, 28);
    CodeLabel->setBuddy(CodeVeld);
    CodeMelding = MakeLabel(this, "CodeMelding", QString(), 10);
    CodeMelding->setWordWrap(true);
    Place(CodeMelding, Margin + 222, y - 4, DesignW - 2 * Margin - 222, 36);
    y += 36;
    PlaatjesBox = CheckBox(this, "PlaatjesBox", QStringLiteral("Met &plaatjes"),
                           QStringLiteral("Met plaatjes|Bij elke opgave het plaatje, zoals op het scherm"));
    PlaatjesBox->setChecked(true);
    Place(PlaatjesBox, Margin, y, 140, BoxH);
    ToelichtingBox = CheckBox(this, "ToelichtingBox", QStringLiteral("Antwoorden met &uitleg"),
                              QStringLiteral("Antwoorden met uitleg|Bij elk antwoord de uitgewerkte toelichting"));
    Place(ToelichtingBox, Margin + 150, y, DesignW - 2 * Margin - 150, BoxH);
    y += BoxH + 8;
    DeelLabel = MakeLabel(this, "DeelLabel", QStringLiteral("&Wat"), 10, true);
    Place(DeelLabel, Margin, y + 5, 40, 20);
    DeelBox = MakeComboBox(this, "DeelBox",
                           {QStringLiteral("Werkblad en antwoorden"), QStringLiteral("Alleen het werkblad"),
                            QStringLiteral("Alleen de antwoorden")},
                           10, QStringLiteral("Wat|Wat er wordt opgeslagen of afgedrukt"));
    Place(DeelBox, Margin + 44, y, 200, 28);
    DeelLabel->setBuddy(DeelBox);
    y += 38;
    PdfButton = MakeButton(this, "PdfButton", QStringLiteral("Opslaan als P&DF…"), 10, true,
                           QStringLiteral("Opslaan als PDF|Het werkblad bewaren als PDF-bestand"));
    Place(PdfButton, Margin, y, 140, 32);
    AfdrukButton = MakeButton(this, "AfdrukButton", QStringLiteral("A&fdrukken…"), 10, false,
                              QStringLiteral("Afdrukken|Het werkblad afdrukken"));
    Place(AfdrukButton, Margin + 148, y, 100, 32);
    NieuwButton = MakeButton(this, "NieuwButton", QStringLiteral("Andere &opgaven"), 10, false,
                             QStringLiteral("Andere opgaven|Nieuwe opgaven bij dezelfde keuze"));
    Place(NieuwButton, Margin + 256, y, 120, 32);
    y += 40;
    StatusLabel = MakeLabel(this, "StatusLabel", QString(), 10);
    StatusLabel->setStyleSheet(QStringLiteral("color: rgb(0,0,255)"));
    StatusLabel->setWordWrap(true);
    Place(StatusLabel, Margin, y, DesignW - 2 * Margin - 96, 30);
    Voortgang = new QProgressBar(this);
    Voortgang->setObjectName(QStringLiteral("Voortgang"));
    Voortgang->setFormat(QStringLiteral("Werkblad maken… %p%"));
    SetDesignFont(Voortgang, 10);
    Place(Voortgang, Margin, y + 4, DesignW - 2 * Margin - 96, 22);
    Voortgang->hide();
    SluitButton = MakeButton(this, "SluitButton", QStringLiteral("&Sluiten"), 10, false,
                             QStringLiteral("Sluiten|Terug naar de resultaten"));
    Place(SluitButton, DesignW - Margin - 88, y, 88, 30);
    y += 30 + Margin;

    connect(OnderdeelBox, &QComboBox::currentIndexChanged, this, &TWerkbladForm::OnderdeelBoxChange);
    connect(NiveauBox, &QComboBox::currentIndexChanged, this, &TWerkbladForm::choiceChanged);
    connect(AantalBox, &QSpinBox::valueChanged, this, &TWerkbladForm::choiceChanged);
    connect(DeelBox, &QComboBox::currentIndexChanged, this, &TWerkbladForm::choiceChanged);
    connect(PlaatjesBox, &QCheckBox::toggled, this, &TWerkbladForm::choiceChanged);
    connect(CodeVeld, &QLineEdit::textChanged, this, &TWerkbladForm::CodeVeldChange);
    connect(PdfButton, &QPushButton::clicked, this, &TWerkbladForm::PdfButtonClick);
    connect(AfdrukButton, &QPushButton::clicked, this, &TWerkbladForm::AfdrukButtonClick);
    connect(NieuwButton, &QPushButton::clicked, this, &TWerkbladForm::NieuwButtonClick);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::reject);

    const double f = ControlScale(AvailableScreenSize());
    ScaleControls(this, f);
    const QString indicator = QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(Round(14 * f));
    for (QCheckBox* c : findChildren<QCheckBox*>())
        c->setStyleSheet(indicator);
    setFixedSize(Round(DesignW * f), Round(y * f));
    OnderdeelBoxChange();
    OnderdeelBox->setFocus();
}

void TWerkbladForm::OnderdeelBoxChange()
{
    const int m = TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))];
    ShowTopicThemes(m, ThemaBoxes, AllesLabel, ThemaGroep, QStringLiteral("|Kies de thema's van het werkblad"));
    // The mixed challenge is always at the highest level; the teacher's level comes back after.
    FixLevelForMixed(NiveauBox, m == -10, &chosenLevel_);
    choiceChanged();
}

void TWerkbladForm::CodeVeldChange()
{
    const QString typed = NormaliseTestCode(CodeVeld->text());
    code_ = DecodeTestCode(typed);
    // A whole code is shown as it is written everywhere: "BE7DE-N7TNA".
    if (code_ && CodeVeld->text() != GroupTestCode(typed)) {
        CodeVeld->setText(GroupTestCode(typed));
        return;  // the change comes back here with the code as shown
    }
    if (code_) {
        // The code's settings, shown and fixed: the sheet holds the test's own items.
        {
            const QSignalBlocker a(OnderdeelBox), b(NiveauBox), c(AantalBox);
            OnderdeelBox->setCurrentIndex(int(std::find(TestTopics.begin(), TestTopics.end(), code_->sessionMode) -
                                              TestTopics.begin()));
            const int m = code_->sessionMode;
            ShowTopicThemes(m, ThemaBoxes, AllesLabel, ThemaGroep, QString());
                    for (int n = 1; n <= MaxBoxes; ++n) {
                const QSignalBlocker quiet(ThemaBoxes[n - 1]);
                ThemaBoxes[n - 1]->setChecked(m >= 0 && ((code_->themes >> (n - 1)) & 1u));
            }
            NiveauBox->setCurrentIndex(code_->level - 1);
            if (code_->length > 0)
                AantalBox->setValue(code_->length);
        }
        CodeMelding->setStyleSheet(QStringLiteral("color: rgb(0,0,128)"));
        CodeMelding->setText(DescribeTest(*code_));
    } else {
        CodeMelding->setStyleSheet(QStringLiteral("color: rgb(192,0,0)"));
        // Only a whole code is called wrong; while it is typed, nothing is said.
        CodeMelding->setText(typed.size() >= TestCodeLength ? UnknownTestCodeMessage() : QString());
    }
    lockToCode(code_.has_value());
    choiceChanged();
}

void TWerkbladForm::lockToCode(bool locked)
{
    const bool mixed = TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))] < 0;
    OnderdeelBox->setEnabled(!locked);
    NiveauBox->setEnabled(!locked && !mixed);
    for (QCheckBox* c : ThemaBoxes)
        c->setEnabled(!locked);
    AantalBox->setEnabled(!locked || code_->length == 0);
    NieuwButton->setEnabled(!locked);
    // A test on paper holds the very items of the screen, with their pictures.
    if (locked)
        PlaatjesBox->setChecked(true);
    PlaatjesBox->setEnabled(!locked);
}

void TWerkbladForm::choiceChanged()
{
    StatusLabel->clear();
    StatusLabel->setToolTip(QString());
    QString why;
    const bool ok = request(&why).has_value() || (!CodeVeld->text().trimmed().isEmpty() && !code_);
    PdfButton->setEnabled(ok);
    AfdrukButton->setEnabled(ok);
    ToelichtingBox->setEnabled(parts() != WorksheetParts::Sheet);
    if (!why.isEmpty() && CodeVeld->text().trimmed().isEmpty()) {
        StatusLabel->setText(why);
    } else if (const std::optional<WorksheetRequest> r = request(); r && r->test && !r->pictures) {
        const QList<int> out = leftOut();
        const QList<int> kept = ThemesWithoutPictures(TestThemes(*r->test));
        if (!out.isEmpty() && kept.size() < out.size())
            StatusLabel->setText(QStringLiteral("Zonder plaatjes blijven alleen de thema's %1 over.").arg(NumberList(kept)));
        else if (!out.isEmpty())
            StatusLabel->setText(QStringLiteral("Zonder plaatjes vallen weg: %1 %2.")
                                     .arg(out.size() == 1 ? QStringLiteral("thema") : QStringLiteral("thema's"))
                                     .arg(NumberList(out)));
        StatusLabel->setToolTip(out.isEmpty() ? QString() : LeftOutMessage(out));
    }
}

QList<int> TWerkbladForm::leftOut() const
{
    const std::optional<WorksheetRequest> r = request();
    if (!r || !r->test || r->pictures)
        return {};
    QList<int> out;
    for (int c : TestThemes(*r->test))
        if (NeedsPicture(c))
            out << c;
    return out;
}

std::optional<WorksheetRequest> TWerkbladForm::request(QString* why) const
{
    WorksheetRequest r;
    r.pictures = PlaatjesBox->isChecked();
    r.explanations = ToelichtingBox->isChecked() && parts() != WorksheetParts::Sheet;
    r.count = AantalBox->value();
    if (!CodeVeld->text().trimmed().isEmpty()) {
        if (!code_) {
            if (why)
                *why = UnknownTestCodeMessage();
            return std::nullopt;
        }
        r.test = code_;
        r.code = NormaliseTestCode(CodeVeld->text());
        r.level = code_->level;
        if (code_->length > 0)
            r.count = code_->length;
        return r;
    }
    // Without a code: the items as a test with this choice would give them, with the window's
    // own seed, so the sheet and its key printed one after the other hold the same items.
    TestCodeSettings t;
    t.sessionMode = TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))];
    t.level = t.sessionMode < 0 ? 3 : NiveauBox->currentIndex() + 1;
    t.length = 0;
    t.seed = seed_;
    if (t.sessionMode >= 0)
        for (int n = 1; n <= ThemaBoxes.size(); ++n)
            if (!ThemaBoxes[n - 1]->isHidden() && ThemaBoxes[n - 1]->isChecked())
                t.themes |= 1u << (n - 1);
    if (t.sessionMode >= 0 && t.themes == 0) {
        if (why)
            *why = QStringLiteral("Kies minstens één thema.");
        return std::nullopt;
    }
    if (!r.pictures && ThemesWithoutPictures(TestThemes(t)).isEmpty()) {
        if (why)
            *why = QStringLiteral("Deze thema's hebben hun plaatjes nodig. Zet Met plaatjes aan of kies een ander thema.");
        return std::nullopt;
    }
    r.test = t;
    r.level = t.level;
    return r;
}

WorksheetParts TWerkbladForm::parts() const
{
    return Parts[qBound(0, DeelBox->currentIndex(), 2)];
}

std::optional<WorksheetRequest> TWerkbladForm::checkedRequest()
{
    QString why;
    const std::optional<WorksheetRequest> r = request(&why);
    if (!r) {
        ShowMessage(why);
        if (!CodeVeld->text().trimmed().isEmpty()) {
            CodeVeld->setFocus();
            CodeVeld->selectAll();
        }
    }
    return r;
}

QString TWerkbladForm::suggestedName() const
{
    QString what = parts() == WorksheetParts::Key ? QStringLiteral("Antwoorden") : QStringLiteral("Werkblad");
    what += u' ' + TopicName(TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))]);
    if (code_ && !CodeVeld->text().trimmed().isEmpty())
        what += u' ' + GroupTestCode(NormaliseTestCode(CodeVeld->text()));
    return what + u' ' + QDate::currentDate().toString(Qt::ISODate) + QStringLiteral(".pdf");
}

void TWerkbladForm::PdfButtonClick()
{
    const std::optional<WorksheetRequest> r = checkedRequest();
    if (!r)
        return;
    const QString path = ChooseSaveFile(this, QStringLiteral("Opslaan als PDF"), suggestedName(), QStringLiteral("pdf"),
                                        QStringLiteral("PDF-bestanden (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    const bool written = makeAndWrite(*r, [&](const Worksheet& w, const WorksheetProgress& progress) {
        return WriteWorksheetPdf(path, w, parts(), &error, progress);
    });
    if (!written) {
        ShowMessage(error);
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Opgeslagen: ") + QDir::toNativeSeparators(path));
}

void TWerkbladForm::AfdrukButtonClick()
{
    const std::optional<WorksheetRequest> r = checkedRequest();
    if (!r)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinter(this, &printer, suggestedName().chopped(4)))
        return;
    const bool printed = makeAndWrite(*r, [&](const Worksheet& w, const WorksheetProgress& progress) {
        return PaintWorksheet(&printer, w, parts(), progress);
    });
    if (!printed) {
        ShowMessage(QStringLiteral("Afdrukken is niet gelukt. Kijk of de printer klaarstaat en probeer het opnieuw."));
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Naar de printer gestuurd."));
}

bool TWerkbladForm::makeAndWrite(const WorksheetRequest& r,
                                 const std::function<bool(const Worksheet&, const WorksheetProgress&)>& write)
{
    QList<QWidget*> off;
    for (QWidget* w : {static_cast<QWidget*>(PdfButton), static_cast<QWidget*>(AfdrukButton),
                       static_cast<QWidget*>(NieuwButton), static_cast<QWidget*>(SluitButton)})
        if (w->isEnabled()) {
            w->setEnabled(false);
            off << w;
        }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    StatusLabel->hide();
    const int partCount = parts() == WorksheetParts::Both ? 2 : 1;
    Voortgang->setRange(0, r.count * (1 + partCount));
    Voortgang->setValue(0);
    Voortgang->show();
    // The bar is drawn again at every step; what is typed or clicked meanwhile waits.
    auto show = [this](int value) {
        Voortgang->setValue(value);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const Worksheet w = MakeWorksheet(r, [&](int done, int) { show(done); });
    const int made = int(w.items.size());
    Voortgang->setRange(0, made * (1 + partCount));
    const bool ok = write(w, [&](int done, int) { show(made + done); });
    Voortgang->hide();
    StatusLabel->show();
    QGuiApplication::restoreOverrideCursor();
    for (QWidget* widget : off)
        widget->setEnabled(true);
    return ok;
}

void TWerkbladForm::NieuwButtonClick()
{
    seed_ = NewTestSeed();
    StatusLabel->setText(QStringLiteral("Andere opgaven gekozen."));
}

}  // namespace kav

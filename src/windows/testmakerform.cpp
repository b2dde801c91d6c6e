#include "windows/testmakerform.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/result.h"
#include "session/catalogue.h"
#include "ui/ui.h"

namespace kav {

namespace {

constexpr int MaxBoxes = 8;

QComboBox* comboBox(QWidget* parent, const char* name, const QStringList& items, const QString& hint)
{
    return MakeComboBox(parent, name, items, 10, hint);
}

// The dialog in the 640 x 480 design.
constexpr int DesignW = 440, Margin = 12, BoxH = 21;
static_assert(ThemeGroupHeight == 22 + MaxBoxes * BoxH + 8);

}  // namespace

QGroupBox* MakeThemeGroup(QWidget* parent, int left, int top, int width, QVector<QCheckBox*>* boxes,
                          QLabel** allesLabel)
{
    auto* group = new QGroupBox(QStringLiteral("Thema's"), parent);
    group->setObjectName(QStringLiteral("ThemaGroep"));
    SetDesignFont(group, 10, true);
    Place(group, left, top, width, ThemeGroupHeight);
    for (int n = 1; n <= MaxBoxes; ++n) {
        auto* c = new QCheckBox(group);
        c->setObjectName(QStringLiteral("ThemaBox%1").arg(n));
        SetDesignFont(c, 10);
        Place(c, 10, 22 + (n - 1) * BoxH, width - 20, BoxH);
        boxes->append(c);
    }
    *allesLabel = MakeLabel(group, "AllesLabel",
                            QStringLiteral("Alle thema's van de drie onderdelen door elkaar, altijd op niveau Prof !"), 10);
    (*allesLabel)->setWordWrap(true);
    Place(*allesLabel, 10, 24, width - 20, 44);
    return group;
}

void ShowTopicThemes(int sessionMode, const QVector<QCheckBox*>& boxes, QLabel* allesLabel, QWidget* group,
                     const QString& hint)
{
    const int count = TestThemeBoxes(sessionMode);
    for (int n = 1; n <= boxes.size(); ++n) {
        QCheckBox* c = boxes[n - 1];
        const QSignalBlocker quiet(c);
        c->setChecked(false);
        c->setVisible(n <= count);
        // Numbered by their theme codes, as the sheets, the results and the exports number them.
        c->setText(n <= count ? QStringLiteral("%1. %2").arg(sessionMode + n).arg(ThemeTitle(sessionMode + n)) : QString());
    }
    allesLabel->setVisible(sessionMode < 0);
    SetHint(group, sessionMode < 0 ? QStringLiteral("|Je hebt geen keus: ALLES!") : hint);
}

void FixLevelForMixed(QComboBox* levels, bool mixed, int* chosen)
{
    const QSignalBlocker quiet(levels);
    if (mixed && levels->isEnabled()) {
        *chosen = levels->currentIndex();
        levels->setCurrentIndex(2);
    } else if (!mixed && !levels->isEnabled()) {
        levels->setCurrentIndex(*chosen);
    }
    levels->setEnabled(!mixed);
}

QString DescribeTest(const TestCodeSettings& s)
{
    QStringList parts{TopicName(s.sessionMode)};
    if (s.sessionMode == -10) {
        parts << QStringLiteral("alle thema's");
    } else {
        QStringList numbers;
        for (int n = 1; n <= MaxBoxes; ++n)
            if (s.themes & (1u << (n - 1)))
                numbers << QString::number(s.sessionMode + n);
        parts << QStringLiteral("thema's ") + numbers.join(QStringLiteral(", "));
    }
    parts << LevelName(s.level);
    parts << (s.length == 0 ? QStringLiteral("onbeperkt aantal opgaven") : QStringLiteral("%1 opgaven").arg(s.length));
    if (!s.readAloud)
        parts << QStringLiteral("zonder voorlezen");
    return parts.join(QStringLiteral(", "));
}

TToetsMakenForm::TToetsMakenForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ToetsMakenForm"));
    setWindowTitle(QStringLiteral("Kavrin 2: Toets maken"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);

    QStringList topics;
    for (int m : TestTopics)
        topics << TopicName(m);
    OnderdeelLabel = MakeLabel(this, "OnderdeelLabel", QStringLiteral("&Onderdeel"), 10, true);
    Place(OnderdeelLabel, Margin, 10, 150, 18);
    OnderdeelBox = comboBox(this, "OnderdeelBox", topics, QStringLiteral("Onderdeel|Waar gaat de toets over?"));
    Place(OnderdeelBox, Margin, 28, 150, 28);
    OnderdeelLabel->setBuddy(OnderdeelBox);
    NiveauLabel = MakeLabel(this, "NiveauLabel", QStringLiteral("&Niveau"), 10, true);
    Place(NiveauLabel, 174, 10, 110, 18);
    NiveauBox = comboBox(this, "NiveauBox", {LevelName(1), LevelName(2), LevelName(3)},
                         QStringLiteral("Niveau|Het niveau van de opgaven"));
    Place(NiveauBox, 174, 28, 110, 28);
    NiveauLabel->setBuddy(NiveauBox);
    QStringList lengths;
    for (int n : TestLengths)
        lengths << (n == 0 ? QStringLiteral("Onbeperkt") : QString::number(n));
    LengteLabel = MakeLabel(this, "LengteLabel", QStringLiteral("&Aantal opgaven"), 10, true);
    Place(LengteLabel, 296, 10, 132, 18);
    LengteBox = comboBox(this, "LengteBox", lengths, QStringLiteral("Aantal opgaven|Hoeveel opgaven de toets heeft"));
    Place(LengteBox, 296, 28, 132, 28);
    LengteLabel->setBuddy(LengteBox);

    ThemaGroep = MakeThemeGroup(this, Margin, 66, DesignW - 2 * Margin, &ThemaBoxes, &AllesLabel);
    for (QCheckBox* c : ThemaBoxes)
        connect(c, &QCheckBox::toggled, this, &TToetsMakenForm::choiceChanged);

    int y = 66 + ThemeGroupHeight + 6;
    VoorlezenBox = new QCheckBox(QStringLiteral("&Voorlezen toegestaan (de knop \"Lees voor\")"), this);
    VoorlezenBox->setObjectName(QStringLiteral("VoorlezenBox"));
    VoorlezenBox->setChecked(true);
    SetDesignFont(VoorlezenBox, 10);
    SetHint(VoorlezenBox, QStringLiteral("Voorlezen toegestaan|Leerlingen mogen de opgaven laten voorlezen; "
                                         "zet het uit als de toets dat niet toestaat"));
    Place(VoorlezenBox, Margin, y, DesignW - 2 * Margin, 24);
    connect(VoorlezenBox, &QCheckBox::toggled, this, &TToetsMakenForm::choiceChanged);
    y += 30;
    MaakButton = MakeButton(this, "MaakButton", QStringLiteral("Maak &code"), 10, true,
                            QStringLiteral("Maak code|Een nieuwe toetscode met deze keuze"));
    MaakButton->setDefault(true);
    Place(MaakButton, Margin, y, 120, 32);
    RegelLabel = MakeLabel(this, "RegelLabel", QString(), 10);
    RegelLabel->setStyleSheet(QStringLiteral("color: rgb(0,0,255)"));
    Place(RegelLabel, Margin + 130, y, DesignW - 2 * Margin - 130, 32);
    y += 40;
    CodeLabel = MakeLabel(this, "CodeLabel", QString(), 24, true);
    CodeLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CodeLabel->setAlignment(Qt::AlignCenter);
    CodeLabel->setAutoFillBackground(true);
    CodeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    {
        QPalette pal = CodeLabel->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
        CodeLabel->setPalette(pal);
    }
    SetHint(CodeLabel, QStringLiteral("Toetscode|De leerlingen typen deze code bij de test"));
    Place(CodeLabel, Margin, y, 290, 48);
    KopieerButton = MakeButton(this, "KopieerButton", QStringLiteral("&Kopiëren"), 10, false,
                               QStringLiteral("Kopiëren|De code op het klembord zetten"));
    Place(KopieerButton, DesignW - Margin - 116, y + 8, 116, 32);
    y += 54;
    // What the code holds, on two lines when it is long (every theme of a topic, no limit).
    InhoudLabel = MakeLabel(this, "InhoudLabel", QString(), 10);
    InhoudLabel->setWordWrap(true);
    InhoudLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(InhoudLabel, Margin, y, DesignW - 2 * Margin, 38);
    y += 44;
    SluitButton = MakeButton(this, "SluitButton", QStringLiteral("&Sluiten"), 10, false,
                             QStringLiteral("Sluiten|Terug naar de resultaten"));
    Place(SluitButton, DesignW - Margin - 88, y, 88, 30);
    y += 30 + Margin;

    connect(OnderdeelBox, &QComboBox::currentIndexChanged, this, &TToetsMakenForm::OnderdeelBoxChange);
    connect(NiveauBox, &QComboBox::currentIndexChanged, this, &TToetsMakenForm::choiceChanged);
    connect(LengteBox, &QComboBox::currentIndexChanged, this, &TToetsMakenForm::choiceChanged);
    connect(MaakButton, &QPushButton::clicked, this, &TToetsMakenForm::MaakButtonClick);
    connect(KopieerButton, &QPushButton::clicked, this, &TToetsMakenForm::KopieerButtonClick);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::reject);

    const double f = ControlScale(AvailableScreenSize());
    ScaleControls(this, f);
    const QString indicator = QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(Round(14 * f));
    for (QCheckBox* c : ThemaBoxes)
        c->setStyleSheet(indicator);
    VoorlezenBox->setStyleSheet(indicator);
    setFixedSize(Round(DesignW * f), Round(y * f));
    OnderdeelBoxChange();
    OnderdeelBox->setFocus();
}

TestCodeSettings TToetsMakenForm::settings() const
{
    TestCodeSettings s;
    s.sessionMode = TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))];
    s.level = NiveauBox->currentIndex() + 1;
    s.length = TestLengths[size_t(qBound(0, LengteBox->currentIndex(), int(TestLengths.size()) - 1))];
    if (s.sessionMode != -10)
        for (int n = 1; n <= ThemaBoxes.size(); ++n)
            if (!ThemaBoxes[n - 1]->isHidden() && ThemaBoxes[n - 1]->isChecked())
                s.themes |= 1u << (n - 1);
    s.readAloud = VoorlezenBox->isChecked();
    return s;
}

void TToetsMakenForm::OnderdeelBoxChange()
{
    const int m = TestTopics[size_t(qBound(0, OnderdeelBox->currentIndex(), 3))];
    ShowTopicThemes(m, ThemaBoxes, AllesLabel, ThemaGroep, QStringLiteral("|Kies minstens drie thema's voor de toets"));
    // The mixed challenge is always at the highest level; the teacher's level comes back after.
    FixLevelForMixed(NiveauBox, m == -10, &chosenLevel_);
    choiceChanged();
}

void TToetsMakenForm::choiceChanged()
{
    code_.clear();
    CodeLabel->clear();
    InhoudLabel->clear();
    KopieerButton->setEnabled(false);
    const TestCodeSettings s = settings();
    const bool ok = IsValidTestSettings(s);
    MaakButton->setEnabled(ok);
    RegelLabel->setText(ok ? QString() : QStringLiteral("Kies minstens drie thema's."));
}

void TToetsMakenForm::MaakButtonClick()
{
    TestCodeSettings s = settings();
    s.seed = NewTestSeed();
    const std::optional<QString> code = EncodeTestCode(s);
    if (!code) {
        ShowMessage(QStringLiteral("Kies minstens drie thema's."));
        return;
    }
    code_ = *code;
    CodeLabel->setText(GroupTestCode(code_));
    InhoudLabel->setText(DescribeTest(s));
    RegelLabel->clear();
    KopieerButton->setEnabled(true);
    KopieerButton->setFocus();
}

void TToetsMakenForm::KopieerButtonClick()
{
    if (code_.isEmpty())
        return;
    if (QClipboard* c = QGuiApplication::clipboard())
        c->setText(GroupTestCode(code_));
    RegelLabel->setText(QStringLiteral("De code staat op het klembord."));
}

}  // namespace kav

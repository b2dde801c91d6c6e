#include "windows/testform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/text.h"
#include "games/bookkeeper.h"
#include "games/saldo.h"
#include "results/store.h"
#include "session/engine.h"
#include "session/session.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "windows/calculator.h"
#include "windows/helpscherm.h"
#include "windows/readaloud.h"

namespace kav {

// ---- PaintBox ----------------------------------------------------------------

PaintBox::PaintBox(Canvas* source, QWidget* parent) : QWidget(parent), source_(source)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallAccessibility();
}

void PaintBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (source_)
        p.drawImage(0, 0, source_->image());
}

// ---- TRadioGroup -------------------------------------------------------------

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent) : QGroupBox(title, parent)
{
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("NivoItem%1").arg(i));
        b->installEventFilter(this);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit changed();
        });
        buttons.append(b);
    }
}

int TRadioGroup::itemIndex() const
{
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

void TRadioGroup::setItemIndex(int i)
{
    if (i >= 0 && i < buttons.size())
        buttons[i]->setChecked(true);
}

bool TRadioGroup::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusOut) {
        // Leaving the group (not moving between its own items) is its exit.
        QWidget* next = QApplication::focusWidget();
        if (!next || !isAncestorOf(next))
            emit exited();
    }
    return QGroupBox::eventFilter(o, e);
}

// ---- TTestForm ---------------------------------------------------------------

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, int points, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    SetDesignFont(l, points, bold);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int points, bool bold)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    SetDesignFont(b, points, bold);
    return b;
}

// The START picture: a green arrow pointing right.
QImage startGlyph(int size)
{
    QImage img(size * 3 / 2, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double w = img.width(), h = img.height();
    const QPointF pts[7] = {{0.05 * w, 0.32 * h}, {0.55 * w, 0.32 * h}, {0.55 * w, 0.08 * h}, {0.95 * w, 0.5 * h},
                            {0.55 * w, 0.92 * h}, {0.55 * w, 0.68 * h}, {0.05 * w, 0.68 * h}};
    p.setPen(QPen(QColor(0, 80, 0), qMax(1.0, h / 16)));
    p.setBrush(QColor(0, 170, 0));
    p.drawPolygon(pts, 7);
    return img;
}

}  // namespace

TTestForm::TTestForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TestForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);
    Klok = new QTimer(this);
    Klok->setObjectName(QStringLiteral("Klok"));
    connect(Klok, &QTimer::timeout, this, &TTestForm::KlokTimer);
    bookkeeper_ = {&BookkeeperIntro, &BookkeeperResume, &BookkeeperNext, {}};
    saldo_ = {&SaldoIntro, {}, &SaldoNext, &SaldoTick};
    oke = PraiseWords();

    // The drawing areas.
    Tekst = new PaintBox(&TextBitmap, this);
    Tekst->setObjectName(QStringLiteral("Tekst"));
    Tekst->setAccessibleName(QStringLiteral("Opgave"));
    Place(Tekst, 0, 0, 228, 416);
    Plaatje = new PaintBox(&PictureBitmap, this);
    Plaatje->setObjectName(QStringLiteral("Plaatje"));
    Plaatje->setAccessibleName(QStringLiteral("Plaatje"));
    Plaatje->description = [] { return Session().PictureDescription; };
    Place(Plaatje, 229, 6, 403, 404);

    // Theme choice over the picture.
    KeuzeBox = new QGroupBox(QStringLiteral("Keuze - lijst "), this);
    KeuzeBox->setObjectName(QStringLiteral("KeuzeBox"));
    KeuzeBox->setAutoFillBackground(true);  // the picture behind it must not show through
    SetDesignFont(KeuzeBox, 11, true);
    SetHint(KeuzeBox, QStringLiteral("|Kies nivo, thema's en druk op START"));
    Place(KeuzeBox, 229, 6, 403, 404);
    for (int j = 0; j < 8; ++j) {
        auto* c = new QCheckBox(KeuzeBox);
        c->setObjectName(QStringLiteral("CheckBox%1").arg(j + 1));
        SetTag(c, j + 1);
        SetDesignFont(c, 12);
        Place(c, 20, 36 + 44 * j, 370, 32);
        connect(c, &QCheckBox::clicked, this, &TTestForm::CheckBox1Click);
        CheckBoxes[j] = c;
    }

    // Level choice and START.
    NivoBox = new TRadioGroup(QStringLiteral("Kies het niveau"),
                              {QStringLiteral(" Starter"), QStringLiteral(" Durver"), QStringLiteral(" Prof !")}, this);
    NivoBox->setObjectName(QStringLiteral("NivoBox"));
    NivoBox->setAutoFillBackground(true);
    {
        QPalette pal = NivoBox->palette();
        pal.setColor(QPalette::WindowText, col::Purple);
        NivoBox->setPalette(pal);
    }
    SetDesignFont(NivoBox, 10, true);
    SetHint(NivoBox, QStringLiteral("|Klik het juiste nivo aan"));
    Place(NivoBox, 8, 312, 212, 104);
    for (int i = 0; i < NivoBox->buttons.size(); ++i) {
        SetDesignFont(NivoBox->buttons[i], 11, true);
        Place(NivoBox->buttons[i], 10, 24 + 25 * i, 110, 24);
    }
    connect(NivoBox, &TRadioGroup::exited, this, &TTestForm::NivoBoxExit);
    connect(NivoBox, &TRadioGroup::changed, this, &TTestForm::NivoBoxExit);

    StartButton = new TBitButton(QStringLiteral("&START"), this);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setAutoDefault(false);
    StartButton->setStyleSheet(QString());
    SetDesignFont(StartButton, 12, true);
    {
        QPalette pal = StartButton->palette();
        pal.setColor(QPalette::ButtonText, QColor(0, 0, 255));
        StartButton->setPalette(pal);
    }
    SetHint(StartButton, QStringLiteral("|Druk op START om te beginnen"));
    Place(StartButton, 120, 330, 92, 66);
    connect(StartButton, &QPushButton::clicked, this, &TTestForm::StartButtonClick);

    // Score.
    ScorePanel = new TPanel(this);
    ScorePanel->setObjectName(QStringLiteral("ScorePanel"));
    Place(ScorePanel, 8, 354, 212, 62);
    ScoreTextLabel = label(ScorePanel, "ScoreTextLabel", QStringLiteral("SCORE"), 10, true);
    ScoreTextLabel->setStyleSheet(QStringLiteral("color: rgb(0,128,0)"));
    ScoreTextLabel->setAlignment(Qt::AlignCenter);
    Place(ScoreTextLabel, 4, 6, 92, 20);
    ScoreLabel = label(ScorePanel, "ScoreLabel", QStringLiteral("999 uit 999"), 11, true);
    ScoreLabel->setAlignment(Qt::AlignCenter);
    Place(ScoreLabel, 2, 30, 96, 24);
    KopImage = new QLabel(ScorePanel);
    KopImage->setObjectName(QStringLiteral("KopImage"));
    KopImage->setScaledContents(true);
    Place(KopImage, 98, 10, 42, 42);
    NivoButton = button(ScorePanel, "NivoButton", QString(), 10, false);
    SetTag(NivoButton, -1);
    SetHint(NivoButton, QStringLiteral("Niveau|Klik om een ander niveau te kiezen"));
    Place(NivoButton, 142, 5, 66, 52);
    connect(NivoButton, &QPushButton::clicked, this, &TTestForm::NivoButtonClick);

    // Answer entry.
    InvoerPanel = new TPanel(this);
    InvoerPanel->setObjectName(QStringLiteral("InvoerPanel"));
    Place(InvoerPanel, 8, 200, 212, 34);
    InvoerLabel = label(InvoerPanel, "InvoerLabel", QString(), 10, true);
    InvoerLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(InvoerLabel, 2, 4, 126, 26);
    InvoerVeld = new QLineEdit(InvoerPanel);
    InvoerVeld->setObjectName(QStringLiteral("InvoerVeld"));
    InvoerVeld->installEventFilter(this);
    InvoerVeld->setMaxLength(40);
    SetDesignFont(InvoerVeld, 11, true);
    SetHint(InvoerVeld, QStringLiteral("|Breuken zijn toegestaan!"));
    Place(InvoerVeld, 130, 4, 78, 26);
    InvoerPanel->hide();

    GebruikPanel = new TPanel(this);
    GebruikPanel->setObjectName(QStringLiteral("GebruikPanel"));
    Place(GebruikPanel, 8, 236, 212, 64);
    InfoLabel = label(GebruikPanel, "InfoLabel", QString(), 9);
    InfoLabel->setWordWrap(true);
    InfoLabel->setStyleSheet(QStringLiteral("color: rgb(128,0,0)"));
    Place(InfoLabel, 4, 4, 160, 56);
    infoImage = new QLabel(GebruikPanel);
    infoImage->setObjectName(QStringLiteral("infoImage"));
    infoImage->setScaledContents(true);
    Place(infoImage, 166, 12, 40, 40);
    GebruikPanel->hide();

    // The test's settings: name, class code and length, in the text column on the choice screen;
    // each its own row, so that the whole code (eleven characters) shows.
    ToetsPanel = new TPanel(this);
    ToetsPanel->setObjectName(QStringLiteral("ToetsPanel"));
    Place(ToetsPanel, 8, 124, 212, 154);
    NaamLabel = label(ToetsPanel, "NaamLabel", QStringLiteral("Naam:"), 10, true);
    Place(NaamLabel, 6, 4, 200, 20);
    NaamVeld = new QLineEdit(ToetsPanel);
    NaamVeld->setObjectName(QStringLiteral("NaamVeld"));
    NaamVeld->setMaxLength(40);
    SetDesignFont(NaamVeld, 11, true);
    SetHint(NaamVeld, QStringLiteral("Naam|Vul je naam in"));
    Place(NaamVeld, 6, 24, 200, 26);
    connect(NaamVeld, &QLineEdit::textChanged, this, &TTestForm::UpdateSelection);
    CodeLabel = label(ToetsPanel, "CodeLabel", QStringLiteral("Toetscode:"), 10, true);
    Place(CodeLabel, 6, 54, 200, 20);
    CodeVeld = new QLineEdit(ToetsPanel);
    CodeVeld->setObjectName(QStringLiteral("CodeVeld"));
    CodeVeld->setMaxLength(16);
    SetDesignFont(CodeVeld, 11, true);
    SetHint(CodeVeld, QStringLiteral("Toetscode|De code van je docent, als je die hebt"));
    Place(CodeVeld, 6, 74, 200, 26);
    connect(CodeVeld, &QLineEdit::textChanged, this, &TTestForm::CodeVeldChange);
    AantalLabel = label(ToetsPanel, "AantalLabel", QStringLiteral("Aantal opgaven:"), 10, true);
    Place(AantalLabel, 6, 104, 200, 20);
    AantalBox = new QComboBox(ToetsPanel);
    AantalBox->setObjectName(QStringLiteral("AantalBox"));
    for (int length : TestLengths)
        AantalBox->addItem(length > 0 ? QString::number(length) : QStringLiteral("Onbeperkt"), length);
    SetDesignFont(AantalBox, 11, true);
    SetHint(AantalBox, QStringLiteral("Aantal opgaven|Hoeveel opgaven de test heeft"));
    Place(AantalBox, 6, 124, 120, 26);
    ToetsPanel->hide();

    ContinueButton = button(this, "ContinueButton", QStringLiteral("&Doorgaan"), 11, true);
    SetHint(ContinueButton, QStringLiteral("Nieuwe opgave|Druk op  'Doorgaan'  of  'Einde'"));
    Place(ContinueButton, 8, 4, 212, 30);
    ContinueButton->installEventFilter(this);
    connect(ContinueButton, &QPushButton::clicked, this, &TTestForm::ContinueButtonClick);
    ContinueButton->hide();

    // Status bar.
    StatusBalk = new TPanel(this);
    StatusBalk->setObjectName(QStringLiteral("StatusBalk"));
    SetDesignFont(StatusBalk, 12, false, true);
    Place(StatusBalk, 0, 416, 640, 37);
    EindButton = button(StatusBalk, "EindButton", QStringLiteral("&Einde"), 10, true);
    SetHint(EindButton, QStringLiteral("Einde|Terug naar het keuzescherm of het hoofdmenu"));
    Place(EindButton, 8, 4, 80, 29);
    connect(EindButton, &QPushButton::clicked, this, &TTestForm::EindButtonClick);
    CalcButton = button(StatusBalk, "CalcButton", QString(), 10, false);
    SetHint(CalcButton, QStringLiteral("Rekenmachine|Open de rekenmachine"));
    Place(CalcButton, 96, 2, 36, 33);
    connect(CalcButton, &QPushButton::clicked, this, &TTestForm::CalcButtonClick);
    HelpButton = button(StatusBalk, "HelpButton", QString(), 10, false);
    SetHint(HelpButton, QStringLiteral("Uitleg|Uitleg bij dit onderdeel"));
    Place(HelpButton, 536, 1, 96, 35);
    connect(HelpButton, &QPushButton::clicked, this, &TTestForm::HelpButtonClick);
    readAloud_ = new ReadAloud(StatusBalk, this, &TextBitmap, &PictureBitmap);
    SetDesignFont(readAloud_->button(), 10);
    Place(readAloud_->button(), 432, 4, 96, 29);

    // Creation, in order.
    Klok->stop();
    if (!OpenLibrary(Library::Reskav2)) {
        ShowMessage(LibraryErrorMessage(Library::Reskav2));
        librariesOk_ = false;
        return;
    }
    Session().SessionRunning = false;
    if (!OpenLibrary(Library::Boekhoud)) {
        ShowMessage(LibraryErrorMessage(Library::Boekhoud));
        librariesOk_ = false;
        return;
    }
    layoutForScreen(AvailableScreenSize());
    calculator_ = new Calculator(this, Plaatje);
    calculator_->setKeepClear([this]() {
        QList<QRect> clear;
        for (const auto& [area, canvas] : {std::pair{static_cast<QWidget*>(Plaatje), &PictureBitmap},
                                           std::pair{static_cast<QWidget*>(Tekst), &TextBitmap}})
            for (const TextLogEntry& e : canvas->textLog())
                if (!e.text.trimmed().isEmpty())
                    clear.append(QRect(area->mapToGlobal(QPoint(e.x, e.y)),
                                       QSize(e.width, Round(1.25 * PointsToPixels(e.size)))));
        // The answer field, Doorgaan (where it comes after the answer), the score and the
        // status bar with Einde.
        const QRect doorgaan(ContinueButton->x(), ScorePanel->y() - ContinueButton->height() - 1,
                             ContinueButton->width(), ContinueButton->height());
        for (const QRect& r : {InvoerPanel->geometry(), doorgaan, ScorePanel->geometry(), StatusBalk->geometry()})
            clear.append(QRect(mapToGlobal(r.topLeft()), r.size()));
        return clear;
    });
    // The settings a class code locks: a click on them says why they do not change.
    for (QWidget* w : std::initializer_list<QWidget*>{NivoBox, KeuzeBox, AantalBox})
        w->installEventFilter(this);
    for (QWidget* w : NivoBox->buttons)
        w->installEventFilter(this);
    for (QWidget* w : CheckBoxes)
        w->installEventFilter(this);
}

TTestForm::~TTestForm()
{
    DisconnectChildren(this);
}

ResultStore* TTestForm::store()
{
    if (!store_)
        store_ = std::make_unique<ResultStore>();
    return store_.get();
}

void TTestForm::layoutForScreen(QSize screen)
{
    controlScale_ = ControlScale(screen);
    ScaleControls(this, controlScale_);
    client_ = ClientSizeFor(this, screen);
    setFixedSize(client_);
    const int cw = client_.width(), ch = client_.height();
    StatusBalk->setGeometry(0, ch - StatusBalk->height(), cw, StatusBalk->height());
    StatusBalk->setCaptionMargins(CalcButton->x() + CalcButton->width(), cw - readAloud_->button()->x());

    const Picture calc = LoadPicture(QStringLiteral("calc"));
    const int side = Round(ScreenScale * calc.width());
    SetGlyph(CalcButton, RenderPicture(calc, side, side));
    SetTag(NivoButton, -1);
    StartButton->setGlyph(startGlyph(Round(26 * ControlScale(screen))));

    // Layout of the areas.
    const int statusTop = StatusBalk->y();
    // The space right of the text column; the choice box fills it, the picture keeps the shape
    // of the design inside it, centred, and the rest stays button face.
    const QRect pictureSpace(Plaatje->x(), Plaatje->y(), cw - Plaatje->x() - TextMargin,
                             ch - StatusBalk->height() - 2 * Plaatje->y());
    Plaatje->setGeometry(FitShape(pictureSpace, DesignSize(Plaatje)));
    KeuzeBox->setGeometry(pictureSpace);
    // The level box stands a little clear of the status bar.
    NivoBox->move(NivoBox->x(), statusTop - Tekst->y() - NivoBox->height() - Round(4 * ControlScale(screen)));
    StartButton->move(StartButton->x(), NivoBox->y() + Round(ScreenScale * 20));
    ScorePanel->move(ScorePanel->x(), statusTop - ScorePanel->height() - Tekst->y());
    Tekst->resize(Tekst->width(), ch - StatusBalk->height());
    const int box = Round(18 * ControlScale(screen));
    // The focus shows as on the buttons: a navy frame, kept clear (transparent) without it so
    // that nothing moves when it comes.
    const QString indicator =
        QStringLiteral("QCheckBox::indicator, QRadioButton::indicator { width: %1px; height: %1px; }") +
        QStringLiteral(" QCheckBox, QRadioButton { border: %1px solid transparent; }"
                       " QCheckBox:focus, QRadioButton:focus { border-color: %2; }")
            .arg(FocusFrameWidth())
            .arg(FocusFrameColour().name());
    for (QCheckBox* c : CheckBoxes) {
        c->resize(KeuzeBox->width() - 2 * c->x(), c->height());
        c->setStyleSheet(indicator.arg(box));
    }
    for (QRadioButton* r : NivoBox->buttons)
        r->setStyleSheet(indicator.arg(Round(14 * ControlScale(screen))) +
                         QStringLiteral(" QRadioButton { color: rgb(128,0,128); }"));

    toetsPanelPlace_ = ToetsPanel->geometry();

    // The two drawing surfaces.
    PictureBitmap.setSize(Plaatje->width(), Plaatje->height());
    TextBitmap.setSize(Tekst->width(), Tekst->height());
    ClearBitmap(&PictureBitmap, col::BtnFace);
    ClearBitmap(&TextBitmap, col::BtnFace);
    // The text font: the status bar font, plain, as large as one line allows.
    SetAreaMeasures(PictureBitmap, TextBitmap, FontPoints(StatusBalk));
    SetFontPoints(StatusBalk, TextBitmap.font.size);
    SetContext(&PictureBitmap, &TextBitmap, this);
    SetGamePort(this);
    SetExplanationHandler(&Toelichting);

    if (AppForms().Menu)
        AppForms().Menu->setSaldoTag(0);
}

void TTestForm::showFromMainMenu()
{
    activatePending_ = true;
    ShowModal(this);
}

void TTestForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Back from the viewer, the hints go to this window's status bar again.
    InstallHintSink([this](const QString& h) { StatusBalk->setCaption(h); });
    if (activatePending_) {
        // A fresh session from the main menu: the frame may be known by now. (Coming back from
        // the viewer the drawing must stay, so the layout is kept.)
        if (ClientSizeFor(this, AvailableScreenSize()) != client_)
            layoutForScreen(AvailableScreenSize());
        activatePending_ = false;
        FormActivate();
    }
}

void TTestForm::setKopImage(const QString& name)
{
    const Picture pic = LoadPicture(name);
    KopImage->setPixmap(QPixmap::fromImage(RenderPicture(pic, KopImage->width(), KopImage->height())));
}

void TTestForm::paintBitmaps()
{
    Tekst->update();
    Plaatje->update();
}

TTestForm* SessionWindow()
{
    Forms& f = AppForms();
    if (!f.Test)
        f.Test = new TTestForm();
    return f.Test;
}

// The viewer and the calculator, called up from the session: the focus comes back where the
// pupil was.
void TTestForm::HelpButtonClick()
{
    THelpScherm* help = ViewerWindow();
    if (!help)
        return;
    const SessionState& s = Session();
    int step = help->scriptStep();
    if (s.SessionRunning && (s.PracticeMode || s.DemoMode)) {
        step = s.ThemeCode % 10;
        if (step == 0)
            step = 10;
    } else if (!s.SessionRunning) {
        step = 0;
    }
    int number = s.SessionMode / 10 + 1;
    if (s.BookkeeperMode) {
        number = 5;
        step = 2;
    }
    if (s.SessionMode < 0) {
        number = 5;
        step = 1;
    }
    help->setScriptNumber(number);
    help->setScriptStep(step);
    ShowModal(help, [this]() { showAfterViewer(); });
}

void TTestForm::showAfterViewer()
{
    const SessionState& s = Session();
    activateWindow();
    if (ContinueButton->isVisible() && s.SessionRunning)
        ContinueButton->setFocus();
    else if (InvoerPanel->isVisible() && s.SessionRunning)
        InvoerVeld->setFocus();
    else
        ShowChoiceScreen();
}

void TTestForm::CalcButtonClick()
{
    if (calculator_)
        calculator_->showOrRaise();
    if (InvoerPanel->isVisible())
        InvoerVeld->setFocus();
    else if (ContinueButton->isVisible())
        ContinueButton->setFocus();
}

}  // namespace kav

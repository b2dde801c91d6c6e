#include "windows/mainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>
#include <QWindow>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "session/session.h"
#include "ui/forms.h"
#include "windows/accessibility.h"
#include "windows/helpscherm.h"
#include "windows/teachercodeform.h"
#include "windows/teacherform.h"
#include "windows/testform.h"

namespace kav {

namespace {

// Without its title: a group box measures its title at every font change, so the titles are
// set once the fonts have their size for the screen.
QGroupBox* groupBox(QWidget* parent, const char* name)
{
    auto* g = new QGroupBox(parent);
    g->setObjectName(QString::fromLatin1(name));
    SetDesignFont(g, 10, true);
    return g;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int points, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    SetDesignFont(l, points, bold);
    return l;
}

// A picture of the program's own, as large as fits in size with its shape kept.
QImage RenderSvg(const QString& path, QSize size)
{
    QSvgRenderer svg(path);
    if (!svg.isValid() || svg.defaultSize().isEmpty() || size.isEmpty())
        return QImage();
    const QSize shown = svg.defaultSize().scaled(size, Qt::KeepAspectRatio);
    QImage img(shown, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(shown)));
    return img;
}

// A label whose text has a dark outline, so light colours stay readable on the button face.
class OutlinedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QFontMetricsF fm(font());
        QPainterPath path;
        const double x = (width() - fm.horizontalAdvance(text())) / 2;
        const double y = (height() - fm.height()) / 2 + fm.ascent();
        path.addText(QPointF(x, y), font(), text());
        const double outline = qMax(1.5, font().pixelSize() / 24.0);
        const QColor dark(70, 50, 0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawPath(path.translated(2 * outline, 2 * outline));  // a soft drop shadow
        p.setPen(QPen(dark, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(palette().color(QPalette::WindowText));
        p.drawPath(path);
    }
};

}  // namespace

QPushButton* TKavrin2MainForm::sessionButton(QWidget* parent, const QString& caption, int tag, const QString& hint)
{
    auto* b = new QPushButton(caption, parent);
    SetDesignFont(b, 10, true);
    SetTag(b, tag);
    SetHint(b, hint);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, b]() { ButtonClick(b); });
    return b;
}

TKavrin2MainForm::TKavrin2MainForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Kavrin2MainForm"));
    InstallAccessibility();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);
    SetHint(this, QStringLiteral("|Maak een keuze"));

    // Logo and program information.
    LogoPanel = new QFrame(this);
    LogoPanel->setObjectName(QStringLiteral("LogoPanel"));
    static_cast<QFrame*>(LogoPanel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Place(LogoPanel, 8, 8, 200, 120);
    LogoImage = new QLabel(LogoPanel);
    LogoImage->setObjectName(QStringLiteral("LogoImage"));
    Place(LogoImage, 0, 0, 200, 120);
    SetHint(LogoPanel, QStringLiteral("Over Kavrin 2|Klik voor informatie over het programma"));

    auto* info = new TPanel(this);
    ProgInfoPanel = info;
    info->setObjectName(QStringLiteral("ProgInfoPanel"));
    Place(info, 432, 8, 200, 120);
    SetHint(info, QStringLiteral("Over Kavrin 2|Klik voor informatie over het programma"));
    ProgNaamLabel = label(info, "ProgNaamLabel", QStringLiteral("Kavrin deel 2"), 14, true);
    ProgNaamLabel->setStyleSheet(QStringLiteral("color: rgb(0,0,128)"));
    Place(ProgNaamLabel, 10, 8, 130, 28);
    Label1 = new OutlinedLabel(QStringLiteral("8"), info);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetDesignFont(Label1, 40, true);
    {
        QPalette pal = Label1->palette();
        pal.setColor(QPalette::WindowText, col::Yellow);
        Label1->setPalette(pal);
    }
    Label1->setAlignment(Qt::AlignCenter);
    Place(Label1, 138, 4, 56, 70);
    VersieLabel = label(info, "VersieLabel", QString(), 10, true);
    Place(VersieLabel, 10, 52, 120, 20);
    DatumLabel = label(info, "DatumLabel", QString(), 10);
    Place(DatumLabel, 10, 78, 180, 20);
    for (QWidget* w : {static_cast<QWidget*>(LogoPanel), static_cast<QWidget*>(LogoImage), ProgInfoPanel,
                       static_cast<QWidget*>(ProgNaamLabel), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(VersieLabel), static_cast<QWidget*>(DatumLabel)}) {
        w->installEventFilter(this);
        w->setCursor(Qt::PointingHandCursor);
    }

    // The two games.
    GroupBox1 = groupBox(this, "GroupBox1");
    Place(GroupBox1, 8, 136, 150, 298);
    Label5 = label(GroupBox1, "Label5", QStringLiteral("Twee spelletjes"), 11, true);
    Label5->setAlignment(Qt::AlignCenter);
    Place(Label5, 4, 20, 142, 20);
    Label6 = label(GroupBox1, "Label6", QStringLiteral("met Plus en Min"), 11, true);
    Label6->setAlignment(Qt::AlignCenter);
    Place(Label6, 4, 42, 142, 20);
    Button1 = sessionButton(GroupBox1, QStringLiteral("&Boekhouderspel"), 40,
                            QStringLiteral("Boekhouderspel|Reken het saldo uit van tegoed- en schuldbonnen"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Place(Button1, 10, 100, 130, 30);
    Button2 = sessionButton(GroupBox1, QStringLiteral("&Saldo Plus"), 1,
                            QStringLiteral("Saldo Plus|Dobbelspel met plus en min tegen de computer"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Place(Button2, 10, 200, 130, 30);

    // The three topics.
    GroupBox2 = groupBox(this, "GroupBox2");
    Place(GroupBox2, 200, 136, 240, 64);
    Button3 = sessionButton(GroupBox2, QStringLiteral("Oefenen"), 0, QStringLiteral("Oefenen|Oefenen met Verbanden"));
    Button3->setObjectName(QStringLiteral("Button3"));
    Place(Button3, 14, 24, 100, 30);
    Button4 = sessionButton(GroupBox2, QStringLiteral("Test"), 0, QStringLiteral("Test|Een test over Verbanden"));
    Button4->setObjectName(QStringLiteral("Button4"));
    Place(Button4, 126, 24, 100, 30);

    GroupBox3 = groupBox(this, "GroupBox3");
    Place(GroupBox3, 200, 237, 240, 64);
    Button5 = sessionButton(GroupBox3, QStringLiteral("Oefenen"), 10,
                            QStringLiteral("Oefenen|Oefenen met Verhoudingen"));
    Button5->setObjectName(QStringLiteral("Button5"));
    Place(Button5, 14, 24, 100, 30);
    Button6 = sessionButton(GroupBox3, QStringLiteral("Test"), 10, QStringLiteral("Test|Een test over Verhoudingen"));
    Button6->setObjectName(QStringLiteral("Button6"));
    Place(Button6, 126, 24, 100, 30);

    GroupBox4 = groupBox(this, "GroupBox4");
    Place(GroupBox4, 200, 334, 240, 100);
    Button7 = sessionButton(GroupBox4, QStringLiteral("&Uitleg / Demo"), 30,
                            QStringLiteral("Uitleg en demonstratie|Uitleg en demonstraties over driehoeksgetallen"));
    Button7->setObjectName(QStringLiteral("Button7"));
    Place(Button7, 14, 24, 212, 30);
    Button8 = sessionButton(GroupBox4, QStringLiteral("Oefenen"), 20,
                            QStringLiteral("Oefenen|Oefenen met Driehoeksgetallen"));
    Button8->setObjectName(QStringLiteral("Button8"));
    Place(Button8, 14, 60, 100, 30);
    Button9 = sessionButton(GroupBox4, QStringLiteral("Test"), 20,
                            QStringLiteral("Test|Een test over Driehoeksgetallen"));
    Button9->setObjectName(QStringLiteral("Button9"));
    Place(Button9, 126, 60, 100, 30);

    // The mixed challenge.
    GroupBox5 = groupBox(this, "GroupBox5");
    Place(GroupBox5, 482, 136, 150, 298);
    Label2 = label(GroupBox5, "Label2", QStringLiteral("Grote uitdaging:"), 11, true);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setStyleSheet(QStringLiteral("color: rgb(255,0,0)"));
    Place(Label2, 4, 24, 142, 22);
    AllesButton = sessionButton(GroupBox5, QString(), -10,
                                QStringLiteral("Grote uitdaging|Een test over alle thema's door elkaar"));
    AllesButton->setObjectName(QStringLiteral("AllesButton"));
    Place(AllesButton, 30, 60, 90, 100);
    Label4 = label(GroupBox5, "Label4", QStringLiteral("Alles door elkaar"), 11, true);
    Label4->setAlignment(Qt::AlignCenter);
    Place(Label4, 4, 180, 142, 22);

    // Status bar.
    StatusBalk = new TPanel(this);
    StatusBalk->setObjectName(QStringLiteral("StatusBalk"));
    SetDesignFont(StatusBalk, 10, false, true);
    Place(StatusBalk, 0, 440, 640, 40);
    EindButton = new QPushButton(QStringLiteral("&Einde"), StatusBalk);
    EindButton->setObjectName(QStringLiteral("EindButton"));
    SetDesignFont(EindButton, 10, true);
    SetHint(EindButton, QStringLiteral("Einde|Stoppen met Kavrin 2"));
    Place(EindButton, 8, 5, 80, 30);
    connect(EindButton, &QPushButton::clicked, this, &TKavrin2MainForm::EindButtonClick);
    HelpButton = new QPushButton(StatusBalk);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    SetHint(HelpButton, QStringLiteral("Uitleg|Uitleg over het programma"));
    Place(HelpButton, 536, 2, 96, 36);
    connect(HelpButton, &QPushButton::clicked, this, &TKavrin2MainForm::HelpButtonClick);
    ResultatenButton = new QPushButton(StatusBalk);
    ResultatenButton->setObjectName(QStringLiteral("ResultatenButton"));
    ResultatenButton->setAutoDefault(false);
    SetHint(ResultatenButton, QStringLiteral("Resultaten|Resultaten bekijken en toetsen maken (voor de docent)"));
    Place(ResultatenButton, 492, 2, 36, 36);
    connect(ResultatenButton, &QPushButton::clicked, this, &TKavrin2MainForm::ResultatenButtonClick);

    OpenLibrary(Library::Reskav2);  // not checked here: the session window checks it
    VersieLabel->setText(QStringLiteral("V1.1"));
    DatumLabel->setText(QStringLiteral("augustus 2003"));
    setWindowTitle(QStringLiteral("Kavrin 2: V1.1"));
    layoutForScreen(AvailableScreenSize());
    GroupBox2->setTitle(QStringLiteral("  Verbanden  "));
    GroupBox3->setTitle(QStringLiteral("  Verhoudingen  "));
    GroupBox4->setTitle(QStringLiteral("  Driehoeksgetallen  "));
}

void TKavrin2MainForm::layoutForScreen(QSize screen)
{
    const double f = ControlScale(screen);
    ScaleControls(this, f);
    client_ = ClientSizeFor(this, screen);
    setFixedSize(client_);
    ScreenScale = screen.width() / 640.0;
    TextMargin = Round(ScreenScale * 8);
    StatusFontSize = FontPoints(StatusBalk);
    const int cw = client_.width(), ch = client_.height();
    StatusBalk->setGeometry(0, ch - StatusBalk->height(), cw, StatusBalk->height());

    makeLogo();

    // Picture buttons.
    winner_ = LoadPicture(QStringLiteral("winner"));
    const Picture infoPic = LoadPicture(QStringLiteral("info"));
    SetGlyph(HelpButton, RenderPicture(infoPic, Round(86 * ScreenScale), Round(31 * ScreenScale)));
    HelpButton->move(cw - HelpButton->width() - TextMargin, HelpButton->y());
    // The teacher's button, small beside the information button: the hints stay between it
    // and Einde.
    const QSize clip(Round(34 * ScreenScale), Round(31 * ScreenScale));
    SetGlyph(ResultatenButton, RenderSvg(QStringLiteral(":/app/resultaten.svg"), clip));
    ResultatenButton->move(HelpButton->x() - ResultatenButton->width() - TextMargin / 2, ResultatenButton->y());
    StatusBalk->setCaptionMargins(EindButton->x() + EindButton->width(), cw - ResultatenButton->x());
    SetGlyph(AllesButton, RenderPicture(winner_, Round(50 * ScreenScale), Round(57 * ScreenScale)));

    // The groups spread over the width and height between the logo and the status bar.
    const int logoBottom = LogoPanel->geometry().bottom() + 1;
    const int statusTop = StatusBalk->y();
    GroupBox5->move(cw - TextMargin - GroupBox5->width(), GroupBox5->y());
    ProgInfoPanel->move(cw - ProgInfoPanel->width() - TextMargin, ProgInfoPanel->y());
    const int g1Right = GroupBox1->geometry().right() + 1;
    const int middleLeft = g1Right + (GroupBox5->x() - g1Right - GroupBox2->width()) / 2;
    GroupBox1->resize(GroupBox1->width(), statusTop - logoBottom - 2 * LogoPanel->y());
    GroupBox1->move(GroupBox1->x(), logoBottom + (statusTop - logoBottom - GroupBox1->height()) / 2);
    GroupBox5->setGeometry(GroupBox5->x(), GroupBox1->y(), GroupBox5->width(), GroupBox1->height());
    const int g1Bottom = GroupBox1->y() + GroupBox1->height();
    GroupBox2->move(middleLeft, GroupBox1->y());
    GroupBox4->move(middleLeft, g1Bottom - GroupBox4->height());
    GroupBox3->move(middleLeft, (GroupBox2->y() + GroupBox4->y()) / 2);
    Label4->move(Label4->x(), AllesButton->y() + AllesButton->height() +
                                  (GroupBox5->height() - AllesButton->y() - AllesButton->height() - Label4->height()) /
                                      2);
    const int b7Bottom = Button7->y() + Button7->height();
    const int b5Bottom = Button5->y() + Button5->height();
    Button2->move(Button2->x(), (GroupBox4->y() - GroupBox1->y()) + b7Bottom - Button2->height());
    Button1->move(Button1->x(), (GroupBox3->y() - GroupBox1->y()) + b5Bottom - Button1->height());
}

void TKavrin2MainForm::makeLogo()
{
    const int w = LogoPanel->width(), h = LogoPanel->height();
    LogoImage->setGeometry(0, 0, w, h);
    Canvas c(w, h);
    c.setBrush(col::BtnFace);
    c.fillRect(0, 0, w, h);
    QSvgRenderer svg(QStringLiteral(":/app/logo.svg"));
    if (svg.isValid() && !svg.defaultSize().isEmpty()) {
        const QSize d = svg.defaultSize();
        const int lh = Round(double(w) * d.height() / d.width());
        QPainter p(&c.image());
        p.setRenderHint(QPainter::Antialiasing, true);
        svg.render(&p, QRectF(0, 0, w, lh));
    }
    // The maker's name across the bottom, as large as the rounded frame allows: the ink of the
    // slanted letters (not just their advance) stays clear of the frame's corners.
    c.font.family = FontFamily;
    c.font.bold = true;
    c.font.italic = true;
    c.font.size = FontPoints(VersieLabel);
    c.font.color = col::Navy;
    const QString maker = QStringLiteral("Orvelaan");
    const auto ink = [&c, &maker] { return QFontMetrics(c.qfont()).tightBoundingRect(maker); };
    // The largest size whose ink fits the room. Each size asked of the font system costs a font
    // load, so the size is first guessed: with Arial's metrics the name's ink is about 5.59
    // times the size. When that guess is not the answer (another font), the ink at the guess
    // gives a second estimate, which is then settled by looking at its neighbours: the ink grows
    // with the size.
    const int room = w - 2 * Round(w * 0.06);
    const int start = c.font.size;
    const auto fits = [&](int size) {
        c.font.size = size;
        return ink().width() <= room;
    };
    const auto settle = [&](int size) {
        while (size >= start && !fits(size))
            --size;
        while (size < 399 && fits(size + 1))
            ++size;
        return size;
    };
    int size = qBound(start, int(room / 5.59), 399);
    c.font.size = size;
    if (const int guessInk = ink().width(); guessInk > room || (size < 399 && fits(size + 1)))
        size = settle(guessInk > 0 ? qBound(start, int(double(size) * room / guessInk), 399) : start);
    c.font.size = size;
    const QRect r = ink();
    const int x = (w - r.width()) / 2 - r.left();
    const int y = (h - c.textHeight(maker)) - Round(4 * ScreenScale);
    c.textOut(x, y, maker);
    logo_ = c.image();
    LogoImage->setPixmap(QPixmap::fromImage(logo_));
}

void TKavrin2MainForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    const QSize wanted = ClientSizeFor(this, AvailableScreenSize());
    if (wanted != client_)
        layoutForScreen(AvailableScreenSize());
    activate();
    // The window manager frames the window a moment after it is shown; once the frame is
    // known, every window is laid out again so that it fits the usable screen with its frame.
    if (!HasScreenOverride())
        for (int ms : {100, 400, 1500})
            QTimer::singleShot(ms, this, &TKavrin2MainForm::fitFrame);
}

void TKavrin2MainForm::paintEvent(QPaintEvent* e)
{
    QWidget::paintEvent(e);
    // The program's icon, for all its windows, once the menu's first frame is on the screen:
    // rendering it for the window system is not worth the wait before the menu shows.
    if (!iconSet_) {
        iconSet_ = true;
        QTimer::singleShot(0, qApp, [] { QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/app/kavrin2.svg"))); });
    }
}

void TKavrin2MainForm::fitFrame()
{
    if (!windowHandle() || !isVisible())
        return;
    const QMargins m = windowHandle()->frameMargins();
    if (m.isNull() || m == KnownFrameMargins())
        return;
    LearnFrameMargins(m);
    const QSize screen = AvailableScreenSize();
    layoutForScreen(screen);
    move(ScreenOrigin());
    Forms& f = AppForms();
    if (f.Test && !f.Test->isVisible())
        f.Test->layoutForScreen(screen);
    if (f.Help && !f.Help->isVisible())
        f.Help->layoutForScreen(screen);
}

void TKavrin2MainForm::activate()
{
    move(ScreenOrigin());
    Session().ThemeCode = -1;
    InstallHintSink([this](const QString& h) { StatusBalk->setCaption(h); });
    StatusBalk->setCaption(LongHint(Hint(this)));
}

bool TKavrin2MainForm::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease && o->isWidgetType()) {
        ProgInfoPanelClick();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void TKavrin2MainForm::keyPressEvent(QKeyEvent* e)
{
    // Enter presses the button that has the focus, as Space does; not Einde, which a pupil
    // who presses Enter by habit would not mean.
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
        auto* b = qobject_cast<QPushButton*>(focusWidget());
        if (b && b != EindButton && b->isVisible() && b->isEnabled()) {
            b->click();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void TKavrin2MainForm::ButtonClick(QPushButton* button)
{
    ClearSessionFlags();
    SessionState& s = Session();
    TTestForm* test = SessionWindow();
    s.SessionMode = Tag(button);
    if (button == Button7)
        s.DemoMode = true;
    if (button == Button3 || button == Button5 || button == Button8)
        s.PracticeMode = true;
    if (button == Button1)
        s.BookkeeperMode = true;
    if (button == Button2)
        s.SaldoMode = true;
    if (test)
        test->showFromMainMenu();
}

void TKavrin2MainForm::HelpButtonClick()
{
    THelpScherm* help = ViewerWindow();
    if (!help)
        return;
    help->setWindowTitle(ViewerTitle());
    Session().SessionMode = 0;
    help->FromMainMenu = -1;
    help->setScriptNumber(0);
    help->setScriptStep(0);
    help->IntroOnly = true;
    ShowModal(help, [help]() {
        help->FromMainMenu = 0;
        help->IntroOnly = false;
    });
}

void TKavrin2MainForm::ProgInfoPanelClick()
{
    THelpScherm* help = ViewerWindow();
    if (!help)
        return;
    help->setWindowTitle(ViewerTitle());
    help->setScriptNumber(-1);
    Session().SessionMode = 0;
    ShowModal(help);
}

void TKavrin2MainForm::ResultatenButtonClick()
{
    AskTeacherCode(this, [this]() {
        if (!docent_)
            docent_ = new TDocentForm(this);
        docent_->refresh();
        ShowModal(docent_, [this]() { InstallHintSink([this](const QString& h) { StatusBalk->setCaption(h); }); });
    });
}

void TKavrin2MainForm::EindButtonClick()
{
    close();
}

void TKavrin2MainForm::closeEvent(QCloseEvent* e)
{
    e->accept();
    QApplication::quit();
}

}  // namespace kav

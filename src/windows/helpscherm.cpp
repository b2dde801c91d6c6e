#include "windows/helpscherm.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/engine.h"
#include "session/session.h"
#include "ui/forms.h"
#include "windows/readaloud.h"
#include "windows/testform.h"

namespace kav {

namespace {

const char* const programLines[] = {
    "Kavrin deel 2",
    "Rekenen en wiskunde voor de eerste klassen",
    "van het voortgezet onderwijs.",
    "",
    "Zolbix   Versie: V1.1",
    "augustus 2003",
};

const char* const infoText =
    "Gemaakt door Orvelaan.\n"
    "Vragen, opmerkingen en ideeën zijn welkom bij de maker, Orvelaan.\n"
    "\n"
    "Kavrin 2 mag vrij gebruikt en gekopieerd worden door leerlingen, ouders en scholen, "
    "thuis en in de klas, zonder kosten. Verkopen of veranderd verspreiden mag niet zonder "
    "toestemming van de maker. Het programma wordt gegeven zoals het is, zonder garantie.\n"
    "\n"
    "Ontwikkeld in C++ met Qt 6.";

}  // namespace

QString ViewerTitle()
{
    return QStringLiteral("Kavrin deel 2: Aanvullende informatie");
}

THelpScherm::THelpScherm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpScherm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(ViewerTitle());
    SetDesignFont(this, 13);

    TextBox = new PaintBox(&ViewerTextBitmap, this);
    TextBox->setObjectName(QStringLiteral("ViewerText"));
    TextBox->setAccessibleName(QStringLiteral("Uitleg"));
    PictureBox = new PaintBox(&ViewerPictureBitmap, this);
    PictureBox->setObjectName(QStringLiteral("ViewerPicture"));
    PictureBox->setAccessibleName(QStringLiteral("Plaatje"));
    PictureBox->description = [] { return QString(); };

    // About panel.
    HelpPanel = new QFrame(this);
    HelpPanel->setObjectName(QStringLiteral("HelpPanel"));
    static_cast<QFrame*>(HelpPanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    HelpPanel->setAutoFillBackground(true);
    Place(HelpPanel, 8, 8, 624, 400);
    LogoImage = new QLabel(HelpPanel);
    LogoImage->setObjectName(QStringLiteral("AboutLogo"));
    LogoImage->setScaledContents(true);
    Place(LogoImage, 16, 16, 200, 120);
    ProgMemo = new QPlainTextEdit(HelpPanel);
    ProgMemo->setObjectName(QStringLiteral("ProgMemo"));
    ProgMemo->setReadOnly(true);
    ProgMemo->setFrameStyle(QFrame::NoFrame);
    ProgMemo->setFocusPolicy(Qt::NoFocus);
    ProgMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetDesignFont(ProgMemo, 12, true);
    Place(ProgMemo, 232, 16, 376, 128);
    InfoMemo = new QPlainTextEdit(HelpPanel);
    InfoMemo->setObjectName(QStringLiteral("InfoMemo"));
    InfoMemo->setReadOnly(true);
    SetDesignFont(InfoMemo, 11);
    InfoMemo->setPlainText(QString::fromUtf8(infoText));
    Place(InfoMemo, 16, 148, 592, 240);
    for (QPlainTextEdit* m : {ProgMemo, InfoMemo}) {
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        QPalette pal = m->palette();
        pal.setColor(QPalette::Base, col::BtnFace);
        m->setPalette(pal);
    }

    // Status bar.
    StatusBalk = new TPanel(this);
    StatusBalk->setObjectName(QStringLiteral("StatusBalk"));
    SetDesignFont(StatusBalk, 10, false, true);
    Place(StatusBalk, 0, 416, 640, 37);
    EindButton = new QPushButton(QStringLiteral("&Einde"), StatusBalk);
    EindButton->setObjectName(QStringLiteral("EindButton"));
    EindButton->setAutoDefault(false);
    SetDesignFont(EindButton, 10, true);
    SetHint(EindButton, QStringLiteral("|Klik voor Einde"));
    Place(EindButton, 8, 4, 80, 29);
    connect(EindButton, &QPushButton::clicked, this, &THelpScherm::EindButtonClick);
    ContinueButton = new QPushButton(QStringLiteral("&Doorgaan"), StatusBalk);
    ContinueButton->setObjectName(QStringLiteral("ContinueButton"));
    ContinueButton->setAutoDefault(false);
    SetHint(ContinueButton, QStringLiteral("|Klik om verder te gaan"));
    SetDesignFont(ContinueButton, 10, true);
    Place(ContinueButton, 532, 4, 100, 29);
    connect(ContinueButton, &QPushButton::clicked, this, &THelpScherm::ContinueButtonClick);
    ContinueButton->installEventFilter(this);
    EindButton->installEventFilter(this);
    ContinueButton->hide();
    // "Lees voor" reads the lesson's page as it stands.
    readAloud_ = new ReadAloud(StatusBalk, this, &ViewerTextBitmap, &ViewerPictureBitmap);
    SetDesignFont(readAloud_->button(), 10);
    Place(readAloud_->button(), 424, 4, 100, 29);

    // Entry panel.
    InvoerPanel2 = new TPanel(this);
    InvoerPanel2->setObjectName(QStringLiteral("InvoerPanel2"));
    Place(InvoerPanel2, 8, 200, 212, 34);
    InvoerLabel2 = new QLabel(InvoerPanel2);
    InvoerLabel2->setObjectName(QStringLiteral("InvoerLabel2"));
    InvoerLabel2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetDesignFont(InvoerLabel2, 10, true);
    Place(InvoerLabel2, 2, 4, 126, 26);
    InvoerVeld2 = new QLineEdit(InvoerPanel2);
    InvoerVeld2->setObjectName(QStringLiteral("InvoerVeld2"));
    SetDesignFont(InvoerVeld2, 11, true);
    SetHint(InvoerVeld2, QStringLiteral("|Breuken zijn toegestaan!"));
    Place(InvoerVeld2, 130, 4, 78, 26);
    InvoerVeld2->installEventFilter(this);
    InvoerPanel2->hide();

    layoutForScreen(AvailableScreenSize());
}

void THelpScherm::layoutForScreen(QSize screen)
{
    ScaleControls(this, ControlScale(screen));
    client_ = ClientSizeFor(this, screen);
    setFixedSize(client_);
    const int cw = client_.width(), ch = client_.height();
    StatusBalk->setGeometry(0, ch - StatusBalk->height(), cw, StatusBalk->height());
    StatusBalk->setCaptionMargins(EindButton->x() + EindButton->width(), cw - readAloud_->button()->x());
    HelpPanel->setGeometry(HelpPanel->x(), HelpPanel->y(), cw - 2 * HelpPanel->x(),
                           StatusBalk->y() - HelpPanel->y() - 1);
    InfoMemo->setGeometry(InfoMemo->x(), InfoMemo->y(), HelpPanel->width() - 2 * InfoMemo->x(),
                          HelpPanel->height() - InfoMemo->y() - InfoMemo->x());
    ProgMemo->resize(HelpPanel->width() - ProgMemo->x() - InfoMemo->x(), ProgMemo->height());
    QStringList lines;
    for (const char* l : programLines)
        lines << QString::fromUtf8(l);
    ProgMemo->setPlainText(lines.join(u'\n'));
    ContinueButton->move(cw - TextMargin - ContinueButton->width(), ContinueButton->y());
    if (TTestForm* t = AppForms().Test) {
        TextBox->setGeometry(t->Tekst->geometry());
        PictureBox->setGeometry(t->Plaatje->geometry());
    }
    if (MainMenuLink* m = AppForms().Menu) {
        const QImage& logo = m->logoImage();
        LogoImage->resize(LogoImage->width(), logo.width() ? LogoImage->width() * logo.height() / logo.width()
                                                           : LogoImage->height());
        LogoImage->setPixmap(QPixmap::fromImage(logo));
    }
}

QString THelpScherm::OwnHint() const
{
    return scriptNumber_ < 0 ? QStringLiteral("Druk op 'Einde' om terug te gaan")
                             : QStringLiteral("Lees de uitleg en druk op 'Doorgaan' of 'Einde'");
}

QString THelpScherm::scriptFileName() const
{
    const int n = ((scriptNumber_ % 5) + 5) % 5;
    return QStringLiteral("demo%1.txt").arg(n);
}

void THelpScherm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;  // shown again after being minimised: the script goes on where it was
    if (ClientSizeFor(this, AvailableScreenSize()) != client_)
        layoutForScreen(AvailableScreenSize());  // the frame is known once the window is up
    FormActivate();
}

void THelpScherm::FormActivate()
{
    ++activation_;
    script_.Abort();
    entryOpen_ = false;
    ContinueButton->hide();
    InvoerPanel2->hide();
    move(ScreenOrigin());
    Forms& f = AppForms();
    if (scriptNumber_ > 0) {
        if (f.Test)
            f.Test->hide();
    } else if (f.Menu) {
        f.Menu->menuWindow()->hide();
    }
    // Whoever opens it, the window has the same title and a hint of its own in its status bar
    // (never one left behind by the window it covers).
    setWindowTitle(ViewerTitle());
    InstallHintSink([this](const QString& h) { StatusBalk->setCaption(h); });
    StatusBalk->setCaption(OwnHint());
    if (f.Test) {
        ViewerTextBitmap = f.Test->TextBitmap;
        ViewerPictureBitmap = f.Test->PictureBitmap;
    }
    readAloud_->button()->setVisible(scriptNumber_ >= 0);
    if (scriptNumber_ < 0) {
        HelpPanel->show();
        HelpPanel->raise();
        return;
    }
    ClearBitmap(&ViewerTextBitmap, col::BtnFace);
    ClearBitmap(&ViewerPictureBitmap, col::BtnFace);
    FrameBitmap(&ViewerPictureBitmap, col::Black);
    HelpPanel->hide();
    TextBox->update();
    PictureBox->update();
    TextBox->setFocus();  // not on Einde while the first steps are drawn
    // The script starts once the window is on the screen, so that a "[wait]" at its start
    // shows the window and an "[end]" can close it.
    later([this]() { startScript(); });
}

void THelpScherm::startScript()
{
    if (script_.LeesFile(scriptFileName()))
        runScript();
    else
        EindButton->setFocus();  // nothing to play
}

void THelpScherm::runScript()
{
    script_.ScriptStep = scriptStep_;
    script_.IntroOnly = IntroOnly;
    script_.Doorgaan();
}

void THelpScherm::later(std::function<void()> f)
{
    const int activation = activation_;
    QMetaObject::invokeMethod(
        this,
        [this, activation, f]() {
            if (activation == activation_ && isVisible())
                f();
        },
        Qt::QueuedConnection);
}

void THelpScherm::ContinueButtonClick()
{
    if (ContinueButton->isHidden())
        return;
    readAloud_->stop();
    runScript();
}

void THelpScherm::ShowContinue(bool focus)
{
    // What the step wrote is said, and Doorgaan repeats it when it gets the focus.
    ContinueButton->setAccessibleDescription(announceSteps().join(u' '));
    ContinueButton->show();
    ContinueButton->raise();
    if (focus)
        ContinueButton->setFocus();
}

void THelpScherm::HideContinue()
{
    // While the steps are drawn the focus rests on the text area: Qt would hand it on to Einde,
    // and an Enter meant for the next Doorgaan would end the lesson.
    if (ContinueButton->hasFocus())
        TextBox->setFocus();
    ContinueButton->hide();
}

void THelpScherm::OpenEntry(int top, const QString& prompt, int kind)
{
    // The panel stays inside the text area, also for a row below its last line.
    const int y = qBound(0, TextBox->y() + top, StatusBalk->y() - InvoerPanel2->height());
    InvoerPanel2->move(InvoerPanel2->x(), y);
    InvoerLabel2->setText(prompt + QStringLiteral(":"));
    SetHint(InvoerVeld2, QStringLiteral("|") + prompt + QStringLiteral(" ?"));
    SetTag(InvoerVeld2, kind);
    InvoerVeld2->setText(QStringLiteral("0"));
    entryOpen_ = true;
    InvoerPanel2->show();
    InvoerPanel2->raise();
    Paint();
    InvoerVeld2->setAccessibleName(prompt);
    InvoerVeld2->setAccessibleDescription(announceSteps().join(u' '));
    InvoerVeld2->setFocus();
}

QStringList THelpScherm::announceSteps()
{
    return announcer_.announce(TextBox) + announcer_.announce(PictureBox);
}

void THelpScherm::Paint()
{
    TextBox->update();
    PictureBox->update();
}

bool THelpScherm::HandleEvents(int ms)
{
    QPointer<THelpScherm> self(this);
    {
        QEventLoop loop;
        QTimer::singleShot(qMax(ms, 0), &loop, &QEventLoop::quit);
        connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return self && isVisible();
}

bool THelpScherm::eventFilter(QObject* o, QEvent* e)
{
    if ((o == ContinueButton || o == EindButton) && e->type() == QEvent::KeyPress) {
        // Enter presses the button that has the focus ("[toets]" gives it to Doorgaan).
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QPushButton*>(o)->click();
            return true;
        }
    }
    if (o == InvoerVeld2) {
        if (e->type() == QEvent::FocusIn) {
            // A window shown again hands the focus back to the field even when it is hidden.
            if (InvoerVeld2->isVisible())
                InvoerVeld2Enter();
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                InvoerVeld2->clearFocus();  // leaving the field ends the entry
                return true;
            }
        } else if (e->type() == QEvent::FocusOut) {
            // Switching to another program, or a menu popping up, is not leaving the field.
            const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
            if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
                InvoerVeld2Exit(QApplication::focusWidget());
        }
    }
    return QDialog::eventFilter(o, e);
}

void THelpScherm::InvoerVeld2Enter()
{
    StatusBalk->setCaption(LongHint(Hint(InvoerVeld2)));
    InvoerVeld2->selectAll();
}

void THelpScherm::InvoerVeld2Exit(QWidget* newFocus)
{
    if (!entryOpen_)
        return;
    // On the way to Einde the entry stays open: Einde closes the window, and a pupil who
    // changes his mind finds the field as he left it.
    if (newFocus && newFocus == EindButton)
        return;
    entryOpen_ = false;
    InvoerPanel2->hide();
    // The prompt in the status bar belongs to the open entry; a refused entry that opens
    // again puts it back when the field gets the focus.
    StatusBalk->setCaption(OwnHint());
    SessionState& s = Session();
    s.GivenAnswer = 0;
    auto refuse = [this](const QString& message) {
        later([this, message]() {
            ShowMessage(message, MessageKind::Error);
            reopenEntry();
        });
    };
    const int kind = Tag(InvoerVeld2);
    if (kind == 1) {
        const auto v = ParseWhole(InvoerVeld2->text().trimmed());
        if (!v) {
            refuse(WholeNumberError());
            return;
        }
        s.GivenAnswer = *v;
    } else if (kind == 2) {
        InvoerVeld2->setText(RewriteSeparator(InvoerVeld2->text(), DecimalSeparator));
        const auto v = ParseDecimal(InvoerVeld2->text().trimmed(), DecimalSeparator);
        if (!v) {
            refuse(DecimalNumberError(DecimalSeparator));
            return;
        }
        s.GivenDecimal = *v;
    }
    // Four lines ask for the number of a triangle, which must lie between 5 and 25.
    const int line = script_.ContinueTag;
    if ((line == 102 || line == 302 || line == 402 || line == 502) && (s.GivenAnswer < 5 || s.GivenAnswer > 25)) {
        refuse(QStringLiteral("Voer (geheel) getal in tussen 5 en 25."));
        return;
    }
    // The pupil who presses Enter sees at once what follows the entry.
    later([this]() { runScript(); });
}

void THelpScherm::reopenEntry()
{
    entryOpen_ = true;
    InvoerPanel2->show();
    InvoerPanel2->raise();
    InvoerVeld2->setFocus();
}

void THelpScherm::showCaller()
{
    Forms& f = AppForms();
    if (scriptNumber_ > 0) {
        if (f.Test)
            f.Test->show();
    } else if (f.Menu) {
        f.Menu->menuWindow()->show();
    }
}

void THelpScherm::EindButtonClick()
{
    if (scriptNumber_ > 0) {
        ClearBitmap(&ViewerTextBitmap, col::BtnFace);
        ClearBitmap(&ViewerPictureBitmap, col::BtnFace);
    }
    showCaller();
    HelpPanel->hide();
    done(1);
}

void THelpScherm::done(int result)
{
    // Every way out ends the script: a run that waits returns without drawing more.
    entryOpen_ = false;
    ++activation_;
    script_.Abort();
    readAloud_->stop();
    QDialog::done(result);
}

void THelpScherm::reject()
{
    // Closed by the window's close button or Escape: the caller comes back all the same.
    showCaller();
    HelpPanel->hide();
    QDialog::reject();
}

THelpScherm* ViewerWindow()
{
    Forms& f = AppForms();
    if (!f.Help) {
        SessionWindow();
        f.Help = new THelpScherm();
    }
    return f.Help;
}

}  // namespace kav

#include "app/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "app/export.h"
#include "app/itemdump.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"
#include "results/handin.h"
#include "results/teachercode.h"
#include "session/random.h"
#include "session/session.h"
#include "ui/forms.h"
#include "ui/ui.h"
#include "windows/helpscherm.h"
#include "windows/mainform.h"
#include "windows/scrn.h"
#include "windows/testform.h"

namespace kav {

bool CreateForms()
{
    Forms& f = AppForms();
    f.Main = new TKavrin2MainForm();
    f.Menu = f.Main;
    ReadDecimalSeparator();
    // The picture libraries are checked now, so that a missing one stops the program at once;
    // the other windows are made when they are first needed.
    for (Library lib : {Library::Reskav2, Library::Boekhoud})
        if (!OpenLibrary(lib)) {
            ShowMessage(LibraryErrorMessage(lib));
            DestroyForms();
            return false;
        }
    return true;
}

void DestroyForms()
{
    Forms& f = AppForms();
    delete f.Scrn;
    delete f.Help;
    delete f.Test;
    delete f.Main;
    f = Forms();
    CloseLibraries();
}

void LoadQtTranslations(QCoreApplication& app)
{
    // Qt's own dialogs (files, printing, the buttons of message boxes) speak Dutch like the
    // rest of the program, whatever language the system has.
    if (app.findChild<QTranslator*>(QStringLiteral("QtDutch"), Qt::FindDirectChildrenOnly))
        return;  // once per application
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QStringLiteral("QtDutch"));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QStringLiteral("qt_nl"), folder) || translator->load(QStringLiteral("qtbase_nl"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void SetUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Kavrin 2"));
    LoadQtTranslations(app);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(FocusFrameStyle(fusion));
    QPalette pal = QApplication::style()->standardPalette();
    for (auto role : {QPalette::Window, QPalette::Button})
        pal.setColor(role, col::BtnFace);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, col::Gray);
    pal.setColor(QPalette::Disabled, QPalette::Base, col::BtnFace);
    app.setPalette(pal);
    QFont f(FontFamily);
    f.setPixelSize(13);
    app.setFont(f);
}

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MessageKind kind)
{
    QString shown = text;
    shown.replace(u'\r', u'\n');
    auto box = std::make_unique<QMessageBox>(kind == MessageKind::Error     ? QMessageBox::Critical
                                             : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                            : QMessageBox::Information,
                                             QStringLiteral("Kavrin 2"), shown, QMessageBox::Ok);
    // The size of the session window's own texts, which grows with the screen. That window is
    // made first when a message comes before it (not while the libraries are still missing).
    if (!AppForms().Test && AppForms().Main && LibraryIsOpen(Library::Reskav2) && LibraryIsOpen(Library::Boekhoud))
        SessionWindow();
    QFont f(FontFamily);
    f.setPixelSize(qMax(1, PointsToPixels(BaseFontSize)));
    box->setFont(f);
    return box;
}

void InstallMessageBoxes()
{
    SetMessageHandler([](const QString& text, MessageKind kind) {
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            // Nobody can see a box without a display: the message goes to the error output.
            QString shown = text;
            shown.replace(u'\r', u'\n');
            std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
            return;
        }
        MakeMessageBox(text, kind)->exec();
    });
}

// Questions get a box with "Ja" and "Nee", Nee the default, so Enter or Escape keeps the work.
void InstallQuestionBoxes()
{
    SetQuestionHandler([](const QString& text) {
        if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
            return false;
        const auto box = MakeMessageBox(text, MessageKind::Information);
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::NoButton);
        QPushButton* yes = box->addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
        QPushButton* no = box->addButton(QStringLiteral("Nee"), QMessageBox::NoRole);
        box->setDefaultButton(no);
        box->setEscapeButton(no);
        box->exec();
        return box->clickedButton() == yes;
    });
}

int RunProgram(int argc, char** argv, const CommandLine& cl)
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    InstallMessageBoxes();
    InstallQuestionBoxes();
    if (cl.screen.isValid())
        SetScreenOverride(cl.screen);
    SetFixedSeed(cl.seed);
    if (!CreateForms())
        return 1;
    app.setQuitOnLastWindowClosed(false);
    AppForms().Main->show();
    // Sessions left from before (the server was unreachable, the program stopped) go now.
    if (HandInQueue* school = SchoolHandIn())
        school->handInWaiting();
    const int rc = app.exec();
    DestroyForms();
    // A hand-in that hangs on the network does not hold up the end: its session waits in the
    // store for the next start, and the program ends without tearing down what it still uses.
    if (!EndSchoolHandIn()) {
        std::fflush(nullptr);
        _exit(rc);
    }
    return rc;
}

int Main(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = ParseCommandLine(args);
    if (!cl.error.isEmpty()) {
        const QString said = OneLine(cl.error + QStringLiteral(" (meer over de opties: kavrin2 --help)"));
        std::fprintf(stderr, "%s\n", said.toLocal8Bit().constData());
        return 2;
    }
    switch (cl.action) {
    case CommandLine::Action::Help:
        std::fputs(HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::ItemDump:
        return RunItemDump(argc, argv, cl);
    case CommandLine::Action::Export:
        return RunExport(argc, argv, cl.exportResults);
    case CommandLine::Action::Worksheet:
        return RunWorksheet(argc, argv, cl.worksheet);
    case CommandLine::Action::Server:
        return RunServerCommand(argc, argv, cl.server);
    case CommandLine::Action::ResetTeacherCode: {
        QString error;
        if (!resetTeacherCode(&error)) {
            std::fprintf(stderr, "%s\n", OneLine(error).toLocal8Bit().constData());
            return 1;
        }
        std::fputs("De docentcode is gewist.\n", stdout);
        return 0;
    }
    case CommandLine::Action::Run:
        break;
    }
    return RunProgram(argc, argv, cl);
}

}  // namespace kav

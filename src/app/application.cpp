#include "app/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>

#include "app/forms.h"
#include "app/mainform.h"
#include "app/ui.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "session/random.h"

namespace kav {

namespace {

bool parseSize(const QString& s, QSize& out)
{
    const QStringList parts = s.toLower().split(u'x');
    if (parts.size() != 2)
        return false;
    bool okw = false, okh = false;
    const int w = parts[0].toInt(&okw), h = parts[1].toInt(&okh);
    if (!okw || !okh || w < 320 || h < 240 || w > 16384 || h > 16384)
        return false;
    out = QSize(w, h);
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    CommandLine cl;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& v) {
            if (i + 1 >= args.size()) {
                cl.error = a + QStringLiteral(" verwacht een waarde");
                return false;
            }
            v = args[++i];
            return true;
        };
        QString v;
        if (a == QStringLiteral("--screen")) {
            if (!value(v))
                return cl;
            if (!parseSize(v, cl.screen)) {
                cl.error = QStringLiteral("--screen verwacht BREEDTExHOOGTE, bijvoorbeeld 1024x768");
                return cl;
            }
        } else if (a == QStringLiteral("--seed")) {
            if (!value(v))
                return cl;
            bool ok = false;
            const qulonglong n = v.toULongLong(&ok);
            if (!ok || n > 0xFFFFFFFFull) {
                cl.error = QStringLiteral("--seed verwacht een geheel getal van 0 tot 4294967295");
                return cl;
            }
            cl.seed = std::uint32_t(n);
        } else {
            cl.error = QStringLiteral("onbekende optie: ") + a;
            return cl;
        }
    }
    return cl;
}

void SetUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Kavrin 2"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
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

void InstallMessageBoxes()
{
    SetMessageHandler([](const QString& text, MessageKind kind) {
        QString shown = text;
        shown.replace(u'\r', u'\n');
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            // Nobody can see a box without a display: the message goes to the error output.
            std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
            return;
        }
        QMessageBox box(kind == MessageKind::Error         ? QMessageBox::Critical
                        : kind == MessageKind::Warning     ? QMessageBox::Warning
                                                           : QMessageBox::Information,
                        QStringLiteral("Kavrin 2"), shown, QMessageBox::Ok);
        box.exec();
    });
}

int RunProgram(int argc, char** argv)
{
    QApplication app(argc, argv);
    const CommandLine cl = ParseCommandLine(QApplication::arguments());
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "kavrin2: %s\n", cl.error.toLocal8Bit().constData());
        return 2;
    }
    SetUpApplication(app);
    InstallMessageBoxes();
    if (cl.screen.isValid())
        SetScreenOverride(cl.screen);
    SetFixedSeed(cl.seed);
    if (!CreateForms())
        return 1;
    app.setQuitOnLastWindowClosed(false);
    AppForms().Main->show();
    const int rc = app.exec();
    DestroyForms();
    return rc;
}

}  // namespace kav

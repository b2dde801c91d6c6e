#include "startup.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "draw/datafolders.h"

namespace bench {

namespace {

// What the watcher saw; kept apart from it, as it goes with the application object.
bool painted = false;
std::string platform;

// Ends the event loop once a top-level window has been painted for the first time. The
// paint events of one frame are all sent within one pass of the repaint manager, which then
// hands the frame to the platform; the loop ends after that pass.
class FirstFrame : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (!painted && e->type() == QEvent::Paint && o->isWidgetType()
            && static_cast<QWidget*>(o)->window()->isVisible()) {
            painted = true;
            platform = QGuiApplication::platformName().toStdString();
            QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }
};

// Runs as the application object is made, before the program creates a window.
void WatchFirstFrame()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstFrame(app));
}

int Finish(int status)
{
    if (status != 0 || !painted) {
        std::fprintf(stderr, "kavrin_bench: no first frame (status %d)\n", status);
        return status != 0 ? status : 1;
    }
    std::printf("%s\n", platform.c_str());
    return 0;
}

}  // namespace

void ChoosePlatform()
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int StartOnce(const std::string& what, const std::string& screen, const char* argv0)
{
    ChoosePlatform();
    qAddPreRoutine(WatchFirstFrame);
    if (what == "program") {
        // The program's own start: the same code as kavrin2 --screen WxH, up to its main menu's
        // first frame. Its picture libraries lie in the build folder above this one.
        kav::SetDataFolders({QString::fromStdString(OwnFolder() + "/..")});
        std::string name = argv0, option = "--screen", size = screen;
        char* args[] = {name.data(), option.data(), size.data(), nullptr};
        return Finish(kav::Main(3, args));
    }
    // A bare Qt Widgets window of the main menu's size with one label and one button.
    int argc = 1;
    std::string name = argv0;
    char* args[] = {name.data(), nullptr};
    QApplication app(argc, args);
    int w = 0, h = 0;
    if (std::sscanf(screen.c_str(), "%dx%d", &w, &h) != 2 || w < 1 || h < 1)
        return 2;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Kavrin 2")));
    layout->addWidget(new QPushButton(QStringLiteral("Einde")));
    window.setFixedSize(w, h);
    window.show();
    return Finish(app.exec());
}

}  // namespace bench

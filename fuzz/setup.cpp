#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "draw/measures.h"
#include "draw/messages.h"
#include "fuzzing.h"

namespace fuzzing {

void SetUpOnce()
{
    static QGuiApplication* app = nullptr;
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kavrin-fuzz";
    static char* argv[] = {name, nullptr};
    // Qt's own warnings about odd text (fonts without a script) would only drown the report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(msg));
            std::abort();
        }
    });
    app = new QGuiApplication(argc, argv);
    kav::StartRecordingMessages();  // messages are counted, never shown
}

double& SlowestLineMs()
{
    static double ms = 0;
    return ms;
}

}  // namespace fuzzing

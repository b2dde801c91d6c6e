#include "ui/speaker.h"

#include <QCoreApplication>

namespace kav {

namespace {

std::function<std::unique_ptr<Speaker>()>& Factory()
{
    static std::function<std::unique_ptr<Speaker>()> factory;
    return factory;
}

std::unique_ptr<Speaker>& Made()
{
    static std::unique_ptr<Speaker> speaker;
    return speaker;
}

bool& Asked()
{
    static bool asked = false;
    return asked;
}

}  // namespace

Speaker* ProgramSpeaker()
{
    if (!Asked()) {
        Asked() = true;
        Made() = Factory() ? Factory()() : MakeQtSpeaker();
        // The speaker goes with the application, not at the program's very end.
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QObject::destroyed, [] {
                Made().reset();
                Asked() = false;
            });
    }
    return Made().get();
}

void SetSpeakerFactory(std::function<std::unique_ptr<Speaker>()> factory)
{
    Made().reset();
    Asked() = false;
    Factory() = std::move(factory);
}

bool SpeakerMade()
{
    return Asked();
}

bool SpeechEngineInstalled(QString* reason)
{
    if (Factory())
        return true;
    static const bool installed = QtSpeechEngineInstalled();
    if (!installed && reason)
        *reason = QStringLiteral("Voorlezen kan niet: de spraakmodule ontbreekt. ") + SpeechPackageHint();
    return installed;
}

QString SpeechPackageHint()
{
    return QStringLiteral("Installeer speech-dispatcher-espeak-ng (met qt6-speech-speechd-plugin) om te laten voorlezen.");
}

}  // namespace kav

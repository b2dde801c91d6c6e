#include "windows/readaloud.h"

#include <QActionGroup>
#include <QMenu>
#include <QSettings>
#include <QShortcut>
#include <QToolButton>

#include "draw/speechtext.h"
#include "results/teachercode.h"
#include "ui/ui.h"

namespace kav {

namespace {

const QString SpeedKey = QStringLiteral("Voorlezen/snelheid");
const QString ReadHint = QStringLiteral(
    "Lees voor (F5)|Lees de opgave voor; na het nakijken het oordeel en de uitleg. Nog eens drukken stopt. "
    "Met het pijltje kies je langzaam of normaal voorlezen.");
const QString StopHint = QStringLiteral("Stop met voorlezen (F5)|Druk nog eens om het voorlezen te stoppen.");
const QString ForbiddenHint =
    QStringLiteral("Voorlezen staat uit|Je docent heeft voorlezen bij deze toets uitgezet.");

}  // namespace

ReadAloud::ReadAloud(QWidget* keyRow, QWidget* window, const Canvas* text, const Canvas* picture)
    : QObject(keyRow), text_(text), picture_(picture)
{
    button_ = new QToolButton(keyRow);
    button_->setObjectName(QStringLiteral("LeesVoorButton"));
    button_->setText(QStringLiteral("&Lees voor"));
    button_->setAccessibleName(QStringLiteral("Lees voor"));
    button_->setCheckable(true);
    // A click never takes the focus from the answer field or Doorgaan (Enter goes on there);
    // Tab still reaches the button.
    button_->setFocusPolicy(Qt::TabFocus);
    button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button_->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(button_);
    auto* speeds = new QActionGroup(menu);
    QAction* normal = menu->addAction(QStringLiteral("Normaal voorlezen"));
    QAction* slow = menu->addAction(QStringLiteral("Langzaam voorlezen"));
    for (QAction* a : {normal, slow}) {
        a->setCheckable(true);
        speeds->addAction(a);
    }
    // The other window may have changed it: the menu shows the kept speed.
    connect(menu, &QMenu::aboutToShow, this, [normal, slow] {
        (SavedSpeed() == Speaker::Speed::Slow ? slow : normal)->setChecked(true);
    });
    connect(normal, &QAction::triggered, this, [] { SaveSpeed(Speaker::Speed::Normal); });
    connect(slow, &QAction::triggered, this, [] { SaveSpeed(Speaker::Speed::Slow); });
    button_->setMenu(menu);
    connect(button_, &QToolButton::clicked, this, &ReadAloud::press);
    shortcut_ = new QShortcut(QKeySequence(Qt::Key_F5), window);
    shortcut_->setContext(Qt::WindowShortcut);
    connect(shortcut_, &QShortcut::activated, this, [this] {
        if (button_->isVisible() && button_->isEnabled())
            press();
    });
    refresh();
}

ReadAloud::~ReadAloud()
{
    // The speaker tells its listeners that it stopped; by now the button may be gone, so this
    // one no longer listens.
    if (connected_) {
        disconnect(connected_, nullptr, this, nullptr);
        if (connected_->speaking())
            connected_->stop();
    }
}

Speaker* ReadAloud::speaker()
{
    Speaker* s = ProgramSpeaker();
    if (s && s != connected_) {
        connected_ = s;
        connect(s, &Speaker::changed, this, &ReadAloud::refresh);
        connect(s, &QObject::destroyed, this, [this, s] {
            if (connected_ == s)
                connected_ = nullptr;
        });
    }
    return s;
}

void ReadAloud::questionShown()
{
    stop();
    judged_ = false;
}

void ReadAloud::judging()
{
    stop();
    judged_ = true;
    textMark_ = int(text_->textLog().size());
    pictureMark_ = int(picture_->textLog().size());
}

void ReadAloud::setAllowed(bool allowed)
{
    allowed_ = allowed;
    if (!allowed)
        stop();
    refresh();
}

QString ReadAloud::words() const
{
    const auto& text = text_->textLog();
    const auto& picture = picture_->textLog();
    // Cleared since the judgement (a new item drawn): the whole canvases again.
    const bool sinceJudgement = judged_ && text.size() >= textMark_ && picture.size() >= pictureMark_ &&
                                (text.size() > textMark_ || picture.size() > pictureMark_);
    return sinceJudgement ? CanvasSpeech(text, picture, textMark_, pictureMark_) : CanvasSpeech(text, picture);
}

void ReadAloud::press()
{
    if (!allowed_)
        return;
    Speaker* s = speaker();
    if (!s)
        return;
    if (s->speaking()) {
        s->stop();
    } else if (s->availability() != Speaker::Availability::Unavailable) {
        s->setSpeed(SavedSpeed());
        s->say(words());
    }
    refresh();
}

void ReadAloud::stop()
{
    // Only a speaker that was made can be speaking; stopping never makes one.
    if (connected_ && connected_->speaking())
        connected_->stop();
}

void ReadAloud::refresh()
{
    if (!button_)
        return;
    const bool speaking = connected_ && connected_->speaking();
    button_->setChecked(speaking);
    QString missing;
    if (!allowed_) {
        button_->setEnabled(false);
        SetHint(button_, ForbiddenHint);
    } else if (!connected_ && !SpeechEngineInstalled(&missing)) {
        button_->setEnabled(false);
        SetHint(button_, QStringLiteral("Voorlezen kan niet|") + missing);
    } else if (connected_ && connected_->availability() == Speaker::Availability::Unavailable) {
        button_->setEnabled(false);
        SetHint(button_, QStringLiteral("Voorlezen kan niet|") + connected_->unavailableReason());
    } else {
        button_->setEnabled(true);
        SetHint(button_, speaking ? StopHint : ReadHint);
    }
}

Speaker::Speed ReadAloud::SavedSpeed()
{
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    return s.value(SpeedKey).toString() == QStringLiteral("langzaam") ? Speaker::Speed::Slow : Speaker::Speed::Normal;
}

void ReadAloud::SaveSpeed(Speaker::Speed speed)
{
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.setValue(SpeedKey, speed == Speaker::Speed::Slow ? QStringLiteral("langzaam") : QStringLiteral("normaal"));
}

}  // namespace kav

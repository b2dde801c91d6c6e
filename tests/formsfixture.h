// Creates the program's windows for a fixed screen, with modal windows that do not block
// and messages recorded, so whole flows can be clicked through.
#pragma once
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "session/random.h"
#include "session/session.h"
#include "support.h"
#include "ui/forms.h"
#include "ui/ui.h"
#include "windows/helpscherm.h"
#include "windows/mainform.h"
#include "windows/testform.h"

namespace testsupport {

// The windows' tests never touch the user's own settings and results: for the whole run the
// program's settings and data folders lie in a temporary folder (a test may point them
// elsewhere after its first StartForms).
inline void UseTemporaryUserFolders()
{
    static QTemporaryDir folders;
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("XDG_CONFIG_HOME", (folders.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (folders.path() + QStringLiteral("/data")).toLocal8Bit());
}

inline void StartForms(QSize screen)
{
    UseTemporaryUserFolders();
    kav::DestroyForms();
    kav::ResetMeasures();
    UseBuildPictures();
    kav::StartRecordingMessages();
    kav::SetNonBlockingModals(true);
    kav::SetScreenOverride(screen);
    kav::SetFixedSeed(1234u);
    kav::SetUpApplication(*qApp);
    QVERIFY(kav::CreateForms());
    kav::AppForms().Main->show();
}

inline kav::TKavrin2MainForm* Main() { return kav::AppForms().Main; }
inline kav::TTestForm* Test() { return kav::SessionWindow(); }
inline kav::THelpScherm* Help() { return kav::ViewerWindow(); }

inline int VisibleCheckBoxes()
{
    int n = 0;
    for (QCheckBox* c : Test()->CheckBoxes)
        n += !c->isHidden();
    return n;
}

inline void Tick(int n, bool on = true)
{
    QCheckBox* c = Test()->CheckBoxes[n - 1];
    if (c->isChecked() != on)
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(8, c->height() / 2));
}

// Types text into an answer field that has the focus and presses Enter.
inline void TypeInto(QLineEdit* field, const QString& text)
{
    QVERIFY(field->isVisible());
    QVERIFY(field->hasFocus());
    field->selectAll();
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(field, char(c.unicode()));
        } else {  // what a keyboard layout or a compose key would give
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &press);
        }
    }
    QTest::keyClick(field, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Saves a window's picture when KAVRIN_SHOTS names a folder (for looking at layouts by eye).
inline void Shot(QWidget* w, const QString& name)
{
    const QByteArray dir = qgetenv("KAVRIN_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// True when no two of the visible widgets overlap and all lie inside their parent.
inline QString LayoutProblem(const QList<QWidget*>& widgets)
{
    for (int i = 0; i < widgets.size(); ++i) {
        QWidget* a = widgets[i];
        if (a->isHidden())
            continue;
        if (!a->parentWidget()->rect().contains(a->geometry()))
            return a->objectName() + QStringLiteral(" sticks out of its window");
        for (int j = i + 1; j < widgets.size(); ++j) {
            QWidget* b = widgets[j];
            if (!b->isHidden() && a->parentWidget() == b->parentWidget() && a->geometry().intersects(b->geometry()))
                return a->objectName() + QStringLiteral(" overlaps ") + b->objectName();
        }
    }
    return QString();
}

}  // namespace testsupport

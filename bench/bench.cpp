// Prints how long the program's start-up and its most frequent drawing take.
// Figures only: nothing here fails on a slow machine.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/application.h"
#include "app/forms.h"
#include "app/mainform.h"
#include "app/ui.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "games/scrn.h"
#include "session/session.h"
#include "session/testform.h"

namespace {

void report(const char* what, int runs, const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i)
        work();
    const double us = t.nsecsElapsed() / 1000.0 / runs;
    std::printf("%-44s %10.1f us per run (%d runs)\n", what, us, runs);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kav::SetUpApplication(app);
    kav::StartRecordingMessages();
    kav::SetNonBlockingModals(true);
    kav::SetScreenOverride(QSize(1024, 768));
    kav::SetPictureFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));

    QElapsedTimer start;
    start.start();
    if (!kav::CreateForms()) {
        std::printf("picture libraries not found beside the build\n");
        return 1;
    }
    std::printf("%-44s %10.1f ms\n", "creating the four windows", start.nsecsElapsed() / 1e6);

    kav::TTestForm* test = kav::AppForms().Test;
    kav::Session().SessionMode = 20;
    kav::Session().PracticeMode = true;
    report("choice screen drawn", 200, [&] { test->StartTest(); });
    report("a line of text (DrawTextItem)", 5000, [&] {
        kav::DrawTextItem(QStringLiteral("Hoeveel stippen heeft dit driehoeksgetal ?"), kav::col::Black, false,
                          kav::TextMargin, 3, 1, &test->TextBitmap);
    });
    report("clear and frame the picture", 2000, [&] {
        kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
        kav::FrameBitmap(&test->PictureBitmap, kav::col::Black);
    });
    report("100 dots of a triangle", 200, [&] {
        for (int r = 0; r < 14; ++r)
            for (int c = 0; c <= r && c < 8; ++c)
                kav::DrawDot(kav::PercentX(10 + 5 * c), kav::PercentY(10 + 5 * r), u'.', &test->PictureBitmap,
                             kav::col::Blue, 4);
    });
    const kav::Picture house = kav::LoadPicture(QStringLiteral("huis1"));
    report("a picture stretched (vector)", 500, [&] {
        test->PictureBitmap.stretchDraw(10, 10, 130, 130, house);
    });
    report("flood fill of the whole picture", 100, [&] {
        test->PictureBitmap.setBrush(kav::col::Yellow);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
        test->PictureBitmap.setBrush(kav::col::BtnFace);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
    });

    // The celebration screen on a 1920 x 1080 display: how fast discs can be drawn and shown,
    // the longest frame of the paced drawing (input waits at most that long), and the rate
    // the pacing keeps.
    kav::SetScreenOverride(QSize(1920, 1080));
    kav::TScrn* scrn = kav::AppForms().Scrn;
    scrn->FirstActivation = true;
    scrn->show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000)
        scrn->repaint(scrn->DrawDisc());
    std::printf("%-44s %10.0f discs per second\n", "celebration 1920x1080, drawn and shown",
                scrn->discsSinceShown() * 1000.0 / t.elapsed());
    report("celebration frame of 4 largest discs", 100, [&] {
        QRect r;
        for (int i = 0; i < 4; ++i)
            r |= scrn->DrawDiscAt(149, 1 + i, 400 * i, 300);
        scrn->repaint(r);
    });
    scrn->close();
    scrn->FirstActivation = true;
    scrn->show();
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    t.restart();
    loop.exec();
    std::printf("%-44s %10.0f discs per second\n", "celebration 1920x1080, paced",
                scrn->discsSinceShown() * 1000.0 / t.elapsed());
    scrn->close();
    kav::SetScreenOverride(QSize(1024, 768));

    kav::DestroyForms();
    return 0;
}

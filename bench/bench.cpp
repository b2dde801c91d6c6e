// Prints how long the program's start-up and its most frequent drawing take.
// Figures only: nothing here fails on a slow machine.
#include <QApplication>
#include <QElapsedTimer>
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
#include "session/random.h"
#include "session/session.h"
#include "session/testform.h"
#include "themes/verdeler.h"

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
    // The grid themes: a whole new item each (grid, grey cells or path, pictures, question).
    for (int code : {2, 3}) {
        kav::SessionState& s = kav::Session();
        s.SessionMode = 0;
        s.LevelIndex = 0;
        s.ThemeCode = code;
        s.Attempt = 0;
        kav::SeedRandom(1);
        report(code == 2 ? "a mouse-in-the-grid item (theme 2)" : "a frog-jumps item (theme 3)", 300, [&] {
            kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
            kav::ClearBitmap(&test->TextBitmap, kav::col::BtnFace);
            kav::Verdeler();
            s.Attempt = 0;
        });
    }
    kav::DestroyForms();
    return 0;
}

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
#include "session/context.h"
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
    // New items at "Prof !" of the relations themes with the busiest pictures: four houses
    // (two recoloured), every diagonal of a polygon, a nail board; and an explanation that
    // draws helper threads on the largest boards.
    struct Silent : kav::AnswerPort {
        void OpenAnswer(const QString&, const QString&) override {}
    } silent;
    kav::SetContext(&test->PictureBitmap, &test->TextBitmap, &silent);
    kav::SeedRandom(1);
    kav::Session().SessionMode = 0;
    kav::Session().LevelIndex = 2;
    for (int code : {4, 6, 7}) {
        kav::Session().ThemeCode = code;
        kav::Session().Attempt = 0;
        const QString what = QStringLiteral("a new item of theme %1 (Prof !)").arg(code);
        report(what.toLatin1().constData(), 200, [&] {
            kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
            kav::ClearBitmap(&test->TextBitmap, kav::col::BtnFace);
            kav::Verdeler();
        });
    }
    report("nail-board explanation with helper threads", 200, [&] {
        kav::SessionState& s = kav::Session();
        s.ThemeCode = 7;
        s.QuestionParams[0] = 18, s.QuestionParams[1] = 9, s.ThemeMemory[7] = 5, s.TextLine = 14;
        kav::Toelichting(7, false);
    });
    kav::DestroyForms();
    return 0;
}

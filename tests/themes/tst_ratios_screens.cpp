// The ratio themes 11 to 14 in the session window's own drawing areas on screens of several
// shapes: every text of the question, the picture, the judgement and the explanation stays
// inside its area, and nothing is drawn over the picture's frame. Kept values that no
// generator leaves, and a missing drawing area, are survived.
#include "formsfixture.h"
#include "ratiofixture.h"
#include "session/engine.h"
#include "themes/ratios/ratios.h"
#include "themes/verdeler.h"

using namespace ratiotest;
namespace col = kav::col;

class TestRatiosScreens : public QObject {
    Q_OBJECT
    Recorder port;

    // The frame of the picture: its outermost rows and columns still black.
    static bool FrameIntact(const QImage& img)
    {
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, 0)) != col::Black || QColor(img.pixel(x, img.height() - 1)) != col::Black)
                return false;
        for (int y = 0; y < img.height(); ++y)
            if (QColor(img.pixel(0, y)) != col::Black || QColor(img.pixel(img.width() - 1, y)) != col::Black)
                return false;
        return true;
    }

private slots:
    void cleanupTestCase()
    {
        kav::SetExplanationHandler({});
        kav::DestroyForms();
    }

    void oddValuesAndNoCanvas()
    {
        Canvas picture(200, 150), text(100, 150);
        const std::function<void()> steps[] = {kav::Theme11, kav::Theme12, kav::Theme13, kav::Theme14,
                                               kav::Explanation11, kav::Explanation12, kav::Explanation13,
                                               kav::Explanation14};
        kav::SessionState& s = kav::Session();
        for (bool canvases : {true, false}) {
            kav::SetContext(canvases ? &picture : nullptr, canvases ? &text : nullptr, canvases ? &port : nullptr);
            for (int value : {-2147483647, -1, 0, 7, 2147483647})
                for (int k = 0; k < 8; ++k) {
                    Fixture::Start(11 + k % 4, 3);
                    s.QuestionParams.fill(value);
                    s.ThemeMemory.fill(value);
                    s.Private.theme11 = s.Private.theme13 = s.Private.theme14 = value;
                    s.Private.theme12 = value;
                    s.ExpectedAnswer = value;
                    s.ExpectedDecimal = value;
                    s.TextLine = 8;
                    s.Attempt = 2;  // the item asked again from the kept values, or explained
                    steps[k]();
                }
        }
        // A new item from odd kept values still follows the rules.
        kav::SetContext(&picture, &text, &port);
        for (int code = 11; code <= 14; ++code) {
            Fixture::Start(code, 2);
            s.Private.theme11 = s.Private.theme13 = s.Private.theme14 = -123456;
            s.ThemeMemory[code] = code == 13 ? 2147483647 : -2147483647;
            steps[code - 11]();
            QVERIFY(s.ExpectedAnswer > 0 || s.ExpectedDecimal > 0);
        }
    }

    void everyScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        for (QSize s : {QSize(640, 480), QSize(800, 600), QSize(1024, 768), QSize(1280, 1024), QSize(1366, 768),
                        QSize(1920, 1080)})
            QTest::newRow(qPrintable(QStringLiteral("%1x%2").arg(s.width()).arg(s.height()))) << s;
    }

    void everyScreen()
    {
        QFETCH(QSize, screen);
        testsupport::StartForms(screen);
        kav::TTestForm* form = testsupport::Test();
        Canvas& picture = form->PictureBitmap;
        Canvas& text = form->TextBitmap;
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(&kav::Toelichting);
        for (QChar separator : {QChar(u','), QChar(u'.')})
            for (int code = 11; code <= 14; ++code)
                for (int level = 1; level <= 3; ++level) {
                    kav::DecimalSeparator = separator;
                    Fixture::Start(code, level);
                    kav::SessionState& s = kav::Session();
                    s.MaxAttempts = 2;
                    for (int i = 0; i < 16 && !QTest::currentTestFailed(); ++i) {
                        kav::SeedRandom(std::uint32_t(100 * code + 10 * level + i));
                        kav::ClearBitmap(&picture, col::BtnFace);
                        kav::FrameBitmap(&picture, col::Black);
                        kav::ClearBitmap(&text, col::BtnFace);
                        s.Attempt = 0;
                        s.AnswerSuffix.clear();
                        QVERIFY(kav::Verdeler());
                        // A final wrong answer, and the explanation after it.
                        s.Attempt = 2;
                        s.GivenAnswer = s.ExpectedAnswer + 1;
                        s.GivenDecimal = s.ExpectedDecimal + 1;
                        kav::Judge(QStringLiteral("1"));
                        QVERIFY(testsupport::Logged(text, "Het juiste antwoord was: "));
                        QString out;
                        QVERIFY2(Fixture::Inside(text.textLog(), text, &out), qPrintable(out));
                        QVERIFY2(Fixture::Inside(picture.textLog(), picture, &out), qPrintable(out));
                        QVERIFY(FrameIntact(picture.image()));
                        if (i == 0 && level == 3 && separator == u',')
                            SideBySide(text, picture, QStringLiteral("ratios-%1-%2x%3").arg(code).arg(screen.width()).arg(screen.height()));
                        ++s.ThemeItemCount[size_t(code)];
                    }
                }
        kav::DecimalSeparator = u',';
    }
};

QTEST_MAIN(TestRatiosScreens)
#include "tst_ratios_screens.moc"

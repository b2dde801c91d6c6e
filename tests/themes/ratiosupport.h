// What the suites of the ratio themes 15 to 17 add to the shared ratio fixture: the picture
// library and the judge's explanation handler, the window at 640 x 480 too, items through
// the dispatcher, a sweep over seeded items that also checks second attempts and keeps every
// text inside its area, two wrong answers judged as in the window, and screenshots.
#pragma once
#include "session/engine.h"
#include "session/random.h"
#include "themes/ratiofixture.h"
#include "themes/verdeler.h"

namespace ratiotest {

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xff000000u; }

struct Window : Fixture {
    void SetUp(bool small = false)
    {
        picture.setSize(small ? 403 : 645, small ? 420 : 688);
        text.setSize(small ? 228 : 366, small ? 443 : 714);
        Fixture::SetUp();
        if (small) {  // the design's scale and margin
            kav::ScreenScale = 1;
            kav::TextMargin = 8;
        }
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    static void Dispatch() { QVERIFY(kav::Verdeler()); }

    // A new item; every generator opens a whole-number field and sets the tolerance to 0.
    void Item()
    {
        kav::SessionState& s = kav::Session();
        s.Attempt = 0;
        s.AnswerTolerance = 7;  // whatever an earlier theme left
        Fixture::Item(Dispatch);
        QVERIFY(port.opened == 1 && s.AnswerKind == 1 && s.AnswerTolerance == 0);
    }

    // Count items per level of theme Code, each level one session, the shown decimals
    // alternating between "," and "."; Check(level, i, the kept values before) sees each item.
    template <class Check>
    void Sweep(int code, int count, std::uint32_t seed, Check check)
    {
        for (int level = 1; level <= 3; ++level) {
            Start(code, level);
            for (int i = 0; i < testsupport::Sweep(count) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(seed + std::uint32_t(10000 * level + i));
                kav::DecimalSeparator = i % 2 ? u',' : u'.';
                const kav::SessionState::ThemePrivate previous = kav::Session().Private;
                Item();
                QString outside;
                QVERIFY2(Inside(picture.textLog(), picture, &outside) && Inside(text.textLog(), text, &outside),
                         qPrintable(outside));
                if (i < 2)
                    CheckSecondAttempt(Dispatch);
                check(level, i, previous);
            }
        }
        kav::DecimalSeparator = u',';
    }

    // Two wrong answers judged as in the window, the second after the item was asked again;
    // the texts the explanation wrote (from "Toelichting:" on), and a note when one of them
    // runs out of the text area.
    QStringList FailTwice(QVector<TextLogEntry>* entries = nullptr)
    {
        kav::SessionState& s = kav::Session();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            s.Attempt = attempt;
            if (attempt == 2)
                Fixture::Item(Dispatch);
            s.GivenAnswer = s.ExpectedAnswer + 1;
            kav::Judge(QString::number(s.GivenAnswer));
        }
        QVector<TextLogEntry> said;
        for (const TextLogEntry& e : text.textLog())
            if (e.text == QStringLiteral("Toelichting:") || !said.isEmpty())
                said << e;
        if (entries)
            *entries = said;
        QStringList texts;
        for (const TextLogEntry& e : said)
            texts << e.text;
        QString outside;
        if (!Inside(said, text, &outside))
            texts << QStringLiteral("(outside the text area: ") + outside + u')';  // fails the caller's comparison
        return texts;
    }

    // Whether Text stands at the margin on Line in Colour.
    bool Asked(const QString& t, const QColor& c, double line) const
    {
        for (const TextLogEntry& e : text.textLog())
            if (e.text == t && e.color == c && e.x == kav::TextMargin && e.y == Y(line))
                return true;
        return false;
    }

    // When KAVRIN_SHOTS names a folder: items of theme Code at every level on both screens,
    // each also with its explanation.
    void Shots(int code, std::uint32_t seed, const QString& prefix)
    {
        if (qEnvironmentVariable("KAVRIN_SHOTS").isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        for (bool small : {false, true}) {
            SetUp(small);
            for (int level = 1; level <= 3; ++level) {
                Start(code, level);
                for (int i = 0; i < 3; ++i) {
                    kav::SeedRandom(seed + std::uint32_t(100 * level + i));
                    Item();
                    const QString name = QStringLiteral("%1%2_l%3_%4").arg(prefix, small ? "S" : "L").arg(level).arg(i);
                    Shot(name);
                    FailTwice();
                    Shot(name + QStringLiteral("_explained"));
                }
            }
        }
        SetUp();
    }
};

}  // namespace ratiotest

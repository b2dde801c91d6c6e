// Worksheets without a window: the layout on A4 (items never split, pictures sharp, a 20-item
// sheet on a few pages), the key, the explanations that leave the items alone, a class code's
// scheduling, and a running session left exactly as it was.
#include <QBuffer>
#include <QPdfWriter>
#include <QTest>

#include "draw/measures.h"
#include "draw/pictures.h"
#include "results/pages.h"
#include "results/worksheet.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "support.h"

using namespace kav;

namespace {

// Sanitizer builds are slower: fewer seeds there.
#ifdef KAVRIN_SANITIZED
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

WorksheetRequest ThemesInTurn(const QList<int>& codes, int level, int count, std::uint32_t seed)
{
    WorksheetRequest r;
    r.codes = codes;
    r.level = level;
    r.count = count;
    r.seed = seed;
    return r;
}

QList<int> AllThemes()
{
    return {1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 25, 26, 27, 28};
}

QStringList Answers(const Worksheet& w)
{
    QStringList a;
    for (const WorksheetItem& i : w.items)
        a << QStringLiteral("%1:%2").arg(i.themeCode).arg(i.answer);
    return a;
}

struct Pdf {
    QBuffer buffer;
    QPdfWriter writer{&buffer};
    Pdf()
    {
        buffer.open(QIODevice::WriteOnly);
        writer.setResolution(300);
        SetA4Layout(&writer);
    }
};

}  // namespace

class TestWorksheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        testsupport::UseBuildPictures();
        QVERIFY(OpenLibrary(Library::Reskav2));
        QVERIFY(OpenLibrary(Library::Boekhoud));
    }
    void cleanupTestCase() { CloseLibraries(); }

    void pagesKeepItemsWholeAndPicturesSharp()
    {
        WorksheetRequest r = ThemesInTurn(AllThemes(), 2, 20, 3);
        r.explanations = true;
        const Worksheet w = MakeWorksheet(r);
        QCOMPARE(w.items.size(), 20);
        Pdf pdf;
        const Sheet sheet(&pdf.writer);
        const WorksheetPlan plan = PlanWorksheet(&pdf.writer, w, WorksheetParts::Both);
        QCOMPARE(plan.items.size(), 20);
        QCOMPARE(plan.answers.size(), 20);
        // A 20-item sheet fits in a few pages; the key with explanations in fewer.
        QVERIFY2(plan.sheetPages >= 3 && plan.sheetPages <= 7, qPrintable(QString::number(plan.sheetPages)));
        QVERIFY(plan.keyPages >= 1 && plan.keyPages <= plan.sheetPages);
        for (const QVector<WorksheetPlace>* places : {&plan.items, &plan.answers}) {
            int lastPage = 0;
            double lastBottom = 0;
            for (int i = 0; i < places->size(); ++i) {
                const WorksheetPlace& p = (*places)[i];
                // In order, page after page; each whole on its page, none over another.
                QVERIFY(p.page == lastPage || p.page == lastPage + 1);
                if (p.page == lastPage)
                    QVERIFY(p.box.top() >= lastBottom - 0.01);
                QVERIFY2(p.box.top() >= 0 && p.box.bottom() <= sheet.bottom() + 0.01, qPrintable(QString::number(i)));
                lastPage = p.page;
                lastBottom = p.box.bottom();
            }
        }
        for (int i = 0; i < w.items.size(); ++i) {
            const QRectF place = plan.items[i].picture;
            QVERIFY(!place.isEmpty());
            QVERIFY(plan.items[i].box.contains(place));
            // At least 200 image pixels to the inch on paper, in both directions.
            const QImage& pic = w.items[i].picture;
            QVERIFY2(pic.width() / (place.width() / sheet.dpi) >= 200, qPrintable(QString::number(i)));
            QVERIFY(pic.height() / (place.height() / sheet.dpi) >= 200);
            // The question is drawn at printing resolution as well: near 300 dpi.
            QVERIFY(w.linePixels / (4.0 / 25.4) >= 250);
            QVERIFY(!w.items[i].question.isNull());
            QVERIFY(!w.items[i].caption.isEmpty());
        }
        QVERIFY(PaintWorksheet(&pdf.writer, w, WorksheetParts::Both));
        QVERIFY(pdf.buffer.data().startsWith("%PDF"));
    }

    void withoutPicturesOrKey()
    {
        WorksheetRequest r = ThemesInTurn({21, 24}, 1, 6, 9);
        r.pictures = false;
        const Worksheet w = MakeWorksheet(r);
        Pdf pdf;
        const WorksheetPlan sheet = PlanWorksheet(&pdf.writer, w, WorksheetParts::Sheet);
        QCOMPARE(sheet.keyPages, 0);
        QVERIFY(sheet.answers.isEmpty());
        for (int i = 0; i < w.items.size(); ++i) {
            QVERIFY(w.items[i].picture.isNull());
            QVERIFY(sheet.items[i].picture.isEmpty());
        }
        const WorksheetPlan key = PlanWorksheet(&pdf.writer, w, WorksheetParts::Key);
        QCOMPARE(key.sheetPages, 0);
        QCOMPARE(key.keyPages, 1);
        QCOMPARE(w.topic, QStringLiteral("Driehoeksgetallen"));
        QCOMPARE(w.themes, QStringLiteral("thema's 21, 24"));
    }

    // The explanations are drawn and then forgotten: the items are the same with or without.
    void explanationsLeaveTheItemsAsTheyAre()
    {
        for (std::uint32_t seed : {11u, 12u}) {
            if (Sanitized && seed > 11)
                break;
            WorksheetRequest r = ThemesInTurn(AllThemes(), 3, 22, seed);
            const Worksheet plain = MakeWorksheet(r);
            r.explanations = true;
            const Worksheet explained = MakeWorksheet(r);
            QCOMPARE(Answers(explained), Answers(plain));
            int withText = 0;
            for (const WorksheetItem& i : explained.items) {
                QVERIFY(plain.items[i.number - 1].explanation.isNull());
                if (!i.explanation.isNull() && i.explanationTexts.contains(QStringLiteral("Toelichting:")))
                    ++withText;
            }
            QVERIFY2(withText >= 18, qPrintable(QString::number(withText)));
        }
    }

    // A class code's items follow a test's rule: the code's themes only, none among the last
    // two, the code's level.
    void aCodeFollowsTheTestsRule()
    {
        TestCodeSettings t;
        t.sessionMode = 10;
        t.themes = 0b1010110;  // themes 12, 13, 15, 17
        t.level = 2;
        t.length = 30;
        for (std::uint32_t seed : {1u, 2u, 3u}) {
            if (Sanitized && seed > 1)
                break;
            t.seed = seed;
            WorksheetRequest r;
            r.test = t;
            r.count = 30;
            r.pictures = false;
            const Worksheet w = MakeWorksheet(r);
            QCOMPARE(w.items.size(), 30);
            QCOMPARE(w.level, 2);
            for (int i = 0; i < w.items.size(); ++i) {
                QVERIFY(QList<int>({12, 13, 15, 17}).contains(w.items[i].themeCode));
                for (int back = 1; back <= 2 && i - back >= 0; ++back)
                    QVERIFY(w.items[i].themeCode != w.items[i - back].themeCode);
            }
            QCOMPARE(Answers(MakeWorksheet(r)), Answers(w));  // the same code, the same sheet
        }
        t.sessionMode = -10;
        t.themes = 0;
        t.level = 3;
        WorksheetRequest mixed;
        mixed.test = t;
        mixed.count = 12;
        const Worksheet w = MakeWorksheet(mixed);
        QCOMPARE(w.items.size(), 12);
        QCOMPARE(w.themes, QStringLiteral("alle thema's"));
    }

    // Made while the program runs: the session, its drawing areas and measures and the random
    // source are as they were, so the session window draws on as if nothing happened.
    void theRunningSessionIsLeftAlone()
    {
        Canvas picture(645, 647), text(365, 709);
        testsupport::SessionMeasures(picture, text);
        SetContext(&picture, &text, nullptr);
        SessionState& s = Session();
        s.ThemeCode = 14;
        s.ItemCount = 7;
        s.ExpectedAnswer = 123;
        s.ThemeMemory[14] = 3;
        s.TextLine = 9.5;
        const SessionState before = s;
        const int lineHeight = LineHeight, base = BaseFontSize;
        const double scale = ScreenScale;
        SeedRandom(42);
        const RandomState random = SaveRandom();
        const int next = Random(1000000);
        RestoreRandom(random);

        WorksheetRequest r = ThemesInTurn({14, 2}, 2, 3, 5);
        r.explanations = true;
        QCOMPARE(MakeWorksheet(r).items.size(), 3);

        QCOMPARE(s.ThemeCode, before.ThemeCode);
        QCOMPARE(s.ItemCount, before.ItemCount);
        QCOMPARE(s.ExpectedAnswer, before.ExpectedAnswer);
        QCOMPARE(s.ThemeMemory, before.ThemeMemory);
        QCOMPARE(s.TextLine, before.TextLine);
        QCOMPARE(LineHeight, lineHeight);
        QCOMPARE(BaseFontSize, base);
        QCOMPARE(ScreenScale, scale);
        QCOMPARE(Context().picture, &picture);
        QCOMPARE(Context().text, &text);
        QCOMPARE(Random(1000000), next);
    }
};

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"

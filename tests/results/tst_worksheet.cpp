// Worksheets without a window: the layout on A4 (items never split, pictures sharp, a 20-item
// sheet on a few pages), the key, the explanations that leave the items alone, a class code's
// scheduling, and a running session left exactly as it was.
#include <QBuffer>
#include <QPdfWriter>
#include <QRegularExpression>
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
        // A 20-item sheet with legible pictures: two or three items a page; the key in fewer.
        QVERIFY2(plan.sheetPages >= 5 && plan.sheetPages <= 10, qPrintable(QString::number(plan.sheetPages)));
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
            // Themes 26 and 27 print their row of numbers as text, without a picture.
            const bool row = w.items[i].themeCode == 26 || w.items[i].themeCode == 27;
            QCOMPARE(place.isEmpty(), row);
            QVERIFY(!w.items[i].question.isEmpty());
            QVERIFY(!w.items[i].caption.isEmpty());
            if (row) {
                QVERIFY(w.items[i].questionTexts.contains(QStringLiteral(" = ?")));
                QVERIFY(!w.items[i].questionTexts.contains(QStringLiteral("Zie hiernaast.")));
                continue;
            }
            QVERIFY(plan.items[i].box.contains(place));
            // At least 200 image pixels to the inch on paper, in both directions.
            const PackedImage& pic = w.items[i].picture;
            QVERIFY2(pic.width() / (place.width() / sheet.dpi) >= 199.9, qPrintable(QString::number(i)));
            QVERIFY(pic.height() / (place.height() / sheet.dpi) >= 199.9);
        }
        QVERIFY(PaintWorksheet(&pdf.writer, w, WorksheetParts::Both));
        QVERIFY(pdf.buffer.data().startsWith("%PDF"));
    }

    void withoutPicturesOrKey()
    {
        WorksheetRequest r = ThemesInTurn({21, 24}, 1, 6, 9);
        r.pictures = false;
        const Worksheet w = MakeWorksheet(r);
        // Theme 24 asks about its picture: the sheet is filled with theme 21.
        QCOMPARE(w.items.size(), 6);
        QCOMPARE(w.leftOut, QList<int>{24});
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
        QCOMPARE(w.themes, QStringLiteral("thema 21"));
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
                QVERIFY(plain.items[i.number - 1].explanation.isEmpty());
                if (!i.explanation.isEmpty() && i.explanationTexts.contains(QStringLiteral("Toelichting:")))
                    ++withText;
            }
            QVERIFY2(withText >= 18, qPrintable(QString::number(withText)));
        }
    }

    // A class code's items follow a test's rule: the code's themes only, none among the last
    // two, the code's level; without pictures over the themes that stay.
    void aCodeFollowsTheTestsRule()
    {
        TestCodeSettings t;
        t.sessionMode = 20;
        t.themes = 0b1101001;  // themes 21, 24, 26, 27; 24 needs its picture
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
            QCOMPARE(w.leftOut, QList<int>{24});
            for (int i = 0; i < w.items.size(); ++i) {
                QVERIFY(QList<int>({21, 26, 27}).contains(w.items[i].themeCode));
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
        // The mixed challenge without pictures: filled from the themes that stay.
        mixed.pictures = false;
        const Worksheet plain = MakeWorksheet(mixed);
        QCOMPARE(plain.items.size(), 12);
        for (const WorksheetItem& i : plain.items)
            QVERIFY(!NeedsPicture(i.themeCode));
        QCOMPARE(plain.leftOut.size(), 17);
    }

    // Without pictures only themes a pupil can answer from the text, filled to the number
    // asked for, and no question sends the pupil to a picture that isn't there.
    void withoutPicturesNoQuestionNeedsOne()
    {
        QCOMPARE(ThemesWithoutPictures(AllThemes()), QList<int>({16, 17, 21, 26, 27}));
        for (std::uint32_t seed = 1; seed <= (Sanitized ? 2u : 8u); ++seed)
            for (int level = 1; level <= 3; ++level) {
                WorksheetRequest r = ThemesInTurn(AllThemes(), level, MaxWorksheetItems, seed);
                r.pictures = false;
                r.explanations = seed == 1;
                const Worksheet w = MakeWorksheet(r);
                QCOMPARE(w.items.size(), MaxWorksheetItems);
                QCOMPARE(w.leftOut.size(), 17);
                for (const WorksheetItem& i : w.items) {
                    QVERIFY(!NeedsPicture(i.themeCode));
                    QVERIFY(i.picture.isNull() && i.explainedPicture.isNull());
                    const QString all = i.questionTexts.join(u' ');
                    QVERIFY2(!all.contains(QStringLiteral("hiernaast"), Qt::CaseInsensitive) &&
                                 !all.contains(QStringLiteral("plaatje"), Qt::CaseInsensitive),
                             qPrintable(all));
                    // The question's lines follow each other without a gap where one was taken out.
                    QVERIFY(i.question.first().y < 2 * w.linePixels);
                }
            }
    }

    // Numbers and labels in a picture print at 9 points or more on the sheet and 8 or more in
    // the key; a picture stays within the page, at 200 dpi or more.
    void pictureTextsPrintLegibly()
    {
        Pdf pdf;
        const Sheet sheet(&pdf.writer);
        for (int level = 1; level <= 3; ++level) {
            WorksheetRequest r = ThemesInTurn(AllThemes(), level, Sanitized ? 22 : 40, std::uint32_t(level * 31));
            r.explanations = true;
            const Worksheet w = MakeWorksheet(r);
            const WorksheetPlan plan = PlanWorksheet(&pdf.writer, w, WorksheetParts::Both);
            int keyPictures = 0;
            for (int i = 0; i < w.items.size(); ++i) {
                const WorksheetItem& item = w.items[i];
                auto check = [&](const WorksheetPlace& place, const PackedImage& pic,
                                 const QVector<TextLogEntry>& texts, double points) {
                    if (pic.isNull())
                        return;
                    QVERIFY(place.picture.left() >= -0.01 && place.picture.right() <= sheet.width + 0.01);
                    QVERIFY(place.box.contains(place.picture));
                    QVERIFY(pic.width() / (place.picture.width() / sheet.dpi) >= 199.9);
                    // Words far smaller than the picture's other texts are patterns, not read.
                    int largest = 1;
                    for (const TextLogEntry& e : texts)
                        largest = std::max(largest, e.size);
                    for (const TextLogEntry& e : texts) {
                        if (2 * e.size < largest)
                            continue;
                        const double printed = PointsToPixels(e.size) * place.pictureScale * 72.0 / sheet.dpi;
                        QVERIFY2(printed >= points - 0.01, qPrintable(QStringLiteral("thema %1 \"%2\": %3 pt")
                                                                         .arg(item.themeCode)
                                                                         .arg(e.text)
                                                                         .arg(printed)));
                    }
                };
                check(plan.items[i], item.picture, item.pictureTexts, 9);
                check(plan.answers[i], item.explainedPicture, item.explainedPictureTexts, 8);
                keyPictures += item.explainedPicture.isNull() ? 0 : 1;
                // The question's own texts print at 9 points or more too.
                for (const TextLogEntry& e : item.question)
                    QVERIFY(PointsToPixels(e.size) * plan.items[i].textScale * 72.0 / sheet.dpi >= 8.99);
            }
            QVERIFY(keyPictures > 0);
        }
    }

    // The key writes a comma, so the sheet's questions and explanations do too, whatever the
    // program's separator; and the program's separator is left as it was.
    void oneDecimalSeparatorOnASheet()
    {
        const QChar kept = DecimalSeparator;
        DecimalSeparator = u'.';
        WorksheetRequest r = ThemesInTurn({12, 15, 17}, 2, Sanitized ? 9 : 24, 4);
        r.explanations = true;
        const Worksheet w = MakeWorksheet(r);
        QCOMPARE(DecimalSeparator, QChar(u'.'));
        DecimalSeparator = kept;
        const QRegularExpression point(QStringLiteral("\\d\\.\\d"));
        int decimals = 0;
        for (const WorksheetItem& i : w.items) {
            QStringList texts = i.questionTexts + i.explanationTexts;
            for (const TextLogEntry& e : i.pictureTexts + i.explainedPictureTexts)
                texts << e.text;
            texts << i.answer;
            for (const QString& t : texts) {
                QVERIFY2(!t.contains(point), qPrintable(t));
                decimals += t.contains(QRegularExpression(QStringLiteral("\\d,\\d"))) ? 1 : 0;
            }
        }
        QVERIFY(decimals > 0);
    }

    void packedPicturesComeBackWhole()
    {
        QImage img(37, 11, QImage::Format_RGB32);
        img.fill(Qt::white);
        for (int y = 0; y < img.height(); ++y)
            for (int x = (y * 7) % 5; x < img.width(); x += 3)
                img.setPixel(x, y, qRgb(x * 6, y * 20, 128));
        const PackedImage packed(img);
        QCOMPARE(packed.size(), img.size());
        QCOMPARE(packed.image(), img);
        QImage white(500, 400, QImage::Format_ARGB32);
        white.fill(Qt::white);
        QVERIFY(PackedImage(white).bytes() < 5000);
        QCOMPARE(PackedImage(white).image(), white.convertToFormat(QImage::Format_RGB32));
        QVERIFY(PackedImage(QImage()).isNull() && PackedImage().image().isNull());
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

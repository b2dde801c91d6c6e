// The class code: every valid choice of a teacher survives the round trip, nothing else
// encodes, and one mistyped character or two swapped neighbours never give another test.
#include <QTest>
#include <bit>
#include <random>

#include "session/catalogue.h"
#include "session/random.h"
#include "session/testcode.h"
#include "support.h"

using namespace kav;

namespace {

const QString Symbols = QString::fromLatin1(TestCodeSymbols);

// Every valid choice of topic, themes, level and length (seed 0).
QVector<TestCodeSettings> everyChoice()
{
    QVector<TestCodeSettings> all;
    for (int mode : {0, 10, 20})
        for (unsigned mask = 0; mask < 256; ++mask)
            for (int level = 1; level <= 3; ++level)
                for (int length : TestLengths) {
                    const TestCodeSettings s{mode, mask, level, length, 0};
                    if (IsValidTestSettings(s))
                        all.append(s);
                }
    for (int length : TestLengths)
        all.append(TestCodeSettings{-10, 0, 3, length, 0});
    return all;
}

// Nine symbols and the check that makes sum(place x value) a multiple of 31.
QString withCheck(const QString& nine)
{
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (i + 1) * int(Symbols.indexOf(nine[i]));
    for (int c = 0; c < 31; ++c)
        if ((sum + 10 * c) % 31 == 0)
            return nine + Symbols[c];
    return QString();
}

}  // namespace

class TestTestCode : public QObject {
    Q_OBJECT

private slots:
    void symbolsAreThirtyOneThatCantBeMistaken()
    {
        QCOMPARE(Symbols.size(), 31);
        for (QChar c : QStringLiteral("01ILO"))
            QVERIFY(!Symbols.contains(c));
        QCOMPARE(QSet<QChar>(Symbols.begin(), Symbols.end()).size(), 31);
    }

    void boxesFollowTheCatalogue()
    {
        for (int mode : {0, 10, 20}) {
            int titled = 0;
            for (int j = 1; j <= 8; ++j)
                titled += ThemeTitle(mode + j).isEmpty() ? 0 : 1;
            QCOMPARE(TestThemeBoxes(mode), titled);
        }
        QCOMPARE(TestThemeBoxes(-10), 0);
    }

    void everyChoiceAndSeedComesBack()
    {
        const QVector<TestCodeSettings> all = everyChoice();
        // 99 box patterns of at least three of seven, 219 of eight; levels; lengths.
        QCOMPARE(all.size(), (99 + 99 + 219) * 3 * 4 + 4);
        std::mt19937 rng(7);
        const int seedsEach = testsupport::Sweep(24);
        QSet<QString> codes;
        for (TestCodeSettings s : all) {
            for (int k = 0; k < seedsEach; ++k) {
                s.seed = k == 0 ? 0u : k == 1 ? 0xFFFFFFFFu : std::uint32_t(rng());
                const auto code = EncodeTestCode(s);
                QVERIFY(code);
                QCOMPARE(code->size(), TestCodeLength);
                for (QChar c : *code)
                    QVERIFY(Symbols.contains(c));
                const auto back = DecodeTestCode(*code);
                QVERIFY2(back && *back == s, qPrintable(*code));
                QCOMPARE(TestSeed(*back), s.seed);
                if (k < 2)
                    codes.insert(*code);
            }
        }
        QCOMPARE(codes.size(), all.size() * 2);
    }

    void typedFormsAreRead()
    {
        const TestCodeSettings s{10, 0b1011001u, 2, 20, 123456789u};
        const QString code = *EncodeTestCode(s);
        const QString grouped = GroupTestCode(code);
        QCOMPARE(grouped.size(), 11);
        QCOMPARE(grouped[5], u'-');
        for (const QString& typed : {code.toLower(), grouped, QStringLiteral("  ") + grouped.toLower() + QStringLiteral(" "),
                                     code.left(3) + u' ' + code.mid(3, 3) + QStringLiteral(" - ") + code.mid(6),
                                     code.left(5) + QChar(0x2013) + code.mid(5)})
            QVERIFY2(DecodeTestCode(typed) == s, qPrintable(typed));
        QCOMPARE(NormaliseTestCode(QStringLiteral(" ab-c d ")), QStringLiteral("ABCD"));
        QCOMPARE(GroupTestCode(QStringLiteral("ABC")), QStringLiteral("ABC"));
    }

    void invalidChoicesNeverEncode()
    {
        const QList<TestCodeSettings> bad = {
            {0, 0b11u, 1, 10, 1},          // two themes are not a test
            {0, 0u, 1, 10, 1},             // no theme
            {0, 0b10000011u, 1, 10, 1},    // box 8 of Verbanden has no theme
            {10, 0b110000001u, 2, 10, 1},  // a ninth box
            {20, 0b111u, 0, 10, 1},        // level 0
            {20, 0b111u, 4, 10, 1},
            {20, 0b111u, 2, 15, 1},  // not a length of the choice
            {20, 0b111u, 2, -10, 1},
            {-10, 0u, 2, 10, 1},  // the mixed challenge is Prof !
            {-10, 0b111u, 3, 10, 1},
            {30, 0b111u, 1, 10, 1},  // demonstrations, games and unknown modes
            {40, 0b111u, 1, 10, 1},
            {1, 0b111u, 1, 10, 1},
            {5, 0b111u, 1, 10, 1},
        };
        for (const TestCodeSettings& s : bad) {
            QVERIFY(!IsValidTestSettings(s));
            QVERIFY(!EncodeTestCode(s));
        }
    }

    void everySingleTypoAndNeighbourSwapIsCaught()
    {
        const QVector<TestCodeSettings> all = everyChoice();
        std::mt19937 rng(11);
        const int codes = testsupport::Sweep(400);
        int swaps = 0;
        for (int n = 0; n < codes; ++n) {
            TestCodeSettings s = all[int(rng() % std::uint32_t(all.size()))];
            s.seed = std::uint32_t(rng());
            const QString code = *EncodeTestCode(s);
            for (int i = 0; i < TestCodeLength; ++i) {
                for (QChar c : Symbols) {
                    if (c == code[i])
                        continue;
                    QString typo = code;
                    typo[i] = c;
                    QVERIFY2(!DecodeTestCode(typo), qPrintable(code + QStringLiteral(" -> ") + typo));
                }
                if (i + 1 < TestCodeLength && code[i] != code[i + 1]) {
                    QString swapped = code;
                    std::swap(swapped[i], swapped[i + 1]);
                    QVERIFY2(!DecodeTestCode(swapped), qPrintable(code + QStringLiteral(" -> ") + swapped));
                    ++swaps;
                }
            }
        }
        QVERIFY(swaps > codes * 7);
    }

    void anythingElseIsNoCode()
    {
        for (const QString& typed :
             {QString(), QStringLiteral("ABCDEFGHJ"), QStringLiteral("ABCDEFGHJKM"), QStringLiteral("0000000000"), QStringLiteral("IIIIIIIIII"), QStringLiteral("ABCDEFGHJ!"),
              QStringLiteral("ÄBCDEFGHJK"), QStringLiteral("----------")})
            QVERIFY2(!DecodeTestCode(typed), qPrintable(typed));
        // Right check, but beyond the last settings number.
        QVERIFY(!DecodeTestCode(withCheck(QStringLiteral("ZZZZZZZZZ"))));
        // Random symbols with a right check: what reads as a code is the one code of its test.
        std::mt19937 rng(5);
        int read = 0;
        const int tries = testsupport::Sweep(100000);
        for (int n = 0; n < tries; ++n) {
            QString nine;
            for (int i = 0; i < 9; ++i)
                nine += Symbols[int(rng() % 31)];
            const QString code = withCheck(nine);
            const auto s = DecodeTestCode(code);
            if (!s)
                continue;
            ++read;
            QVERIFY(IsValidTestSettings(*s));
            QCOMPARE(EncodeTestCode(*s), std::optional<QString>(code));
        }
        // Most checked strings are codes: the seed takes all 32 bits.
        QVERIFY(read > tries / 2);
    }

    // A test without "Lees voor" has a code of eleven: the same nine data symbols, a check that
    // leaves 1 over (so the first ten alone are no code) and a last symbol that completes the
    // check. Codes made by the old rule still read, with "Lees voor" allowed.
    void withoutReadingTheCodeHasAnEleventhSymbol()
    {
        const QVector<TestCodeSettings> all = everyChoice();
        std::mt19937 rng(13);
        const int codes = testsupport::Sweep(200);
        for (int n = 0; n < codes; ++n) {
            TestCodeSettings s = all[int(rng() % std::uint32_t(all.size()))];
            s.seed = std::uint32_t(rng());
            const QString allowed = *EncodeTestCode(s);
            s.readAloud = false;
            const QString code = *EncodeTestCode(s);
            QCOMPARE(code.size(), TestCodeLengthWithoutReading);
            QCOMPARE(code.left(9), allowed.left(9));
            QCOMPARE(DecodeTestCode(code), std::optional<TestCodeSettings>(s));
            QCOMPARE(DecodeTestCode(GroupTestCode(code).toLower()), std::optional<TestCodeSettings>(s));
            QVERIFY(!DecodeTestCode(code.left(10)));
            QVERIFY(!DecodeTestCode(allowed + code.back()));
            for (int i = 0; i < code.size(); ++i) {
                for (QChar c : Symbols) {
                    QString typo = code;
                    typo[i] = c;
                    if (c != code[i])
                        QVERIFY2(!DecodeTestCode(typo), qPrintable(code + QStringLiteral(" -> ") + typo));
                }
                if (i + 1 < code.size() && code[i] != code[i + 1]) {
                    QString swapped = code;
                    std::swap(swapped[i], swapped[i + 1]);
                    QVERIFY2(!DecodeTestCode(swapped), qPrintable(code + QStringLiteral(" -> ") + swapped));
                }
            }
            const QString old = withCheck(allowed.left(9));
            QCOMPARE(old, allowed);
            QVERIFY(DecodeTestCode(old)->readAloud);
        }
        QCOMPARE(GroupTestCode(QStringLiteral("ABCDEFGHJKG")), QStringLiteral("ABCDE-FGHJK-G"));
    }

    void sameCodeSameItems()
    {
        const TestCodeSettings s{20, 0xFFu, 3, 0, 987654321u};
        const auto a = DecodeTestCode(*EncodeTestCode(s));
        QVERIFY(a);
        SeedRandom(TestSeed(*a));
        QList<int> first;
        for (int i = 0; i < 50; ++i)
            first << Random(1000);
        SeedRandom(TestSeed(*DecodeTestCode(EncodeTestCode(s)->toLower())));
        for (int i = 0; i < 50; ++i)
            QCOMPARE(Random(1000), first[i]);
        QCOMPARE(UnknownTestCodeMessage(), QStringLiteral("Deze toetscode bestaat niet."));
    }
};

QTEST_GUILESS_MAIN(TestTestCode)
#include "tst_testcode.moc"

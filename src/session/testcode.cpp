#include "session/testcode.h"

#include <QRandomGenerator>
#include <bit>

namespace kav {

namespace {

constexpr int Base = 31;
constexpr int DataSymbols = TestCodeLength - 1;
constexpr int LevelCount = 3;
constexpr int LengthCount = int(TestLengths.size());

// The topics in the order of their ranges of settings numbers, with their number of boxes.
struct TopicRange {
    int mode;
    int boxes;
};
constexpr std::array<TopicRange, 4> Topics{{{0, 7}, {10, 7}, {20, 8}, {-10, 0}}};

// How many settings numbers a topic takes: every box pattern, level and length (the mixed
// challenge has only its lengths).
constexpr std::uint64_t rangeSize(const TopicRange& t)
{
    return t.boxes == 0 ? std::uint64_t(LengthCount) : (std::uint64_t(1) << t.boxes) * LevelCount * LengthCount;
}

constexpr std::uint64_t settingsCount()
{
    std::uint64_t n = 0;
    for (const TopicRange& t : Topics)
        n += rangeSize(t);
    return n;
}

constexpr std::uint64_t power(std::uint64_t b, int e)
{
    std::uint64_t r = 1;
    while (e-- > 0)
        r *= b;
    return r;
}

// The settings number times 2^32 plus the seed is written in nine symbols.
static_assert(settingsCount() << 32 <= power(Base, DataSymbols), "the settings and the seed must fit in nine symbols");

int symbolValue(QChar c)
{
    const char* p = TestCodeSymbols;
    for (int i = 0; p[i]; ++i)
        if (c == QLatin1Char(p[i]))
            return i;
    return -1;
}

int lengthIndex(int length)
{
    for (int i = 0; i < LengthCount; ++i)
        if (TestLengths[size_t(i)] == length)
            return i;
    return -1;
}

// What the weighted sum of the first ten symbols leaves over: 0 in every code, 1 in the first
// ten of a code without "Lees voor".
constexpr int AllowedRest = 0, WithoutReadingRest = 1;

// The check symbol that makes the weighted sum of all ten leave `rest` over.
int checkSymbol(const std::array<int, TestCodeLength>& v, int rest)
{
    int sum = 0;
    for (int i = 0; i < DataSymbols; ++i)
        sum += (i + 1) * v[size_t(i)];
    // 10 * 28 = 280 = 9 * 31 + 1: 28 is the inverse of the last weight.
    return ((rest - sum % Base + Base) % Base) * 28 % Base;
}

// The eleventh symbol after ten that leave 1 over: 11 * 14 = 154 = 5 * 31 - 1, so the sum of
// all eleven is a multiple of 31.
constexpr int WithoutReadingSymbol = 14;
static_assert((WithoutReadingRest + 11 * WithoutReadingSymbol) % Base == 0, "the eleventh symbol completes the check");

bool isDash(QChar c)
{
    return c == u'-' || (c.unicode() >= 0x2010 && c.unicode() <= 0x2015) || c.unicode() == 0x2212;
}

}  // namespace

int TestThemeBoxes(int sessionMode)
{
    for (const TopicRange& t : Topics)
        if (t.mode == sessionMode)
            return t.boxes;
    return 0;
}

bool IsValidTestSettings(const TestCodeSettings& s)
{
    bool known = false;
    for (const TopicRange& t : Topics)
        known = known || t.mode == s.sessionMode;
    if (!known || lengthIndex(s.length) < 0)
        return false;
    if (s.sessionMode < 0)
        return s.themes == 0 && s.level == 3;
    const int boxes = TestThemeBoxes(s.sessionMode);
    return s.level >= 1 && s.level <= LevelCount && (s.themes >> boxes) == 0 && std::popcount(s.themes) >= 3;
}

std::optional<QString> EncodeTestCode(const TestCodeSettings& s)
{
    if (!IsValidTestSettings(s))
        return std::nullopt;
    std::uint64_t number = 0;
    for (const TopicRange& t : Topics) {
        if (t.mode == s.sessionMode) {
            number += t.boxes == 0 ? std::uint64_t(lengthIndex(s.length))
                                   : (std::uint64_t(s.themes) * LevelCount + std::uint64_t(s.level - 1)) * LengthCount +
                                         std::uint64_t(lengthIndex(s.length));
            break;
        }
        number += rangeSize(t);
    }
    std::uint64_t value = (number << 32) | s.seed;
    std::array<int, TestCodeLength> v{};
    for (int i = DataSymbols - 1; i >= 0; --i) {
        v[size_t(i)] = int(value % Base);
        value /= Base;
    }
    v[DataSymbols] = checkSymbol(v, s.readAloud ? AllowedRest : WithoutReadingRest);
    QString code;
    for (int x : v)
        code += QLatin1Char(TestCodeSymbols[x]);
    if (!s.readAloud)
        code += QLatin1Char(TestCodeSymbols[WithoutReadingSymbol]);
    return code;
}

std::optional<TestCodeSettings> DecodeTestCode(const QString& typed)
{
    const QString code = NormaliseTestCode(typed);
    const bool withoutReading = code.size() == TestCodeLengthWithoutReading;
    if (code.size() != TestCodeLength && !withoutReading)
        return std::nullopt;
    if (withoutReading && symbolValue(code[TestCodeLength]) != WithoutReadingSymbol)
        return std::nullopt;
    std::array<int, TestCodeLength> v{};
    int sum = 0;
    for (int i = 0; i < TestCodeLength; ++i) {
        v[size_t(i)] = symbolValue(code[i]);
        if (v[size_t(i)] < 0)
            return std::nullopt;
        sum += (i + 1) * v[size_t(i)];
    }
    if (sum % Base != (withoutReading ? WithoutReadingRest : AllowedRest))
        return std::nullopt;
    std::uint64_t value = 0;
    for (int i = 0; i < DataSymbols; ++i)
        value = value * Base + std::uint64_t(v[size_t(i)]);
    TestCodeSettings s;
    s.readAloud = !withoutReading;
    s.seed = std::uint32_t(value & 0xFFFFFFFFu);
    std::uint64_t number = value >> 32;
    for (const TopicRange& t : Topics) {
        if (number >= rangeSize(t)) {
            number -= rangeSize(t);
            continue;
        }
        s.sessionMode = t.mode;
        s.length = TestLengths[size_t(number % LengthCount)];
        number /= LengthCount;
        if (t.boxes == 0) {
            s.themes = 0;
            s.level = 3;
        } else {
            s.level = int(number % LevelCount) + 1;
            s.themes = unsigned(number / LevelCount);
        }
        if (!IsValidTestSettings(s))
            return std::nullopt;
        return s;
    }
    return std::nullopt;  // beyond the last topic's range
}

QString NormaliseTestCode(const QString& typed)
{
    QString code;
    for (QChar c : typed)
        if (!c.isSpace() && !isDash(c))
            code += c.toUpper();
    return code;
}

QString GroupTestCode(const QString& code)
{
    if (code.size() != TestCodeLength && code.size() != TestCodeLengthWithoutReading)
        return code;
    QString grouped = code.left(TestCodeLength / 2) + u'-' + code.mid(TestCodeLength / 2, TestCodeLength / 2);
    if (code.size() == TestCodeLengthWithoutReading)
        grouped += u'-' + code.mid(TestCodeLength);
    return grouped;
}

std::uint32_t TestSeed(const TestCodeSettings& s)
{
    return s.seed;
}

std::uint32_t NewTestSeed()
{
    return QRandomGenerator::system()->generate();
}

QString UnknownTestCodeMessage()
{
    return QStringLiteral("Deze toetscode bestaat niet.");
}

}  // namespace kav

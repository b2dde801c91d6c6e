// The class code (toetscode): a teacher chooses a test in the teacher's corner and gets a
// code of ten characters; every pupil who types it gets the same test, item for item. The code
// carries the topic, the ticked themes, the level, the length and the random seed.
//
// Characters: 2-9 and A-Z without I, L and O (31 symbols that can't be mistaken for each
// other). Case, spaces and dashes are ignored when reading. The tenth character is a check:
// the sum of every symbol's value times its place (1..10) is a multiple of 31, so one
// mistyped character or two neighbours swapped always give a code that doesn't exist.
//
// A test without "Lees voor" has an eleventh character: its first ten leave 1 over instead
// (so without the eleventh they are no code), and the eleventh makes the weighted sum of all
// eleven a multiple of 31 again. Codes made before keep their meaning: read-aloud allowed.
#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace kav {

struct TestCodeSettings {
    int sessionMode = 0;     // 0 Verbanden, 10 Verhoudingen, 20 Driehoeksgetallen, -10 Grote uitdaging
    unsigned themes = 0;     // the ticked check boxes: bit n - 1 for box n; 0 in the mixed challenge
    int level = 1;           // 1 Starter, 2 Durver, 3 Prof !; always 3 in the mixed challenge
    int length = 10;         // number of items: 10, 20, 30, or 0 for no limit
    std::uint32_t seed = 0;  // the whole seed of the random source
    bool readAloud = true;   // "Lees voor" allowed during the test
    bool operator==(const TestCodeSettings&) const = default;
};

inline constexpr int TestCodeLength = 10;
// A code of a test without "Lees voor" (see above).
inline constexpr int TestCodeLengthWithoutReading = 11;
// The lengths a teacher can choose, in the order of the choice; 0 is "Onbeperkt".
inline constexpr std::array<int, 4> TestLengths{10, 20, 30, 0};
// The topics a test can be about, in the order of the main menu.
inline constexpr std::array<int, 4> TestTopics{0, 10, 20, -10};
inline constexpr const char* TestCodeSymbols = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";

// The number of theme check boxes of a topic (7, 7, 8; 0 for the mixed challenge and others).
int TestThemeBoxes(int sessionMode);
// Settings that make a test: a known topic; at least three ticked themes, all of them boxes
// of the topic (none in the mixed challenge); level 1..3 (3 in the mixed challenge); a length
// from TestLengths.
bool IsValidTestSettings(const TestCodeSettings& s);
// The ten (or, without "Lees voor", eleven) characters of the code; nothing for settings that
// are not valid.
std::optional<QString> EncodeTestCode(const TestCodeSettings& s);
// The settings of a typed code; nothing when it is not a code (show UnknownTestCodeMessage()).
std::optional<TestCodeSettings> DecodeTestCode(const QString& typed);
// Upper case, without spaces and dashes: the form codes are kept and compared in.
QString NormaliseTestCode(const QString& typed);
// For showing and printing: "ABCDE-FGHJK", "ABCDE-FGHJK-G" (other texts come back unchanged).
QString GroupTestCode(const QString& code);
// The seed to give SeedRandom at START, so every pupil with the code gets the same items.
std::uint32_t TestSeed(const TestCodeSettings& s);
// A new seed for a code the teacher makes.
std::uint32_t NewTestSeed();
QString UnknownTestCodeMessage();

}  // namespace kav

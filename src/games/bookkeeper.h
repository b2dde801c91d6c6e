// The bookkeeper game: the pupil keeps the balance of a company's credit notes (positive
// amounts) and debit notes (negative amounts). At every step one note is added or taken away
// and the pupil types the new balance; right answers climb a career ladder of 23 ranks.
#pragma once
#include <QString>
#include <array>

namespace kav {

constexpr int NoteRows = 5;
constexpr int NoteColumns = 3;
constexpr int NotesPerSide = NoteRows * NoteColumns;
constexpr int TopRank = 23;

enum NoteSide { Debit = 0, Credit = 1 };

struct BookkeeperGame {
    using Grid = std::array<std::array<int, NoteColumns>, NoteRows>;  // [row][column], row 0 at the bottom
    Grid CreditNotes{};
    Grid DebitNotes{};
    int CreditCount = 0;
    int DebitCount = 0;
    int CreditTotal = 0;  // >= 0
    int DebitTotal = 0;   // <= 0
    int NoteStep = 10;    // amounts are k * NoteStep, k in 1..9
    // How many notes of each k (1..9) lie on each side.
    std::array<std::array<int, 10>, 2> NoteValueCount{};
    bool Running = false;  // a game has been started (Doorgaan then plays the next step)
    int GameLevel = 0;     // the level the running game was started at
    int AskedAtItem = -1;  // ItemCount when the balance was asked; still open while it stays so

    int Balance() const { return CreditTotal + DebitTotal; }
};

BookkeeperGame& Bookkeeper();

// Steps called by the session window.
void BookkeeperIntro();   // the window is activated in the game: explanation and level choice
void BookkeeperStart();   // a new game, or the next step of the running one
void BookkeeperNext();    // Doorgaan: clears, then BookkeeperStart
void BookkeeperResume();  // START again at the same level after the level button

// One note cell: Side Credit or Debit, highlighted (yellow with red text) or normal.
void DrawNote(NoteSide side, int row, int column, bool highlighted);
// The balance box, the tray titles and totals, the rank picture, the ladder and the rank.
void DrawLedger();
// Change one note, drawing it, and set the expected balance.
void AddNote();
void RemoveNote();
// Whether the next step adds a note (else it takes one away), by the game's rules.
bool NextStepAdds();

int NoteStepFor(int level);
QString RankName(int rank);
// The name of the rank's picture in the bookkeeper's picture library.
QString RankPictureName(int rank);

}  // namespace kav

// Saldo Plus: a dice game against the computer. The pupil starts at -100 points; each round
// both throw a die and the difference is paid, times a factor that grows with every re-throw;
// the pupil types the new balance. The game is won as soon as the balance is above 0.
#pragma once

namespace kav {

struct SaldoGame {
    int Saldo = -100;      // the pupil's balance
    int PayFactor = 1;     // 1 at the start of a round, +1 at every re-throw
    int PlayerDie = 1;     // the last throws, 1..6
    int OpponentDie = 1;
    int KlokTag = 0;       // below 100: the round's state 1..5; from 100 on: the explanation's step
    bool Running = false;  // a game has been started (Doorgaan then plays the next round)
    bool Ended = false;    // the balance rose above 0 and the celebration was shown
    int Shown = -100;      // the balance after the rounds answered, as the level button shows it
};

SaldoGame& Saldo();

// Steps called by the session window.
void SaldoIntro();       // the window is activated in Saldo Plus: the explanation page
void SaldoStart();       // a new game, or the next round of the running one
void SaldoNext();        // Doorgaan after a judged balance: clears, then SaldoStart
void SaldoTick();        // Klok: the explanation's next element or one step of the dice

void SaldoIntroTick();
void SaldoRoundTick();
// Redraws the score display; shows the celebration and returns true when the balance is above 0.
bool SaldoScoreboard();
// Books the payment and asks for the new balance.
void SaldoAskBalance();
// The level button shows the balance as it stands (on the scoreboard, and once a round's
// balance was judged); Shown keeps it.
void SaldoShowBalance();

// The speed of the dice: milliseconds per animation step after ItemCount finished rounds.
int SaldoKlokInterval(int itemCount);

// Where the explanation's bonus/malus box and the scoreboard's boxes stand: the line L of
// the title "Bonus / Malus regeling:" (the box runs from L - 0.5 to L + 3.5).
double SaldoBoxLine();

}  // namespace kav

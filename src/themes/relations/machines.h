// The small calculating machines of the relations themes 1 and 5: a vertical chain of
// machines in the picture, a number going in at the top, each machine applying one
// operation with one number; and the worked explanation that writes the values between
// the machines beside the chain.
#pragma once
#include <QString>
#include <QVector>

namespace kav {

// Operation codes of a machine, as kept in QuestionParams.
enum MachineOperation { OpPlus = 1, OpMin = 2, OpKeer = 3, OpDeelDoor = 4 };

struct Machine {
    int op = OpPlus;
    int number = 0;
};

// "Plus ", "Min ", "Keer " or "Deel door " (with its space); empty for an unknown code.
QString OperationWord(int op);
// V through the machine, and back through it (Keer undone by division, Deel door by
// multiplication). Division truncates; a machine that cannot divide passes V on unchanged.
long long ApplyMachine(const Machine& m, long long v);
long long UndoMachine(const Machine& m, long long v);

// The text line at PercentY(P) (a real: PercentY(P) / LineHeight).
double PercentLine(double p);
// The text line whose middle lies in the middle of the band of 9 % of the picture height
// that starts at TopPercent: the body of a machine, or the room between two machines.
double BandLine(double topPercent);
// The text line centred on the body of machine I (0 at the top).
double MachineLine(int i);

// Machine I of the chain, counted from the top, into PictureBitmap: the yellow body with
// its hopper and outlet, the black outline, the red arrow into it and Label (blue, bold)
// centred on the body.
void DrawMachine(int i, const QString& label);
// The red arrow out of the last of Count machines.
void DrawChainExitArrow(int count);

// The worked explanation begins: TextLine moves on by 1.25 and "Toelichting:" is written
// there; returns that line.
double ExplanationHeading();

// The worked explanation of a machine chain below the heading on line B. Slot 0 is the
// input, slot j the value between machine j-1 and machine j, the last slot the output; the
// values are written beside the chain at 92 % of the picture width. N tells what is asked:
// Chain.size() + 1 the output (all values computed downward), 0 the input (all upward),
// k + 1 the number of machine k (downward to it, upward to it, and the line
// "in <op> ? = out" with "Dus: ? = " Answer).
void ChainExplanation(double b, int input, int output, const QVector<Machine>& chain, int n, int answer);

}  // namespace kav

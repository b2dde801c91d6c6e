// Theme 1, "Rekenmachines schakelen": a chain of two to four calculating machines; the
// pupil finds the output, the input or the number of one machine.
#include "draw/measures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/machines.h"
#include "themes/relations/relations.h"
#include "themes/relations/textlines.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

constexpr int Code = 1;

// QuestionParams: 0 the input, 1 the output, machine i at 2 + 2i (operation) and 3 + 2i
// (its number), four machines at most.
constexpr int MaxMachines = 4;

struct Chain {
    int input = 0;
    QVector<Machine> machines;
};

int Output(const Chain& c)
{
    long long v = c.input;
    for (const Machine& m : c.machines)
        v = ApplyMachine(m, v);
    return int(v);
}

// The value that goes into machine K.
long long ValueInto(const Chain& c, int k)
{
    long long v = c.input;
    for (int i = 0; i < k && i < c.machines.size(); ++i)
        v = ApplyMachine(c.machines[i], v);
    return v;
}

// A new chain of Level + 1 machines. "Deel door" only comes first, with an input it divides
// exactly; one of the first two machines multiplies. Below "Prof !" the value after the first
// two is never negative, and the third only adds or multiplies.
Chain MakeChain(int level)
{
    Chain c;
    Machine a, b;
    long long value = 0;
    do {
        c.input = 6 + Random(6 * (level + 1));
        a.op = 1 + Random(4);
        if (a.op == OpDeelDoor) {
            a.number = 2 + Random(5);
            c.input = (4 + Random(20)) * a.number;
        } else {
            a.number = 2 + Random(9);
        }
        value = ApplyMachine(a, c.input);
        b.op = a.op;
        while ((a.op != OpKeer && b.op != OpKeer) || b.op == a.op)
            b.op = 1 + Random(3);
        b.number = 2 + Random(5);
        value = ApplyMachine(b, value);
    } while (level <= 2 && value < 0);
    c.machines = {a, b};
    if (level >= 2) {
        Machine m{b.op, 0};
        while (m.op == b.op)
            m.op = 1 + 2 * Random(2);
        m.number = 2 + Random(5);
        c.machines.append(m);
    }
    if (level >= 3) {
        const int before = c.machines.last().op;
        Machine m{before, 0};
        while (m.op == before)
            m.op = 1 + Random(3);
        m.number = 2 + Random(5);
        c.machines.append(m);
    }
    return c;
}

// A Keer machine that gets 0 gives 0 whatever its number: that number cannot be found from
// what goes in and what comes out, so such a machine is never the one asked.
bool Undetermined(const Chain& c, int asked)
{
    return asked >= 0 && asked < c.machines.size() && c.machines[asked].op == OpKeer && ValueInto(c, asked) == 0;
}

void Store(const Chain& c)
{
    SessionState& s = Session();
    s.QuestionParams[0] = c.input;
    s.QuestionParams[1] = Output(c);
    for (int i = 0; i < MaxMachines; ++i) {
        const Machine m = i < c.machines.size() ? c.machines[i] : Machine{0, 0};
        s.QuestionParams[size_t(2 + 2 * i)] = m.op;
        s.QuestionParams[size_t(3 + 2 * i)] = m.number;
    }
}

QVector<Machine> StoredChain(int count)
{
    const SessionState& s = Session();
    QVector<Machine> chain;
    for (int i = 0; i < count && i < MaxMachines; ++i)
        chain.append({s.QuestionParams[size_t(2 + 2 * i)], s.QuestionParams[size_t(3 + 2 * i)]});
    return chain;
}

// The chain with the asked number shown as "?": Sub 0 the output, 1 the input, k + 2 the
// number of machine k.
void DrawChainPicture(const Chain& c, int sub)
{
    Canvas* pic = PictureBitmap();
    const int count = int(c.machines.size());
    for (int i = 0; i < count; ++i) {
        const Machine& m = c.machines[i];
        const QString number = i == sub - 2 ? QStringLiteral("?") : QString::number(m.number);
        DrawMachine(i, OperationWord(m.op) + number);
        DrawTextItem(QStringLiteral("Machine ") + QChar(u'A' + i), col::Blue, false, TextMargin, MachineLine(i), 1,
                     pic);
    }
    DrawChainExitArrow(count);
    const QString input = sub == 1 ? QStringLiteral("?") : QString::number(c.input);
    const QString output = sub == 0 ? QStringLiteral("?") : QString::number(Output(c));
    DrawTextItem(QStringLiteral("Input  ") + input, col::Red, true, Centred, PercentLine(10) - 1, 1, pic);
    DrawTextItem(QStringLiteral("Output  ") + output, col::Red, true, Centred, PercentLine(17 * (count - 1) + 37), 1,
                 pic);
}

}  // namespace

void Theme1()
{
    SessionState& s = Session();
    const int level = ThemeLevel();
    if (s.Attempt == 0) {
        // The next of the Level + 3 questions: the output, the input, machine A, B, ...
        const int sub = textlines::NextInCycle(s.ThemeMemory[Code], level + 3);
        s.ThemeMemory[Code] = sub;
        Chain c;
        do {
            c = MakeChain(level);
        } while (Undetermined(c, sub - 2));
        Store(c);
        if (sub == 0) {
            s.QuestionSubject = s.CaptionSubject = QStringLiteral("de output");
            s.ExpectedAnswer = Output(c);
        } else if (sub == 1) {
            s.QuestionSubject = s.CaptionSubject = QStringLiteral("de input");
            s.ExpectedAnswer = c.input;
        } else {
            const QChar letter(u'A' + (sub - 2));
            s.QuestionSubject = QStringLiteral("het vraagteken bij machine ") + letter;
            s.CaptionSubject = QStringLiteral("? bij machine ") + letter;
            s.ExpectedAnswer = c.machines[sub - 2].number;
        }
        DrawChainPicture(c, sub);
        const QString count[] = {QStringLiteral("twee"), QStringLiteral("drie"), QStringLiteral("vier")};
        s.PictureDescription = QStringLiteral("Een ketting van %1 rekenmachientjes, van de input via machine A "
                                              "naar de output. Het vraagteken staat bij %2.")
                                   .arg(count[qBound(1, level, 3) - 1],
                                        sub < 2 ? s.QuestionSubject : QStringLiteral("machine ") + QChar(u'A' + (sub - 2)));
    }

    const QString count[] = {QStringLiteral("Twee"), QStringLiteral("Drie"), QStringLiteral("Vier")};
    textlines::WriteAt(count[level - 1] + QStringLiteral(" machientjes zijn aaneen-"), col::Blue, 1);
    textlines::WriteAt(QStringLiteral("geschakeld tot een ketting."), col::Blue, 2);
    textlines::WriteAt(QStringLiteral("Zie het plaatje hiernaast."), col::Black, 3.5);
    textlines::WriteAt(QStringLiteral("Hoe groot is "), col::Blue, 5);
    textlines::WriteAt(s.QuestionSubject, col::Red, 6);
    textlines::WriteOn(QStringLiteral(" ?"), col::Blue, 6);
    AskWholeNumber(8, s.CaptionSubject + QStringLiteral(": "), QStringLiteral("|") + s.QuestionSubject +
                                                                  QStringLiteral(" = ?"));
}

void Theme1Explanation()
{
    const SessionState& s = Session();
    const int level = ThemeLevel();
    const int sub = s.ThemeMemory[Code];
    const double b = ExplanationHeading();
    if (sub < 0 || sub > level + 2)
        return;
    // What is computed downward ends at slot n; upward from the output it ends at slot n too.
    const int n = sub == 0 ? level + 2 : sub == 1 ? 0 : sub - 1;
    ChainExplanation(b, s.QuestionParams[0], s.QuestionParams[1], StoredChain(level + 1), n, s.ExpectedAnswer);
}

}  // namespace kav

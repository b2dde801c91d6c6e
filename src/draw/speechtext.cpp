#include "draw/speechtext.h"

#include <QRegularExpression>
#include <array>
#include <utility>

#include "draw/reading.h"

namespace kav {

namespace {

using Rx = QRegularExpression;

// Replaces every match of the pattern by what `with` makes of it.
template <typename F>
QString ReplaceEach(const QString& text, const Rx& rx, F with)
{
    QString out;
    qsizetype last = 0;
    auto it = rx.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += with(m);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString Cardinal(int n)
{
    static const char* const small[] = {"nul", "een", "twee", "drie", "vier", "vijf", "zes", "zeven", "acht",
                                        "negen", "tien", "elf", "twaalf", "dertien", "veertien", "vijftien",
                                        "zestien", "zeventien", "achttien", "negentien"};
    static const char* const tens[] = {"", "", "twintig", "dertig", "veertig", "vijftig", "zestig", "zeventig",
                                       "tachtig", "negentig"};
    if (n < 20)
        return QString::fromLatin1(small[n]);
    if (n < 100) {
        const int unit = n % 10;
        const QString ten = QString::fromLatin1(tens[n / 10]);
        if (unit == 0)
            return ten;
        // "tweeëntwintig": a trema where two e's would run together.
        const QString u = QString::fromLatin1(small[unit]);
        return u + (u.endsWith(u'e') ? QStringLiteral("ën") : QStringLiteral("en")) + ten;
    }
    const QString hundreds = n / 100 == 1 ? QStringLiteral("honderd") : Cardinal(n / 100) + QStringLiteral("honderd");
    return n % 100 == 0 ? hundreds : hundreds + Cardinal(n % 100);
}

// "3e" as a word: "derde"; the voice reads the figure and then the letter otherwise.
QString Ordinal(int n)
{
    if (n <= 0 || n >= 1000)
        return QString::number(n) + QStringLiteral("e");
    const int tail = n % 100;
    QString w = Cardinal(n);
    if (tail == 1)
        return w.chopped(3) + QStringLiteral("eerste");
    if (tail == 3)
        return w.chopped(4) + QStringLiteral("derde");
    if (tail == 0 || tail == 8 || tail >= 20)
        return w + QStringLiteral("ste");
    return w + QStringLiteral("de");
}

// Lines joined into one text: a word broken at a line end is whole again, a line that goes on
// in the next (which starts with a small letter) runs on, and other lines end with a stop.
QString JoinLines(const QString& shown)
{
    QString out;
    for (QString line : shown.split(u'\n')) {
        line = line.simplified();
        if (line.isEmpty())
            continue;
        if (out.isEmpty()) {
            out = line;
            continue;
        }
        // A line that goes on: it starts (after quotes) with a small letter, or with a number
        // after a sentence broken at a small word ("op een spijkerbord van" / "6 x 6 met ...").
        const qsizetype first = line.indexOf(Rx(QStringLiteral(R"([\p{L}\d])")));
        const QChar lead = first >= 0 ? line[first] : QChar();
        const bool brokenSentence = lead.isDigit() && out.back().isLower() &&
                                    out.mid(out.lastIndexOf(u'.') + 1).count(u' ') >= 2;
        const bool runsOn = lead.isLower() || brokenSentence;
        const qsizetype n = out.size();
        if (runsOn && n >= 2 && out.back() == u'-' && out[n - 2].isLetter()) {
            out.chop(1);
            out += line;
            continue;
        }
        const QChar end = out.back();
        const bool closed = QStringLiteral(".!?:;,=+-·×").contains(end);
        out += (closed || runsOn) ? QStringLiteral(" ") : QStringLiteral(". ");
        out += line;
    }
    return out;
}

// Abbreviations the program's texts use, written out; cm² and m² before the squares.
const std::array<std::pair<const char*, const char*>, 15> Abbreviations = {{
    {R"(\bM\.b\.v\.)", "Met behulp van"},
    {R"(\bm\.b\.v\.)", "met behulp van"},
    {R"(\b([Oo])pp\.\s*)", "\\1ppervlakte "},
    {R"(\bwoonk\.)", "woonkamer"},
    {R"(\bslaapk\.)", "slaapkamer"},
    {R"(\bt/m\b)", "tot en met"},
    {R"(\bbijv\.)", "bijvoorbeeld"},
    {R"(\benz\.)", "enzovoort"},
    {R"(\bd\.w\.z\.)", "dat wil zeggen"},
    {R"(\bnr\.)", "nummer"},
    {R"(\bcm²)", "vierkante centimeter"},
    {R"(\bm²)", "vierkante meter"},
    {R"(\bkm\b)", "kilometer"},
    {R"(\bcm\b)", "centimeter"},
    {R"(\bkg\b)", "kilo"},
}};

// The vulgar fractions, as said after a whole number ("3½": "3 en een half") or alone.
const std::array<std::pair<QChar, const char*>, 11> Fractions = {{
    {u'½', "een half"},
    {u'¼', "een kwart"},
    {u'¾', "drie kwart"},
    {u'⅓', "een derde"},
    {u'⅔', "twee derde"},
    {u'⅕', "een vijfde"},
    {u'⅖', "twee vijfde"},
    {u'⅗', "drie vijfde"},
    {u'⅘', "vier vijfde"},
    {u'⅛', "een achtste"},
    {u'⅜', "drie achtste"},
}};

bool IsOperatorSign(QChar c)
{
    return QStringLiteral("=+-−·×÷:/*<>≈≤≥≠").contains(c);
}

// The character next to position i, spaces passed over; step -1 looks back.
qsizetype Neighbour(const QString& t, qsizetype i, int step)
{
    for (i += step; i >= 0 && i < t.size(); i += step)
        if (!t[i].isSpace())
            return i;
    return -1;
}

// A question mark that stands for a number in a formula ("8 + ? = 12", "Keer ?") is "wat"; a
// question mark alone is the "vraagteken" a question asks about; one that ends a sentence stays.
QString QuestionMarks(QString t)
{
    if (t.trimmed() == QStringLiteral("?"))
        return QStringLiteral("vraagteken");
    // A value of a picture or a table that is asked for: "Output  ?", "90 ?" in a table's row.
    static const Rx askedValue(QStringLiteral(R"((\d\s*|\p{L}\s{2,})\?)"));
    // (Not the end of a question: a sentence has no signs, and a line of a sentence either
    // starts with a small letter or holds a question word.)
    static const Rx sentence(QStringLiteral(R"(^\s*\p{Ll}|\b(?:[Hh]oe|[Hh]oeveel|[Ww]at|[Ww]elke?|[Ww]aar|[Ww]ie)\b)"));
    if (t.contains(askedValue) && !t.contains(Rx(QStringLiteral(R"([=+·×:/]|\sx\s)"))) && !t.contains(sentence))
        t.replace(askedValue, QStringLiteral("\\1 vraagteken"));
    static const Rx operatorWord(QStringLiteral(R"((?:^|\s)(?:keer|min|plus|door|deel)\s*$)"),
                                 Rx::CaseInsensitiveOption);
    QString out;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u'?') {
            out += t[i];
            continue;
        }
        const qsizetype p = Neighbour(t, i, -1), n = Neighbour(t, i, 1);
        const auto standaloneX = [&](qsizetype k) {
            return k >= 0 && t[k] == u'x' && (k == 0 || !t[k - 1].isLetter()) && (k + 1 >= t.size() || !t[k + 1].isLetter());
        };
        const bool inFormula = (p >= 0 && (IsOperatorSign(t[p]) || t[p] == u'(')) ||
                               (n >= 0 && (IsOperatorSign(t[n]) || t[n] == u')')) || standaloneX(p) || standaloneX(n) ||
                               operatorWord.match(t.left(i)).hasMatch();
        out += inFormula ? QStringLiteral(" wat ") : QStringLiteral("?");
    }
    return out;
}

}  // namespace

QString SpeechText(const QString& shown)
{
    QStringList lines = shown.split(u'\n');
    for (QString& line : lines)
        line = QuestionMarks(line);
    QString t = JoinLines(lines.join(u'\n'));
    if (t.isEmpty())
        return t;

    // Money, before the decimal comma: "€ 3,75" is "3 euro 75", "€ 0,40" is "40 cent".
    t = ReplaceEach(t, Rx(QStringLiteral(R"(€\s*(\d+)(?:,(\d\d|-))?)")), [](const QRegularExpressionMatch& m) {
        const QString whole = m.captured(1), cents = m.captured(2);
        if (cents.isEmpty() || cents == QStringLiteral("-") || cents == QStringLiteral("00"))
            return whole + QStringLiteral(" euro");
        if (whole.toInt() == 0)
            return QString::number(cents.toInt()) + QStringLiteral(" cent");
        return whole + QStringLiteral(" euro ") + cents;
    });
    t.replace(u'€', QStringLiteral(" euro "));
    // The drawn euro sign is logged as the "C" it is made of: a lone C before an amount in cents.
    t.replace(Rx(QStringLiteral(R"((?<!\p{Lu})C\s*(\d+),(\d\d)\b)")), QStringLiteral(" \\1 euro \\2"));

    for (const auto& [pattern, words] : Abbreviations)
        t.replace(Rx(QString::fromUtf8(pattern)), QString::fromUtf8(words));

    t.replace(Rx(QStringLiteral(R"(Δ\s*)")), QStringLiteral(" driehoeksgetal "));
    t.replace(u'²', QStringLiteral(" kwadraat"));
    t.replace(u'³', QStringLiteral(" tot de derde"));
    for (const auto& [sign, words] : Fractions) {
        t.replace(Rx(QStringLiteral("(\\d)\\s*") + sign), QStringLiteral("\\1 en ") + QString::fromUtf8(words));
        t.replace(sign, QStringLiteral(" ") + QString::fromUtf8(words) + QStringLiteral(" "));
    }
    t.replace(Rx(QStringLiteral(R"((?:\.\s*){3}|…)")), QStringLiteral(" enzovoort "));
    t.replace(QStringLiteral("=>"), QStringLiteral(" naar "));
    t.replace(Rx(QStringLiteral(R"(\(\s*=\s*([^()]*)\))")), QStringLiteral(", dat is \\1,"));

    t = ReplaceEach(t, Rx(QStringLiteral(R"(\b(\d+)e\b)")),
                    [](const QRegularExpressionMatch& m) { return Ordinal(m.captured(1).toInt()); });
    // Texts written against each other ("Ingegeven:" and the answer) get a space between.
    t.replace(Rx(QStringLiteral(R"((?<=\p{L})(?=\d)|(?<=\d)(?=\p{L})|(?<=\D:)(?=[\p{L}\d]))")), QStringLiteral(" "));
    t.replace(u'%', QStringLiteral(" procent"));
    t.replace(Rx(QStringLiteral(R"((\d),(\d))")), QStringLiteral("\\1 komma \\2"));

    // Signs: a negative number, then the operations between two things.
    t.replace(u'−', QStringLiteral(" min "));
    t.replace(Rx(QStringLiteral(R"(\(\s*-\s*(\d+(?: komma \d+)?)\s*\))")), QStringLiteral(" min \\1 "));
    t.replace(Rx(QStringLiteral(R"((^|[\s(=])-\s*(\d))")), QStringLiteral("\\1 min \\2"));
    t.replace(Rx(QStringLiteral(R"((\d)\s*-\s*(\d))")), QStringLiteral("\\1 min \\2"));
    t.replace(Rx(QStringLiteral(R"(\s-\s)")), QStringLiteral(" min "));
    t.replace(u'+', QStringLiteral(" plus "));
    for (const QChar times : {QChar(u'·'), QChar(u'×'), QChar(u'*')})
        t.replace(times, QStringLiteral(" keer "));
    t.replace(Rx(QStringLiteral(R"((?<=[\d)])\s*x\s*(?=[\d(]|wat\b))")), QStringLiteral(" keer "));
    t.replace(Rx(QStringLiteral(R"((^|[\s.,:])x\s+(?=\d|wat\b|\())")), QStringLiteral("\\1keer "));
    t.replace(Rx(QStringLiteral(R"((?<=wat)\s+x\s+)")), QStringLiteral(" keer "));
    t.replace(u'÷', QStringLiteral(" gedeeld door "));
    t.replace(Rx(QStringLiteral(R"(\s:\s|(?<=\d):(?=\d))")), QStringLiteral(" gedeeld door "));
    t.replace(u'/', QStringLiteral(" gedeeld door "));
    t.replace(u'≈', QStringLiteral(" is ongeveer "));
    t.replace(u'≠', QStringLiteral(" is niet "));
    t.replace(u'≤', QStringLiteral(" is kleiner dan of gelijk aan "));
    t.replace(u'≥', QStringLiteral(" is groter dan of gelijk aan "));
    t.replace(u'<', QStringLiteral(" is kleiner dan "));
    t.replace(u'>', QStringLiteral(" is groter dan "));
    t.replace(u'=', QStringLiteral(" is "));

    // What the voice would read aloud or stumble over: quotes, brackets, a compound's hyphen
    // before a space ("boven- en onderrand"), a dash between words.
    t.replace(Rx(QStringLiteral("[\"“”„«»]")), QStringLiteral(" "));
    t.replace(u'’', u'\'');
    t.replace(Rx(QStringLiteral(R"((?<![\p{L}\d])'|'(?![\p{L}\d]))")), QStringLiteral(" "));
    t.replace(Rx(QStringLiteral(R"([()\[\]])")), QStringLiteral(" "));
    t.replace(Rx(QStringLiteral(R"((?<![\p{L}\d])-|-(?![\p{L}\d]))")), QStringLiteral(" "));

    t = t.simplified();
    t.replace(Rx(QStringLiteral(R"(\s+([.,!?:;]))")), QStringLiteral("\\1"));
    t.replace(Rx(QStringLiteral(R"(([,:;])[,:;]+)")), QStringLiteral("\\1"));
    t.replace(Rx(QStringLiteral(R"([,:;]([.!?]))")), QStringLiteral("\\1"));
    t.replace(Rx(QStringLiteral(R"(([.!?])\.)")), QStringLiteral("\\1"));
    t.replace(Rx(QStringLiteral(R"(^[\s.,:;]+|[\s,:;]+$)")), QString());
    return t;
}

QString CanvasSpeech(const QVector<TextLogEntry>& text, const QVector<TextLogEntry>& picture, int textFrom,
                     int pictureFrom)
{
    const QStringList lines = ReadingLinesFrom(text, textFrom) + ReadingLinesFrom(picture, pictureFrom);
    return SpeechText(lines.join(u'\n'));
}

}  // namespace kav

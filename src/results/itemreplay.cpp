#include "results/itemreplay.h"

#include <QDataStream>
#include <QIODevice>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "results/keptsession.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/verdeler.h"

namespace kav {

namespace {

// The first bytes of a kept item, and the version of what follows.
constexpr quint32 Magic = 0x4B495431;  // "KIT1"
constexpr quint16 Version = 1;
// More numbers than any item draws: bytes claiming more are not a kept item.
constexpr quint32 MostDraws = 1u << 20;
constexpr int MostAnswers = 2;
constexpr double LargestScale = 16;

template <size_t N>
void Write(QDataStream& out, const std::array<int, N>& a)
{
    for (int v : a)
        out << qint32(v);
}

template <size_t N>
void Read(QDataStream& in, std::array<int, N>& a)
{
    for (int& v : a) {
        qint32 x = 0;
        in >> x;
        v = x;
    }
}

// Every field of the session state, in the order of its declaration.
void WriteState(QDataStream& out, const SessionState& s)
{
    out << s.PracticeMode << s.DemoMode << s.BookkeeperMode << s.SaldoMode << s.SessionRunning << s.AnswersHidden;
    for (int v : {s.SessionMode, s.ThemeCode, s.Attempt, s.MaxAttempts, s.Points, s.ItemCount, s.LastTheme,
                  s.ThemeBeforeLast})
        out << qint32(v);
    out << quint32(s.TickedThemes);
    for (int v : {s.TickedCount, s.LevelAtStart, s.Rank})
        out << qint32(v);
    Write(out, s.ThemeMemory);
    Write(out, s.ThemeItemCount);
    Write(out, s.QuestionParams);
    for (int v : {s.AnswerKind, s.ExpectedAnswer, s.GivenAnswer, s.AnswerTolerance})
        out << qint32(v);
    out << s.ExpectedDecimal << s.GivenDecimal << s.DecimalTolerance << qint32(s.AnswerDecimals) << s.AnswerSuffix
        << s.TextLine;
    const SessionState::ThemePrivate& p = s.Private;
    for (int v : {p.theme6, p.theme7, p.theme11, p.theme13, p.theme14})
        out << qint32(v);
    Write(out, p.theme15);
    Write(out, p.theme16);
    Write(out, p.theme17);
    out << p.theme12 << s.QuestionSubject << s.CaptionSubject;
    for (int v : {s.LevelIndex, s.SaldoRight, s.SaldoWrong})
        out << qint32(v);
}

void ReadState(QDataStream& in, SessionState& s)
{
    in >> s.PracticeMode >> s.DemoMode >> s.BookkeeperMode >> s.SaldoMode >> s.SessionRunning >> s.AnswersHidden;
    auto whole = [&in](int& v) {
        qint32 x = 0;
        in >> x;
        v = x;
    };
    for (int* v : {&s.SessionMode, &s.ThemeCode, &s.Attempt, &s.MaxAttempts, &s.Points, &s.ItemCount, &s.LastTheme,
                   &s.ThemeBeforeLast})
        whole(*v);
    quint32 ticked = 0;
    in >> ticked;
    s.TickedThemes = ticked;
    for (int* v : {&s.TickedCount, &s.LevelAtStart, &s.Rank})
        whole(*v);
    Read(in, s.ThemeMemory);
    Read(in, s.ThemeItemCount);
    Read(in, s.QuestionParams);
    for (int* v : {&s.AnswerKind, &s.ExpectedAnswer, &s.GivenAnswer, &s.AnswerTolerance})
        whole(*v);
    in >> s.ExpectedDecimal >> s.GivenDecimal >> s.DecimalTolerance;
    whole(s.AnswerDecimals);
    in >> s.AnswerSuffix >> s.TextLine;
    SessionState::ThemePrivate& p = s.Private;
    for (int* v : {&p.theme6, &p.theme7, &p.theme11, &p.theme13, &p.theme14})
        whole(*v);
    Read(in, p.theme15);
    Read(in, p.theme16);
    Read(in, p.theme17);
    in >> p.theme12 >> s.QuestionSubject >> s.CaptionSubject;
    for (int* v : {&s.LevelIndex, &s.SaldoRight, &s.SaldoWrong})
        whole(*v);
}

// The answer port of an item drawn again: the field is not there.
class NoAnswerPort : public AnswerPort {
public:
    void OpenAnswer(const QString&, const QString&) override {}
};

int Scaled(int value, double scale)
{
    return std::max(1, Round(value * scale));
}

}  // namespace

ItemReplay ReplayFromHere()
{
    ItemReplay r;
    if (const Canvas* t = TextBitmap())
        r.textArea = t->image().size();
    if (const Canvas* p = PictureBitmap())
        r.pictureArea = p->image().size();
    r.screenScale = ScreenScale;
    r.textMargin = TextMargin;
    r.fontPoints = BaseFontSize;
    r.lastTextEnd = LastTextEnd;
    r.separator = DecimalSeparator;
    r.state = Session();
    return r;
}

QByteArray EncodeReplay(const ItemReplay& r)
{
    QByteArray raw;
    {
        QDataStream out(&raw, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << r.textArea << r.pictureArea << r.screenScale << qint32(r.textMargin) << qint32(r.fontPoints)
            << qint32(r.lastTextEnd) << r.separator;
        WriteState(out, r.state);
        out << quint32(r.draws.size());
        for (std::uint32_t v : r.draws)
            out << quint32(v);
        out << quint8(r.answers.size());
        for (const ItemReplay::Answer& a : r.answers)
            out << a.typed << qint32(a.whole) << a.decimal;
    }
    QByteArray bytes;
    QDataStream head(&bytes, QIODevice::WriteOnly);
    head << Magic << Version;
    bytes += qCompress(raw, 9);
    return bytes;
}

std::optional<ItemReplay> DecodeReplay(const QByteArray& bytes)
{
    if (bytes.size() < 6)
        return std::nullopt;
    {
        QDataStream head(bytes.left(6));
        quint32 magic = 0;
        quint16 version = 0;
        head >> magic >> version;
        if (magic != Magic || version != Version)
            return std::nullopt;
    }
    const QByteArray raw = qUncompress(bytes.mid(6));
    if (raw.isEmpty())
        return std::nullopt;
    QDataStream in(raw);
    in.setVersion(QDataStream::Qt_6_0);
    ItemReplay r;
    qint32 margin = 0, points = 0, lastEnd = 0;
    in >> r.textArea >> r.pictureArea >> r.screenScale >> margin >> points >> lastEnd >> r.separator;
    r.textMargin = margin;
    r.fontPoints = points;
    r.lastTextEnd = lastEnd;
    ReadState(in, r.state);
    quint32 draws = 0;
    in >> draws;
    if (in.status() != QDataStream::Ok || draws > MostDraws || qint64(draws) * 4 > raw.size())
        return std::nullopt;
    r.draws.resize(draws);
    for (std::uint32_t& v : r.draws) {
        quint32 x = 0;
        in >> x;
        v = x;
    }
    quint8 answers = 0;
    in >> answers;
    for (int i = 0; i < answers && i < MostAnswers; ++i) {
        ItemReplay::Answer a;
        qint32 whole = 0;
        in >> a.typed >> whole >> a.decimal;
        a.whole = whole;
        r.answers.append(a);
    }
    if (in.status() != QDataStream::Ok || answers < 1 || answers > MostAnswers || r.textArea.isEmpty() ||
        r.pictureArea.isEmpty() || !(r.screenScale > 0))
        return std::nullopt;
    return r;
}

std::optional<RedrawnItem> RedrawItem(const QByteArray& kept, double scale, bool pictureAsAsked, int themeCode,
                                      const QString& rightAnswer)
{
    const std::optional<ItemReplay> r = DecodeReplay(kept);
    if (!r || !(scale > 0) || scale > LargestScale)
        return std::nullopt;
    const KeptSession session;
    const ExplanationHandler handler = SetExplanationHandler(&Toelichting);
    Canvas picture(Scaled(r->pictureArea.width(), scale), Scaled(r->pictureArea.height(), scale));
    Canvas text(Scaled(r->textArea.width(), scale), Scaled(r->textArea.height(), scale));
    ScreenScale = r->screenScale * scale;
    TextMargin = Round(r->textMargin * scale);
    SetAreaMeasures(picture, text, Scaled(r->fontPoints, scale));
    LastTextEnd = Round(r->lastTextEnd * scale);
    DecimalSeparator = r->separator;
    NoAnswerPort port;
    SetContext(&picture, &text, &port);
    SetGamePort(nullptr);
    SessionState& s = Session();
    s = r->state;
    ReplayRandom(&r->draws);

    // As the session window draws an item: Doorgaan, then each attempt judged in turn.
    ClearBitmap(&text, col::BtnFace);
    ClearBitmap(&picture, col::BtnFace);
    FrameBitmap(&picture, col::Black);
    NextScheduledItem();
    RedrawnItem item;
    for (int i = 0; i < r->answers.size(); ++i) {
        if (i > 0) {
            ClearBitmap(&text, col::BtnFace);
            Verdeler();
        }
        if (s.Attempt == 0)
            s.Attempt = 1;
        s.GivenAnswer = r->answers[i].whole;
        s.GivenDecimal = r->answers[i].decimal;
        if (pictureAsAsked)
            item.picture = picture.image().copy();
        Judge(r->answers[i].typed);
    }
    const bool same = s.ThemeCode == themeCode && ExpectedAnswerText(s, u',') == rightAnswer;
    SetExplanationHandler(handler);
    if (!same)
        return std::nullopt;
    item.text = text.image();
    if (!pictureAsAsked)
        item.picture = picture.image();
    item.texts = text.textLog();
    return item;
}

QSize KeptTextArea(const QByteArray& kept)
{
    const std::optional<ItemReplay> r = DecodeReplay(kept);
    return r ? r->textArea : QSize();
}

QSize KeptPictureArea(const QByteArray& kept)
{
    const std::optional<ItemReplay> r = DecodeReplay(kept);
    return r ? r->pictureArea : QSize();
}

}  // namespace kav

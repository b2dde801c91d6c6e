// Making a worksheet's items: the generators run on drawing areas of their own, sized for
// paper, with the same calls and seeding as the item dump or a coded test on screen.
#include <QSet>
#include <algorithm>
#include <limits>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "results/keptsession.h"
#include "results/pages.h"
#include "results/result.h"
#include "results/worksheet.h"
#include "session/catalogue.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/verdeler.h"

namespace kav {

namespace {

// The drawing scale of a worksheet: the areas are drawn as on a 1664 x 1248 screen, so a
// picture printed as large as a page's item leaves room for is near 300 dpi and its texts can
// print at 9 points without it falling under 200 dpi. The texts themselves print as text.
constexpr double PaperScale = 2.6;
// The areas in the 640 x 480 design: the text column and the picture.
constexpr int DesignTextWidth = 228, DesignTextHeight = 443, DesignPictureHeight = 404;
constexpr int DesignStatusPoints = 12;  // the text font starts from the status bar's size

// The answer port of a worksheet: it keeps the caption the generator opened.
class CaptionPort : public AnswerPort {
public:
    void OpenAnswer(const QString& c, const QString& h) override
    {
        caption = c;
        (void)h;
    }
    QString caption;
};

// The part of a drawing inside `within` that holds something: everything not of the ground's
// colour, with a small border; an empty rectangle when nothing is drawn.
QRect DrawnPart(const QImage& img, const QRect& within, int border)
{
    const QRgb ground = col::BtnFace.rgb() | 0xff000000u;
    auto drawn = [&](int y, int from, int to) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = from; x <= to; ++x)
            if ((line[x] | 0xff000000u) != ground)
                return x;
        return -1;
    };
    int top = within.top(), bottom = within.bottom();
    while (top <= bottom && drawn(top, within.left(), within.right()) < 0)
        ++top;
    if (top > bottom)
        return QRect();
    while (drawn(bottom, within.left(), within.right()) < 0)
        --bottom;
    // Left and right: each row is read only as far as it can move them.
    int left = within.right(), right = within.left();
    for (int y = top; y <= bottom; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = within.left(); x < left; ++x)
            if ((line[x] | 0xff000000u) != ground) {
                left = x;
                break;
            }
        for (int x = within.right(); x > right; --x)
            if ((line[x] | 0xff000000u) != ground) {
                right = x;
                break;
            }
    }
    right = std::max(right, left);
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-border, -border, border, border) & within;
}

// The texts a canvas wrote, the empty ones left out.
QVector<TextLogEntry> WrittenTexts(const Canvas& c)
{
    QVector<TextLogEntry> texts;
    for (const TextLogEntry& e : c.textLog())
        if (!e.text.trimmed().isEmpty())
            texts << e;
    return texts;
}

QStringList TextsOf(const QVector<TextLogEntry>& entries)
{
    QStringList texts;
    for (const TextLogEntry& e : entries)
        texts << e.text;
    return texts;
}

// The picture cut to its drawing inside the frame, on white, with its texts moved along; null
// when nothing is drawn in it.
void CutPicture(const Canvas& picture, PackedImage* image, QVector<TextLogEntry>* texts)
{
    const QImage& img = picture.image();
    const QRect part = DrawnPart(img, img.rect().adjusted(1, 1, -1, -1), LineHeight / 4);
    *image = PackedImage();
    texts->clear();
    if (part.isEmpty())
        return;
    *image = PackedImage(img, part, col::BtnFace);
    for (TextLogEntry e : WrittenTexts(picture)) {
        e.x -= part.left();
        e.y -= part.top();
        *texts << e;
    }
}

// Takes a text line out of the question and moves the lines under it up by one line.
void DropLine(QVector<TextLogEntry>& texts, int i)
{
    const int y = texts[i].y;
    texts.removeAt(i);
    int next = std::numeric_limits<int>::max();
    for (const TextLogEntry& e : texts) {
        if (e.y == y)
            return;  // more on that line
        if (e.y > y)
            next = std::min(next, e.y);
    }
    if (next == std::numeric_limits<int>::max())
        return;
    for (TextLogEntry& e : texts)
        if (e.y > y)
            e.y -= next - y;
}

// "Zie het plaatje hiernaast.", "Zie hiernaast.": a line that only sends the pupil to the
// picture.
bool PointsToPicture(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(QStringLiteral("Zie "), Qt::CaseInsensitive) &&
           t.contains(QStringLiteral("hiernaast"), Qt::CaseInsensitive);
}

void DropPicturePointers(QVector<TextLogEntry>& texts)
{
    for (int i = int(texts.size()) - 1; i >= 0; --i)
        if (PointsToPicture(texts[i].text))
            DropLine(texts, i);
}

// Themes 26 and 27 write their row of numbers on the picture and ask about it beside it: on
// paper the row is part of the question, under its text, and there is no picture.
bool RowOnPicture(int themeCode)
{
    return themeCode == 26 || themeCode == 27;
}

void RowIntoQuestion(WorksheetItem& item, const Canvas& picture)
{
    QVector<TextLogEntry> row;
    for (const TextLogEntry& e : picture.textLog()) {
        if (e.text.trimmed().isEmpty())
            continue;
        row << e;
        if (e.text.trimmed() == QStringLiteral("= ?"))
            break;  // the question repeated under the row stays off paper
    }
    if (row.isEmpty())
        return;
    DropPicturePointers(item.question);
    int left = row.first().x, top = row.first().y, bottom = 0, textLeft = TextMargin;
    for (const TextLogEntry& e : row) {
        left = std::min(left, e.x);
        top = std::min(top, e.y);
    }
    for (const TextLogEntry& e : item.question) {
        bottom = std::max(bottom, e.y + LineHeight);
        textLeft = std::min(textLeft, e.x);
    }
    for (TextLogEntry e : row) {
        e.x += textLeft - left;
        e.y += bottom + LineHeight / 2 - top;
        item.question << e;
    }
}

// The worked explanation practice shows after a final wrong answer, drawn on the cleared text
// area where the answer field stood. What it changes of the session and the random source is
// put back, so the next item is the one it would have been without it.
void AddExplanation(WorksheetItem& item, Canvas& text, Canvas& picture, bool pictures)
{
    const SessionState kept = Session();
    const RandomState random = SaveRandom();
    SessionState& s = Session();
    s.PracticeMode = true;
    s.Attempt = s.MaxAttempts;
    s.GivenAnswer = s.ExpectedAnswer;
    s.GivenDecimal = s.ExpectedDecimal;
    ClearBitmap(&text, col::BtnFace);
    text.clearTextLog();
    const QImage before = picture.image();
    Toelichting(s.ThemeCode, false);
    item.explanation = WrittenTexts(text);
    item.explanationTexts = TextsOf(item.explanation);
    if (pictures && picture.image() != before)
        CutPicture(picture, &item.explainedPicture, &item.explainedPictureTexts);
    Session() = kept;
    RestoreRandom(random);
}

QList<int> Unique(const QList<int>& codes)
{
    QList<int> unique;
    for (int c : codes)
        if (!unique.contains(c))
            unique << c;
    std::sort(unique.begin(), unique.end());
    return unique;
}

QString ThemeList(const QList<int>& codes)
{
    const QList<int> unique = Unique(codes);
    QStringList numbers;
    for (int c : unique)
        numbers << QString::number(c);
    return (numbers.size() == 1 ? QStringLiteral("thema ") : QStringLiteral("thema's ")) +
           numbers.join(QStringLiteral(", "));
}

void DescribeRequest(Worksheet& w, const WorksheetRequest& r)
{
    if (r.test) {
        const TestCodeSettings& t = *r.test;
        w.topic = TopicName(t.sessionMode);
        w.level = t.level;
        if (t.sessionMode < 0) {
            w.themes = QStringLiteral("alle thema's");
        } else {
            QList<int> codes;
            for (int n = 1; n <= 8; ++n)
                if (t.themes & (1u << (n - 1)))
                    codes << t.sessionMode + n;
            w.themes = ThemeList(codes);
            w.themeCodes = Unique(codes);
        }
        w.code = r.code.isEmpty() ? QString() : GroupTestCode(NormaliseTestCode(r.code));
        return;
    }
    w.level = r.level;
    QStringList topics;
    for (int c : r.codes) {
        const QString topic = TopicName(c / 10 * 10);
        if (!topic.isEmpty() && !topics.contains(topic))
            topics << topic;
    }
    w.topic = topics.join(QStringLiteral(", "));
    w.themes = ThemeList(r.codes);
    w.themeCodes = Unique(r.codes);
}

}  // namespace

bool NeedsPicture(int themeCode)
{
    // Theme 16 and 17 give every number in their text, 21 asks for a triangular number by its
    // base, and 26 and 27 print their row as text; every other theme asks about its picture.
    static const QSet<int> answerable{16, 17, 21, 26, 27};
    return HasGenerator(themeCode) && !answerable.contains(themeCode);
}

QList<int> ThemesWithoutPictures(const QList<int>& codes)
{
    QList<int> kept;
    for (int c : codes)
        if (!NeedsPicture(c))
            kept << c;
    return kept;
}

QList<int> TestThemes(const TestCodeSettings& t)
{
    QList<int> codes;
    if (t.sessionMode < 0) {
        for (int c = 1; c <= 30; ++c)
            if (HasGenerator(c))
                codes << c;
        return codes;
    }
    for (int n = 1; n <= 8; ++n)
        if (t.themes & (1u << (n - 1)))
            codes << t.sessionMode + n;
    return codes;
}

QString LeftOutMessage(const QList<int>& codes)
{
    QStringList named;
    for (int c : Unique(codes))
        named << QStringLiteral("thema %1 (%2)").arg(c).arg(ThemeTitle(c));
    return QStringLiteral("Zonder plaatjes weggelaten: ") + named.join(QStringLiteral(", ")) + u'.';
}

Worksheet MakeWorksheet(const WorksheetRequest& request, const WorksheetProgress& progress)
{
    WorksheetRequest r = request;
    Worksheet w;
    w.date = QDate::currentDate();
    w.pictures = r.pictures;
    w.explanations = r.explanations;
    // Without pictures only the themes a pupil can answer from the text; a topic's test keeps
    // its rule over the themes that stay, the mixed challenge passes over the others.
    bool skipPictureThemes = false;
    if (!r.pictures) {
        const QList<int> chosen = r.test ? TestThemes(*r.test) : r.codes;
        for (int c : chosen)
            if (NeedsPicture(c) && !w.leftOut.contains(c))
                w.leftOut << c;
        std::sort(w.leftOut.begin(), w.leftOut.end());
        if (!r.test)
            r.codes = ThemesWithoutPictures(r.codes);
        else if (r.test->sessionMode >= 0)
            for (int c : w.leftOut)
                r.test->themes &= ~(1u << (c - r.test->sessionMode - 1));
        else
            skipPictureThemes = true;
    }
    DescribeRequest(w, r);
    const int count = qBound(0, r.count, MaxWorksheetItems);
    if (count == 0 || (!r.test && r.codes.isEmpty()) || (r.test && r.test->sessionMode >= 0 && r.test->themes == 0))
        return w;

    const KeptSession kept;
    Canvas picture(Round(DesignPictureWidth * PaperScale), Round(DesignPictureHeight * PaperScale));
    Canvas text(Round(DesignTextWidth * PaperScale), Round(DesignTextHeight * PaperScale));
    ScreenScale = PaperScale;
    TextMargin = Round(8 * PaperScale);
    SetAreaMeasures(picture, text, Round(DesignStatusPoints * PaperScale));
    LastTextEnd = 0;
    // The key writes a comma; the questions and explanations on the same sheet do too.
    DecimalSeparator = u',';
    CaptionPort port;
    SetContext(&picture, &text, &port);
    SetGamePort(nullptr);
    w.linePixels = LineHeight;

    if (r.test)
        StartCodedTest(*r.test);
    else
        StartItemSeries(r.level, false, r.seed);
    SessionState& s = Session();
    // The mixed challenge without pictures: at most this many items passed over.
    const int passes = count * 50;
    for (int i = 0; w.items.size() < count && i < count + passes; ++i) {
        ClearBitmap(&text, col::BtnFace);
        ClearBitmap(&picture, col::BtnFace);
        FrameBitmap(&picture, col::Black);
        text.clearTextLog();
        picture.clearTextLog();
        port.caption.clear();
        if (r.test) {
            NextScheduledItem();
            if (skipPictureThemes && NeedsPicture(s.ThemeCode)) {
                CountItemAsAnswered();
                continue;
            }
        } else if (!NewItemOfTheme(r.codes[i % r.codes.size()])) {
            continue;  // a code without items: the caller checks the codes
        }
        WorksheetItem item;
        item.number = int(w.items.size()) + 1;
        item.themeCode = s.ThemeCode;
        item.themeTitle = ThemeTitle(s.ThemeCode);
        item.question = WrittenTexts(text);
        if (RowOnPicture(s.ThemeCode))
            RowIntoQuestion(item, picture);
        else if (r.pictures)
            CutPicture(picture, &item.picture, &item.pictureTexts);
        else
            DropPicturePointers(item.question);
        item.questionTexts = TextsOf(item.question);
        item.caption = port.caption;
        item.suffix = s.AnswerSuffix;
        item.answer = ExpectedAnswerText(s, u',');
        if (r.explanations)
            AddExplanation(item, text, picture, r.pictures);
        w.items.append(item);
        CountItemAsAnswered();
        if (progress)
            progress(int(w.items.size()), count);
    }
    return w;
}

}  // namespace kav

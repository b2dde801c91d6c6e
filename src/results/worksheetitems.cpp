// Making a worksheet's items: the generators run on drawing areas of their own, sized for
// paper, with the same calls and seeding as the item dump or a coded test on screen.
#include <QSet>
#include <algorithm>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
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

// The drawing scale of a worksheet: the areas are drawn as on a 2048 x 1536 screen, so a text
// line is about 49 pixels. A question printed with lines of 4,2 mm is then near 300 dpi, and a
// picture of 62 mm over 500 dpi.
constexpr double PaperScale = 3.2;
// The areas in the 640 x 480 design: the text column and the picture.
constexpr int DesignTextWidth = 228, DesignTextHeight = 443, DesignPictureHeight = 404;
constexpr int DesignStatusPoints = 12;  // the text font starts from the status bar's size

// Everything of the program's own session that making items changes: kept on creation and
// put back on destruction, so a worksheet made from the teacher's corner leaves the session
// window as it was.
class KeptSession {
public:
    KeptSession()
        : state_(Session()), context_(Context()), random_(SaveRandom()), scale_(ScreenScale), margin_(TextMargin),
          line_(LineHeight), pictureWidth_(PictureWidth), base_(BaseFontSize), charWidth_(CharWidth),
          lastEnd_(LastTextEnd)
    {
    }
    ~KeptSession()
    {
        Session() = state_;
        SetContext(context_.picture, context_.text, context_.port);
        SetGamePort(context_.game);
        RestoreRandom(random_);
        ScreenScale = scale_;
        TextMargin = margin_;
        LineHeight = line_;
        PictureWidth = pictureWidth_;
        BaseFontSize = base_;
        CharWidth = charWidth_;
        LastTextEnd = lastEnd_;
    }
    KeptSession(const KeptSession&) = delete;
    KeptSession& operator=(const KeptSession&) = delete;

private:
    SessionState state_;
    ActivityContext context_;
    RandomState random_;
    double scale_;
    int margin_, line_, pictureWidth_, base_, charWidth_, lastEnd_;
};

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

// The part of a drawing that holds something: everything not of the ground's colour, with a
// small border; an empty rectangle when nothing is drawn.
QRect DrawnPart(const QImage& image, int border)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRgb ground = col::BtnFace.rgb() | 0xff000000u;
    int left = img.width(), right = -1, top = img.height(), bottom = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] | 0xff000000u) != ground) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right < 0)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-border, -border, border, border) & img.rect();
}

QImage DrawnTextOnPaper(const Canvas& text)
{
    const QRect part = DrawnPart(text.image(), LineHeight / 4);
    return part.isEmpty() ? QImage() : OnWhitePaper(text.image().copy(part));
}

QStringList LoggedTexts(const Canvas& c)
{
    QStringList texts;
    for (const TextLogEntry& e : c.textLog())
        if (!e.text.trimmed().isEmpty())
            texts << e.text;
    return texts;
}

// The worked explanation practice shows after a final wrong answer, drawn on the cleared text
// area where the answer field stood. What it changes of the session and the random source is
// put back, so the next item is the one it would have been without it.
void AddExplanation(WorksheetItem& item, Canvas& text, Canvas& picture)
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
    item.explanation = DrawnTextOnPaper(text);
    item.explanationTexts = LoggedTexts(text);
    if (picture.image() != before)
        item.explainedPicture = OnWhitePaper(picture.image());
    Session() = kept;
    RestoreRandom(random);
}

QString ThemeList(const QList<int>& codes)
{
    QList<int> unique;
    for (int c : codes)
        if (!unique.contains(c))
            unique << c;
    std::sort(unique.begin(), unique.end());
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
}

}  // namespace

Worksheet MakeWorksheet(const WorksheetRequest& r)
{
    Worksheet w;
    DescribeRequest(w, r);
    w.date = QDate::currentDate();
    w.pictures = r.pictures;
    w.explanations = r.explanations;
    const int count = qBound(0, r.count, MaxWorksheetItems);
    if (count == 0 || (!r.test && r.codes.isEmpty()))
        return w;

    const KeptSession kept;
    Canvas picture(Round(DesignPictureWidth * PaperScale), Round(DesignPictureHeight * PaperScale));
    Canvas text(Round(DesignTextWidth * PaperScale), Round(DesignTextHeight * PaperScale));
    ScreenScale = PaperScale;
    TextMargin = Round(8 * PaperScale);
    SetAreaMeasures(picture, text, Round(DesignStatusPoints * PaperScale));
    LastTextEnd = 0;
    CaptionPort port;
    SetContext(&picture, &text, &port);
    SetGamePort(nullptr);
    w.linePixels = LineHeight;

    if (r.test)
        StartCodedTest(*r.test);
    else
        StartItemSeries(r.level, false, r.seed);
    SessionState& s = Session();
    for (int i = 0; i < count; ++i) {
        ClearBitmap(&text, col::BtnFace);
        ClearBitmap(&picture, col::BtnFace);
        FrameBitmap(&picture, col::Black);
        text.clearTextLog();
        picture.clearTextLog();
        port.caption.clear();
        if (r.test) {
            NextScheduledItem();
        } else if (!NewItemOfTheme(r.codes[i % r.codes.size()])) {
            continue;  // a code without items: the caller checks the codes
        }
        WorksheetItem item;
        item.number = int(w.items.size()) + 1;
        item.themeCode = s.ThemeCode;
        item.themeTitle = ThemeTitle(s.ThemeCode);
        item.question = DrawnTextOnPaper(text);
        item.questionTexts = LoggedTexts(text);
        if (r.pictures)
            item.picture = OnWhitePaper(picture.image());
        item.caption = port.caption;
        item.suffix = s.AnswerSuffix;
        item.answer = ExpectedAnswerText(s, u',');
        if (r.explanations)
            AddExplanation(item, text, picture);
        w.items.append(item);
        CountItemAsAnswered();
    }
    return w;
}

}  // namespace kav

#include "app/itemdump.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryFile>
#include <climits>
#include <cmath>

#include "app/application.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/speechtext.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "ui/ui.h"
#include "windows/testform.h"

namespace kav {

namespace {

// The answer port of the dump: it keeps what the generator opened.
class RecordingPort : public AnswerPort {
public:
    void OpenAnswer(const QString& c, const QString& h) override
    {
        caption = c;
        hint = h;
    }
    QString caption, hint;
};

// The texts written on a canvas since the last stage, marked with the stage they belong to;
// the canvas's log starts afresh for the next stage.
void TakeTexts(QJsonArray& into, Canvas& c, const QString& stage)
{
    for (const TextLogEntry& e : c.textLog()) {
        QJsonObject o;
        o[QStringLiteral("text")] = e.text;
        o[QStringLiteral("x")] = e.x;
        o[QStringLiteral("width")] = e.width;
        o[QStringLiteral("line")] = LineHeight > 0 ? double(e.y) / LineHeight : 0.0;
        o[QStringLiteral("colour")] = e.color.name(QColor::HexRgb);
        o[QStringLiteral("bold")] = e.bold;
        o[QStringLiteral("stage")] = stage;
        into.append(o);
    }
    c.clearTextLog();
}

// What the two canvases showed during one item, stage by stage, and with --speech the words
// "Lees voor" says at each stage: what was written since the stage began.
struct ItemTexts {
    TTestForm* form = nullptr;
    bool speak = false;
    QJsonArray texts, pictureTexts;
    QJsonObject speech;
    int textFrom = 0, pictureFrom = 0;

    void take(const QString& stage)
    {
        if (speak)
            speech[stage] = CanvasSpeech(form->TextBitmap.textLog(), form->PictureBitmap.textLog(), textFrom, pictureFrom);
        TakeTexts(texts, form->TextBitmap, stage);
        TakeTexts(pictureTexts, form->PictureBitmap, stage);
        textFrom = pictureFrom = 0;
    }
    // The stage begins here: what the canvases hold now was said before (the question drawn
    // again for the second attempt).
    void startStage()
    {
        textFrom = int(form->TextBitmap.textLog().size());
        pictureFrom = int(form->PictureBitmap.textLog().size());
    }
};

QJsonArray AreaSize(const Canvas& c)
{
    return QJsonArray{c.width(), c.height()};
}

// A typed answer that is surely wrong, far beyond any tolerance, kept as the given answer as
// the answer field would.
QString WrongAnswer()
{
    SessionState& s = Session();
    constexpr qint64 offset = 1000000;
    if (s.AnswerKind == 2) {
        const QString typed = FormatDecimal(s.ExpectedDecimal + offset + 2 * std::fabs(s.DecimalTolerance),
                                            Max(s.AnswerDecimals, 0), DecimalSeparator);
        s.GivenDecimal = ParseDecimal(typed, DecimalSeparator).value_or(s.ExpectedDecimal + offset);
        return typed;
    }
    const qint64 away = offset + 2 * std::abs(qint64(s.AnswerTolerance));
    const qint64 given = s.ExpectedAnswer + away <= INT_MAX ? s.ExpectedAnswer + away : s.ExpectedAnswer - away;
    s.GivenAnswer = int(given);
    return QString::number(given);
}

// The item answered wrong as often as it may be, as the session window goes through it: the
// first judgement ("first"), the same item again after Doorgaan with its final judgement
// ("second") and whatever worked explanation the judge then asks for ("explanation"). With a
// single attempt the one judgement is the final one, so the item has no "first".
void AnswerWrong(ItemTexts& item)
{
    SessionState& s = Session();
    bool explained = false;
    SetExplanationHandler([&](int code, bool right) {
        item.take(QStringLiteral("second"));
        explained = true;
        Toelichting(code, right);
    });
    if (s.Attempt == 0)
        s.Attempt = 1;  // as entering the answer field does
    Judge(WrongAnswer());
    if (s.Attempt != 0) {  // not final: "Jammer! Tweede poging!", then the same item again
        item.take(QStringLiteral("first"));
        ClearBitmap(&item.form->TextBitmap, col::BtnFace);
        Verdeler();
        item.startStage();
        Judge(WrongAnswer());
    }
    item.take(explained ? QStringLiteral("explanation") : QStringLiteral("second"));
    SetExplanationHandler(&Toelichting);
}

// Makes the folder for the pictures and finds out that files can be written in it; false
// with a one-line reason otherwise.
bool PreparePngFolder(const QString& folder, QString* error)
{
    const QString native = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        *error = QStringLiteral("de map %1 voor de plaatjes kan niet worden gemaakt").arg(native);
        return false;
    }
    // Trying is the only sure test: rights, a full disk or a read-only mount all show here.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kavrin2-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("in de map %1 kunnen geen plaatjes worden geschreven").arg(native);
        return false;
    }
    return true;
}

}  // namespace

int DumpItems(const ItemDumpOptions& o, std::FILE* out)
{
    TTestForm* form = SessionWindow();
    if (!form)
        return 2;
    RecordingPort port;
    SetContext(&form->PictureBitmap, &form->TextBitmap, &port);
    SessionState& s = Session();
    StartItemSeries(o.level, o.practice, o.seedGiven ? std::optional<std::uint32_t>(o.seed) : std::nullopt);

    for (int i = 0; i < o.count; ++i) {
        const int code = o.codes[i % o.codes.size()];
        if (!HasGenerator(code))
            return 2;
        ClearBitmap(&form->TextBitmap, col::BtnFace);
        ClearBitmap(&form->PictureBitmap, col::BtnFace);
        FrameBitmap(&form->PictureBitmap, col::Black);
        port.caption.clear();
        port.hint.clear();
        NewItemOfTheme(code);
        ItemTexts texts;
        texts.form = form;
        texts.speak = o.speech;
        texts.take(QStringLiteral("question"));

        QJsonObject item;
        item[QStringLiteral("item")] = i + 1;
        item[QStringLiteral("theme")] = code;
        item[QStringLiteral("level")] = o.level;
        item[QStringLiteral("kind")] = s.AnswerKind;
        if (s.AnswerKind == 2) {
            item[QStringLiteral("expectedDecimal")] = s.ExpectedDecimal;
            item[QStringLiteral("decimals")] = s.AnswerDecimals;
            item[QStringLiteral("tolerance")] = s.DecimalTolerance;
        } else {
            item[QStringLiteral("expected")] = s.ExpectedAnswer;
            item[QStringLiteral("tolerance")] = s.AnswerTolerance;
        }
        item[QStringLiteral("suffix")] = s.AnswerSuffix;
        QJsonArray params;
        for (int k = 0; k < 10; ++k)
            params.append(s.QuestionParams[size_t(k)]);
        item[QStringLiteral("params")] = params;
        item[QStringLiteral("memory")] = code <= 30 ? s.ThemeMemory[size_t(code)] : 0;
        item[QStringLiteral("caption")] = port.caption;
        item[QStringLiteral("hint")] = port.hint;
        item[QStringLiteral("textLine")] = s.TextLine;
        item[QStringLiteral("textArea")] = AreaSize(form->TextBitmap);
        item[QStringLiteral("pictureArea")] = AreaSize(form->PictureBitmap);
        item[QStringLiteral("pictureDescription")] = s.PictureDescription;
        if (o.wrong)
            AnswerWrong(texts);
        item[QStringLiteral("texts")] = texts.texts;
        item[QStringLiteral("pictureTexts")] = texts.pictureTexts;
        if (o.speech)
            item[QStringLiteral("speech")] = texts.speech;
        const QByteArray line = QJsonDocument(item).toJson(QJsonDocument::Compact);
        std::fwrite(line.constData(), 1, size_t(line.size()), out);
        std::fputc('\n', out);

        if (!o.pngFolder.isEmpty()) {
            const QImage& t = form->TextBitmap.image();
            const QImage& p = form->PictureBitmap.image();
            QImage both(t.width() + p.width(), qMax(t.height(), p.height()), QImage::Format_RGB32);
            both.fill(col::BtnFace);
            QPainter painter(&both);
            painter.drawImage(0, 0, t);
            painter.drawImage(t.width(), 0, p);
            painter.end();
            const QString file =
                QDir(o.pngFolder).filePath(QStringLiteral("item-%1-theme%2.png").arg(i + 1, 4, 10, QChar(u'0')).arg(code));
            if (!both.save(file, "PNG")) {
                std::fflush(out);
                std::fprintf(stderr, "kavrin2: het plaatje %s kan niet worden geschreven\n",
                             QDir::toNativeSeparators(file).toLocal8Bit().constData());
                return 1;
            }
        }
        // Without --wrong as if answered right: the counts move on, the next item is new. (The
        // judge has done so for the wrong answers.)
        if (!o.wrong)
            CountItemAsAnswered();
        s.Attempt = 0;
    }
    std::fflush(out);
    return 0;
}

int RunItemDump(int argc, char** argv, const CommandLine& cl)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ItemDumpOptions& o = cl.dump;
    const QSize screen = cl.screen.isValid() ? cl.screen : QSize(1024, 768);
    QString error;
    if (!o.pngFolder.isEmpty() && !PreparePngFolder(o.pngFolder, &error)) {
        std::fprintf(stderr, "%s\n", OneLine(error).toLocal8Bit().constData());
        return 1;
    }
    // Without a window a message (a missing picture library) is one line of the error output.
    SetMessageHandler([](const QString& text, MessageKind) {
        std::fprintf(stderr, "%s\n", OneLine(text).toLocal8Bit().constData());
    });
    SetUpApplication(app);
    SetScreenOverride(screen);
    if (!CreateForms())
        return 1;
    const int status = DumpItems(o, stdout);
    DestroyForms();
    return status;
}

}  // namespace kav

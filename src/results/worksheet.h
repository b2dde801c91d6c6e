// Paper worksheets: items made as the item dump or a coded test makes them, drawn at printing
// resolution, on A4 pages with a header, room to work out and an answer line, and the answer
// key with, when asked for, every item's worked explanation. One drawing code for the printer
// and the PDF file; no widgets.
#pragma once
#include <QDate>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>
#include <optional>

#include "draw/canvas.h"
#include "results/pages.h"
#include "session/testcode.h"

class QPagedPaintDevice;

namespace kav {

inline constexpr int MaxWorksheetItems = 40;

// What a worksheet is made of: theme codes taken in turn as the item dump takes them, or a
// class code's test (its settings, seed and order).
struct WorksheetRequest {
    QList<int> codes;  // without a test: the themes, taken in turn
    int level = 1;
    int count = 10;                     // 1 .. MaxWorksheetItems
    std::optional<std::uint32_t> seed;  // without a test: none is a new seed each time
    std::optional<TestCodeSettings> test;
    QString code;  // the class code as typed, for the header; empty without one
    bool pictures = true;  // without: the themes that need their picture are left out
    bool explanations = false;  // the worked explanations made for the key
};

// An item as it prints: its texts as the canvases logged them (drawn again as text on paper,
// sharp and searchable), its picture cut to its drawing and kept packed until its page is
// drawn.
struct WorksheetItem {
    int number = 0;
    int themeCode = 0;
    QString themeTitle;
    // The question's texts at their places in the drawing's pixels; for themes 26 and 27 the
    // row of numbers of the picture comes after them, as text.
    QVector<TextLogEntry> question;
    QStringList questionTexts;  // the texts of the question in drawing order
    PackedImage picture;        // cut to its drawing, on white; null without pictures
    QVector<TextLogEntry> pictureTexts;  // the picture's texts, at their places in the cut picture
    QString caption;  // the answer field's caption ("aantal stippen: ")
    QString suffix;   // the unit after the answer (" liter"); often empty
    QString answer;   // as the item dump writes numbers, always with a comma: "-12", "7,50"
    QVector<TextLogEntry> explanation;  // the worked explanation's texts; may be empty
    QStringList explanationTexts;
    PackedImage explainedPicture;  // the picture as the explanation left it, when it changed it
    QVector<TextLogEntry> explainedPictureTexts;
};

struct Worksheet {
    QString topic;   // "Driehoeksgetallen", "Grote uitdaging", "Verbanden, Verhoudingen"
    QString themes;  // "thema's 21, 22, 25" or "alle thema's"
    QList<int> themeCodes;  // the themes of the sheet, in order; empty for the mixed challenge
    int level = 1;
    QString code;    // grouped ("ABCDE-FGHJK"); empty without one
    QDate date;
    bool pictures = true;
    bool explanations = false;
    double linePixels = 1;  // one text line of the drawings, in their pixels
    QList<int> leftOut;     // the chosen themes left out because they need their picture
    QVector<WorksheetItem> items;
};

// Whether a theme's question can be answered only with its picture beside it: such themes are
// left out of a sheet without pictures.
bool NeedsPicture(int themeCode);
// The themes of a choice that stay on a sheet without pictures, in their order.
QList<int> ThemesWithoutPictures(const QList<int>& codes);
// The themes of a class-code choice (a topic's ticked themes, or every theme of the mixed
// challenge), as theme codes.
QList<int> TestThemes(const TestCodeSettings& test);
// "Zonder plaatjes weggelaten: thema 22 (De top eraf. Hoeveel over ?), thema 23 (…)."
QString LeftOutMessage(const QList<int>& codes);

// What the sheet is doing, for a window that shows it: done of total steps.
using WorksheetProgress = std::function<void(int done, int total)>;

// Makes the items. The program's own session (its state, drawing areas and measures, the
// random source) is left as it was found.
Worksheet MakeWorksheet(const WorksheetRequest& request, const WorksheetProgress& progress = {});

enum class WorksheetParts { Sheet, Key, Both };

// Draws the sheet, the key or both on a paged device (QPdfWriter or a QPrinter); the key
// starts on a new page. False when the device can't be painted on.
bool PaintWorksheet(QPagedPaintDevice* device, const Worksheet& sheet, WorksheetParts parts,
                    const WorksheetProgress& progress = {});
// As an A4 PDF at 300 dpi; false with a one-line Dutch message in *error when the file can't
// be written.
bool WriteWorksheetPdf(const QString& path, const Worksheet& sheet, WorksheetParts parts, QString* error,
                       const WorksheetProgress& progress = {});

// ---- the layout, open for checking ----------------------------------------------

// Where an item (or its line in the key) goes: its page (0 is the part's first) and its
// rectangles in device pixels from the top left of the printable area.
struct WorksheetPlace {
    int page = 0;
    QRectF box;
    QRectF picture;  // empty without a picture
    double pictureScale = 0;  // device pixels to a pixel of the picture
    double textScale = 0;     // device pixels to a pixel of the question's (or explanation's) texts
};
struct WorksheetPlan {
    int sheetPages = 0, keyPages = 0;
    QVector<WorksheetPlace> items, answers;
};
WorksheetPlan PlanWorksheet(QPagedPaintDevice* device, const Worksheet& sheet, WorksheetParts parts);

// "Driehoeksgetallen, Durver, 20 opgaven, toetscode ABCDE-FGHJK"
QString DescribeWorksheet(const Worksheet& sheet);

}  // namespace kav

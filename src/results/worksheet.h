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
#include <optional>

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
    bool pictures = true;
    bool explanations = false;  // the worked explanations made for the key
};

struct WorksheetItem {
    int number = 0;
    int themeCode = 0;
    QString themeTitle;
    QImage question;  // the text area as the pupil sees it, cut to its drawing, on white
    QStringList questionTexts;  // the texts of the question in drawing order
    QImage picture;   // the picture at printing resolution, on white; null without pictures
    QString caption;  // the answer field's caption ("aantal stippen: ")
    QString suffix;   // the unit after the answer (" liter"); often empty
    QString answer;   // as the item dump writes numbers: "-12", "7,50"
    QImage explanation;        // the worked explanation's text, cut to its drawing; may be null
    QStringList explanationTexts;
    QImage explainedPicture;   // the picture as the explanation left it, when it changed it
};

struct Worksheet {
    QString topic;   // "Driehoeksgetallen", "Grote uitdaging", "Verbanden, Verhoudingen"
    QString themes;  // "thema's 21, 22, 25" or "alle thema's"
    int level = 1;
    QString code;    // grouped ("ABCDE-FGHJK"); empty without one
    QDate date;
    bool pictures = true;
    bool explanations = false;
    double linePixels = 1;  // one text line of the drawings, in their pixels
    QVector<WorksheetItem> items;
};

// Makes the items. The program's own session (its state, drawing areas and measures, the
// random source) is left as it was found.
Worksheet MakeWorksheet(const WorksheetRequest& request);

enum class WorksheetParts { Sheet, Key, Both };

// Draws the sheet, the key or both on a paged device (QPdfWriter or a QPrinter); the key
// starts on a new page. False when the device can't be painted on.
bool PaintWorksheet(QPagedPaintDevice* device, const Worksheet& sheet, WorksheetParts parts);
// As an A4 PDF at 300 dpi; false with a one-line Dutch message in *error when the file can't
// be written.
bool WriteWorksheetPdf(const QString& path, const Worksheet& sheet, WorksheetParts parts, QString* error);

// ---- the layout, open for checking ----------------------------------------------

// Where an item (or its line in the key) goes: its page (0 is the part's first) and its
// rectangles in device pixels from the top left of the printable area.
struct WorksheetPlace {
    int page = 0;
    QRectF box;
    QRectF picture;  // empty without a picture
};
struct WorksheetPlan {
    int sheetPages = 0, keyPages = 0;
    QVector<WorksheetPlace> items, answers;
};
WorksheetPlan PlanWorksheet(QPagedPaintDevice* device, const Worksheet& sheet, WorksheetParts parts);

// "Driehoeksgetallen, Durver, 20 opgaven, toetscode ABCDE-FGHJK"
QString DescribeWorksheet(const Worksheet& sheet);

}  // namespace kav

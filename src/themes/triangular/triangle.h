// What the triangular themes share: the dots and tiles of a triangle, the table of
// triangular numbers beside it, the "basis = " label, the question texts and the
// picture routines the worked explanation draws again.
#pragma once
#include <QColor>
#include <QString>
#include <functional>

namespace kav {

// True when the table of triangular numbers stands beside the picture (themes 22 and up,
// levels 1 and 2, at level 2 only for the first 15 items of the theme).
bool TableShown();
// The picture's description with the table of triangular numbers mentioned where it is shown.
void DescribeTrianglePicture(const QString& description);

// The table layout is used while TableShown() holds or while a TableLayoutScope lives: the
// explanation adds the table to pictures drawn without it and lays them out again for it.
bool TableLayoutUsed();
class TableLayoutScope {
public:
    TableLayoutScope();
    ~TableLayoutScope();
    TableLayoutScope(const TableLayoutScope&) = delete;
    TableLayoutScope& operator=(const TableLayoutScope&) = delete;

private:
    bool previous_;
};

// One dot or tile of a triangle of side Base into PictureBitmap. Row 1 is the bottom row,
// Col 1 the leftmost cell of its row. Odd styles shift every row half a cell to the right
// (isosceles), even styles make a staircase; styles 0 and 1 are dots of SizePercent of the
// width of "O", 2 and 3 yellow tiles bordered in Color; other styles draw nothing.
void DrawTriangleCell(int row, int col, int base, int style, int sizePercent, const QColor& color);

// Every call of DrawTriangleCell is reported to the observer first (tests count the cells).
struct TriangleCellCall {
    int row = 0;
    int col = 0;
    int base = 0;
    int style = 0;
    int sizePercent = 0;
    QColor color;
};
using TriangleCellObserver = std::function<void(const TriangleCellCall&)>;
void SetTriangleCellObserver(TriangleCellObserver observer);

// The counted dots of a triangle of side Base grow smaller as the triangle grows.
inline int CountedDotSize(int base) { return 195 - 4 * base; }
constexpr int MarkDotSize = 20;  // the small black dots where cells were taken away
constexpr int TileSize = 100;

// The table of the first 24 triangular numbers at the right of PictureBitmap.
void DrawTriangleTable();

// The picture line just below the triangle, where the "basis = " label goes.
double LabelLine();
// "basis = " + Base in blue on LabelLine(), centred or from X pixels.
void DrawBaseLabel(int base, double x = -1);

// The x-centre of column 1 of a terrace of side Base (as DrawTriangleCell lays out tiles).
double TerraceFirstColumnX(int base);
// The centre of a staircase cell (Row, Col) of a triangle or square of side Base.
double CellCentreX(int col, int base);
double CellCentreY(int row, int base);

// The question texts: Text on TextBitmap at TextMargin, size 1.
void QuestionLine(double line, const QString& text, const QColor& color);
// Whole-number answer with the given caption and hint, the answer field at TextLine.
void AskWholeNumber(double textLine, const QString& caption, const QString& hint);

// The level, kept to 1..3 so that every range below stays meaningful.
int ThemeLevel();
// A new base Random(4L + 5) + 4L + 2 of at least Minimum, other than Previous.
int RandomBase(int minimum, int previous);
// A new base Random(2L + 5) + 3L + 11, other than Previous.
int RandomLargeBase(int previous);

// A Base in 1..30 (the sizes the pictures are made for); other values are not drawn.
bool UsableBase(int base);

// The figures of the themes (without the table) from the values they keep in Session(),
// for a new item and again for the worked explanation.
void DrawPicture21();
void DrawPicture22();
void DrawPicture23();
void DrawPicture24();
void DrawPicture25();
void DrawPicture28();

}  // namespace kav

// The 12 x 12 grid that themes 2 and 3 draw on, in percent of PictureBitmap: column k spans
// x 7k + 3 .. 7k + 10, row r spans y 90 - 7r .. 97 - 7r, so row 1 is at the bottom.
#pragma once
#include <QColor>
#include <QString>
#include <array>

namespace kav {

class Canvas;

constexpr int GridCells = 12;

// What a cell of the current question holds.
enum : unsigned char { CellFree = 0, CellGrey = 1, CellDot = 2 };
// Indexed by column and row, 1..12 (0 unused); lives as long as the question.
using CellGrid = std::array<std::array<unsigned char, GridCells + 1>, GridCells + 1>;
CellGrid& CellState();

inline double CellLeft(int k) { return 7.0 * k + 3; }
inline double CellRight(int k) { return 7.0 * k + 10; }
inline double CellTop(int r) { return 90.0 - 7.0 * r; }
inline double CellBottom(int r) { return 97.0 - 7.0 * r; }
inline double CellMidX(int k) { return 7.0 * k + 6.5; }
inline double CellMidY(int r) { return 93.5 - 7.0 * r; }
inline bool InGrid(int k, int r) { return k >= 1 && k <= GridCells && r >= 1 && r <= GridCells; }

// Clears CellState and draws the empty grid into PictureBitmap: its lines, the numbers of the
// rows and columns, and the names of the two axes.
void DrawGrid();

// A library picture stretched into cell (k, r) of PictureBitmap, ScreenScale inside its edges.
void DrawPictureInCell(const QString& name, int k, int r);

// A library picture in a black frame filled with the button face, the frame's corners at
// percent positions of PictureBitmap but drawn on Target (the small picture in the question),
// never beyond Target's right margin.
void DrawFramedPicture(Canvas* target, const QString& name, double x1, double y1, double x2, double y2);

// The middle dot of a product, with its spaces: " · ".
QString Times();

// r written in k for r - k = Difference: "k", "k + 3" or "k - 3".
QString RowInColumns(long long difference);

// A line of a worked explanation on TextBitmap: each piece follows the previous one, the first
// at X, all at size 1, not bold.
class PieceLine {
public:
    PieceLine(double line, double x) : line_(line), x_(x) {}
    PieceLine& operator()(const QString& text, const QColor& color);

private:
    double line_;
    double x_;
    bool first_ = true;
};

}  // namespace kav

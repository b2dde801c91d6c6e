// The results store at the size of a school (600 pupils over five years: 120,000 sessions of
// 20 items): opening it, the teacher's corner's first table and a filter keystroke, the
// corner's memory, the CSV export and PDF reports of one and of 100 sessions.
#pragma once
#include <string>

namespace bench {

// Fills a store of `sessions` sessions in a temporary folder (items with their texts, without
// pictures) and prints the figures beside their goals; `program` runs the exports. Needs the
// QApplication made.
void StoreFigures(const std::string& program, int sessions);

}  // namespace bench

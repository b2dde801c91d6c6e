// A worksheet as a teacher makes it from the command line: its time and peak memory.
#pragma once
#include <string>

namespace bench {

// Runs the program `rounds` times for a 40-item sheet with its key and explanations and prints
// the median wall and processor time and peak memory beside their goals.
void WorksheetFigures(const std::string& program, int rounds);

}  // namespace bench

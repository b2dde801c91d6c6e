// The ratio themes 11 to 17: each a generator (a new item, and the same item again for the
// second attempt) and a worked explanation that the judge calls in practice.
#pragma once

namespace kav {

// Themes 11 to 14: a ratio table with one wrong number, rectangles of the same shape, the
// floor plan of a flat, and converting money between five currencies.
void Theme11();
void Theme12();
void Theme13();
void Theme14();
void Explanation11();  // also after a right answer
void Explanation12();
void Explanation13();
void Explanation14();

// Themes 15 to 17: two packs compared by their price per 100 gram, the fuel use of two jeeps
// read from a graph, and the shadow of a bird flying under a lamp.
void Theme15();
void Theme16();
void Theme17();
void Explanation15();
void Explanation16();
void Explanation17();

}  // namespace kav

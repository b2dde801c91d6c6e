// The triangular-number themes 21 to 28: dot triangles, terraces of tiles, sums of
// constant-difference sequences and a triangle with holes, with one worked explanation.
#pragma once

namespace kav {

void Theme21();       // how large is this triangular number
void Theme22();       // the top taken off: how many dots are left
void Theme23();       // two corners taken off: how many dots are left
void Theme24();       // a terrace with a corner missing: how many tiles
void Theme25();       // a square terrace with a triangular pond: how many tiles
void Theme26and27();  // the sum of a constant-difference sequence (26 short, 27 long)
void Theme28();       // a triangle with triangles alternately taken away and put back

// The worked explanation after a final wrong answer in practice; continues the text at
// Session().TextLine, where the judge left it.
void TriangularExplanation();

}  // namespace kav

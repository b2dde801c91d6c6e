#include "themes/verdeler.h"

#include "session/session.h"
#include "themes/relations/relations.h"
#include "themes/triangular/triangular.h"

namespace kav {

bool HasGenerator(int themeCode)
{
    // Dotland, diagonals, nail board.
    if (themeCode == 4 || themeCode == 6 || themeCode == 7)
        return true;
    return themeCode >= 21 && themeCode <= 28;
}

bool Verdeler()
{
    switch (Session().ThemeCode) {
    // Dotland, diagonals, nail board.
    case 4: Theme4(); return true;
    case 6: Theme6(); return true;
    case 7: Theme7(); return true;
    case 21: Theme21(); return true;
    case 22: Theme22(); return true;
    case 23: Theme23(); return true;
    case 24: Theme24(); return true;
    case 25: Theme25(); return true;
    case 26:
    case 27: Theme26and27(); return true;
    case 28: Theme28(); return true;
    default: return false;
    }
}

void Toelichting(int themeCode, bool right)
{
    (void)right;
    // Dotland, diagonals, nail board.
    switch (themeCode) {
    case 4: Theme4Explanation(); return;
    case 6: Theme6Explanation(); return;
    case 7: Theme7Explanation(); return;
    default: break;
    }
    if (themeCode >= 21 && themeCode <= 28)
        TriangularExplanation();
}

}  // namespace kav

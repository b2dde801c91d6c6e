#include "themes/verdeler.h"

#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/triangular/triangular.h"

namespace kav {

bool HasGenerator(int themeCode)
{
    if (themeCode >= 11 && themeCode <= 14)  // ratio tables, rectangles, floor plan, money
        return true;
    return themeCode >= 21 && themeCode <= 28;
}

bool Verdeler()
{
    switch (Session().ThemeCode) {
    case 11: Theme11(); return true;
    case 12: Theme12(); return true;
    case 13: Theme13(); return true;
    case 14: Theme14(); return true;
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
    switch (themeCode) {
    case 11: Explanation11(); return;
    case 12: Explanation12(); return;
    case 13: Explanation13(); return;
    case 14: Explanation14(); return;
    default: break;
    }
    if (themeCode >= 21 && themeCode <= 28)
        TriangularExplanation();
}

}  // namespace kav

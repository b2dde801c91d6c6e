#include "themes/verdeler.h"

#include "session/session.h"
#include "themes/relations/relations.h"
#include "themes/triangular/triangular.h"

namespace kav {

bool HasGenerator(int themeCode)
{
    if (themeCode == 2 || themeCode == 3)
        return true;
    return themeCode >= 21 && themeCode <= 28;
}

bool Verdeler()
{
    switch (Session().ThemeCode) {
    case 2: Theme2(); return true;
    case 3: Theme3(); return true;
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
    if (themeCode == 2)
        Theme2Explanation(right);
    else if (themeCode == 3)
        Theme3Explanation();
    else if (themeCode >= 21 && themeCode <= 28)
        TriangularExplanation();
}

}  // namespace kav

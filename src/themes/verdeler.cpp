#include "themes/verdeler.h"

#include "session/session.h"
#include "themes/triangular/triangular.h"

namespace kav {

bool HasGenerator(int themeCode)
{
    return themeCode >= 21 && themeCode <= 28;
}

bool Verdeler()
{
    switch (Session().ThemeCode) {
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
    if (themeCode >= 21 && themeCode <= 28)
        TriangularExplanation();
}

}  // namespace kav

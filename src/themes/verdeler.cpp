#include "themes/verdeler.h"

#include "session/engine.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/relations/relations.h"
#include "themes/triangular/triangular.h"

namespace kav {

bool HasGenerator(int themeCode)
{
    switch (themeCode) {
    case 1: case 5:  // machine chains, RaRa machines
    case 2: case 3: case 4: case 6: case 7:
    case 11: case 12: case 13: case 14:
    case 15: case 16: case 17:
    case 21: case 22: case 23: case 24: case 25: case 26: case 27: case 28:
        return true;
    default:
        return false;
    }
}

bool Verdeler()
{
    // A new item has a new picture; the same item again keeps it, and its description.
    if (Session().Attempt == 0)
        Session().PictureDescription.clear();
    switch (Session().ThemeCode) {
    case 1: Theme1(); return true;
    case 5: Theme5(); return true;
    case 2: Theme2(); return true;
    case 3: Theme3(); return true;
    case 4: Theme4(); return true;
    case 6: Theme6(); return true;
    case 7: Theme7(); return true;
    case 11: Theme11(); return true;
    case 12: Theme12(); return true;
    case 13: Theme13(); return true;
    case 14: Theme14(); return true;
    case 15: Theme15(); return true;
    case 16: Theme16(); return true;
    case 17: Theme17(); return true;
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

bool NewItemOfTheme(int themeCode)
{
    if (!HasGenerator(themeCode))
        return false;
    SessionState& s = Session();
    s.ThemeCode = themeCode;
    s.Attempt = 0;
    s.AnswerSuffix.clear();
    s.MaxAttempts = 2;
    s.AnswerTolerance = 0;
    return Verdeler();
}

void NextScheduledItem(const std::function<void()>& chosen)
{
    SessionState& s = Session();
    for (;;) {
        s.ThemeCode = ThemeCodeFor(ChooseNext());
        s.AnswerSuffix.clear();
        s.MaxAttempts = s.ThemeCode == 0 ? 1 : 2;
        if (chosen)
            chosen();
        if (Verdeler())
            return;
    }
}

void Toelichting(int themeCode, bool right)
{
    switch (themeCode) {
    case 1: Theme1Explanation(); return;
    case 5: Theme5Explanation(); return;
    case 2: Theme2Explanation(right); return;
    case 3: Theme3Explanation(); return;
    case 4: Theme4Explanation(); return;
    case 6: Theme6Explanation(); return;
    case 7: Theme7Explanation(); return;
    case 11: Explanation11(); return;
    case 12: Explanation12(); return;
    case 13: Explanation13(); return;
    case 14: Explanation14(); return;
    case 15: Explanation15(); return;
    case 16: Explanation16(); return;
    case 17: Explanation17(); return;
    case 21: case 22: case 23: case 24: case 25: case 26: case 27: case 28:
        TriangularExplanation();
        return;
    default:
        return;
    }
}

}  // namespace kav

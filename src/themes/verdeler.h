// The dispatcher: the generator and the worked explanation of each theme, by ThemeCode.
#pragma once

namespace kav {

// True when the theme has a generator.
bool HasGenerator(int themeCode);
// Calls the generator of Session().ThemeCode; false when that code has none.
bool Verdeler();
// The worked explanation after a final judgement (the judge decides when).
void Toelichting(int themeCode, bool right);

}  // namespace kav

// The dispatcher: the generator and the worked explanation of each theme, by ThemeCode.
#pragma once
#include <functional>

namespace kav {

// True when the theme has a generator.
bool HasGenerator(int themeCode);
// Calls the generator of Session().ThemeCode; false when that code has none.
bool Verdeler();
// A new item of the theme as the item dump makes it: first attempt, no suffix, two attempts,
// no tolerance, then the generator; false when the code has none.
bool NewItemOfTheme(int themeCode);
// A new item of a running session by the mode's rule (ChooseNext), as START and Doorgaan make
// it: a choice without a generator is passed over. `chosen` runs after each choice, before
// its generator (the session window sets its usage panel there). The caller makes sure a
// ticked theme has a generator.
void NextScheduledItem(const std::function<void()>& chosen = {});
// The worked explanation after a final judgement (the judge decides when).
void Toelichting(int themeCode, bool right);

}  // namespace kav

// The titles of the themes and demonstration topics, by ThemeCode.
#pragma once
#include <QString>

namespace kav {

// Title of ThemeCode 1..40; empty when there is no theme of that number.
QString ThemeTitle(int themeCode);

}  // namespace kav

// One start-up, timed from outside: the program up to its main menu's first frame, or the
// reference, a bare Qt Widgets window with a label and a button of the same size. Both run
// under the platform in use and end once the first frame has been drawn.
#pragma once
#include <string>

#include "measure.h"

namespace bench {

// Leaves the platform as it is, but with no display at all (no platform chosen, no X or
// Wayland display) chooses the headless one, so that a start-up still draws its frame.
void ChoosePlatform();

// `what` is "program" or "bare", `screen` "WxH". Prints the platform's name and gives 0 once
// the first frame has been drawn.
int StartOnce(const std::string& what, const std::string& screen, const char* argv0);

}  // namespace bench

// The program's four windows, created once at start-up in this order and kept until the end.
#pragma once

namespace kav {

class TKavrin2MainForm;
class TTestForm;
class THelpScherm;
class TScrn;

struct Forms {
    TKavrin2MainForm* Main = nullptr;
    TTestForm* Test = nullptr;
    THelpScherm* Help = nullptr;
    TScrn* Scrn = nullptr;
};

Forms& AppForms();

// Creates the windows. False when a picture library is missing: its message has been
// shown and the program must stop with exit status 1.
bool CreateForms();
void DestroyForms();

}  // namespace kav

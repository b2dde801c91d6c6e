#include "app/forms.h"

#include "app/mainform.h"
#include "draw/pictures.h"
#include "games/scrn.h"
#include "session/testform.h"
#include "viewer/helpscherm.h"

namespace kav {

Forms& AppForms()
{
    static Forms forms;
    return forms;
}

bool CreateForms()
{
    Forms& f = AppForms();
    f.Main = new TKavrin2MainForm();
    f.Test = new TTestForm();
    if (!f.Test->librariesOk()) {
        DestroyForms();
        return false;
    }
    f.Help = new THelpScherm();
    f.Scrn = new TScrn();
    return true;
}

void DestroyForms()
{
    Forms& f = AppForms();
    delete f.Scrn;
    delete f.Help;
    delete f.Test;
    delete f.Main;
    f = Forms();
    CloseLibraries();
}

}  // namespace kav

#include "ui/forms.h"

namespace kav {

Forms& AppForms()
{
    static Forms forms;
    return forms;
}

}  // namespace kav

#include "app/application.h"
#include "app/itemdump.h"

int main(int argc, char** argv)
{
    if (kav::WantsItemDump(argc, argv))
        return kav::RunItemDump(argc, argv);
    return kav::RunProgram(argc, argv);
}

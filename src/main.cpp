#include "app/application.h"

int main(int argc, char** argv)
{
    return kav::RunProgram(argc, argv);
}

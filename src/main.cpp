#include "app/application.h"

int main(int argc, char** argv)
{
    return kav::Main(argc, argv);
}

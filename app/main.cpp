#include "application.h"
#include "startup.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    return runProgram();
}

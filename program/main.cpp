#include "program/Program.h"

int main(int argc, char** argv)
{
    return tolvex::RunProgram(argc, argv);
}

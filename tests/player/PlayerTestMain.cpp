#include "PlayerTestSupport.h"

int main(int argc, char** argv)
{
    return tolvex::test::RunPlayerTests(argc, argv);
}

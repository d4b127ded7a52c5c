// demo-db: writes a demo plant database for trying the program out.
#include "DemoPlant.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return qtmv::demo::runDemoDb(argc, argv, std::cout, std::cerr);
}

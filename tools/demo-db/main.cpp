// demo-db: writes a demo plant database for trying the program out.
#include "DemoPlant.h"

#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"

#include <iostream>

int main(int argc, char* argv[])
{
    jet::SetServerWriteLockKey(qtmv::db::kServerWriteLockKey);
    return qtmv::demo::RunDemoDb(argc, argv, std::cout, std::cerr);
}

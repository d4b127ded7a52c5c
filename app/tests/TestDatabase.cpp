#include "TestDatabase.h"

#include "db/Database.h"

namespace qtmv::test {

void createTestDatabase(const std::string& folder) { db::createDatabase(folder + "QTMV.mdb"); }

} // namespace qtmv::test

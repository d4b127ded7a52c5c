#include "db/testing/FreshDatabase.h"

#include "app/core/DatabaseLocation.h"
#include "db/Database.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace qtmv::db::test {

DatabaseMaker CopyOf(const std::string& file)
{
    return [file](const std::string& path) { std::filesystem::copy_file(file, path); };
}

namespace detail {

DatabaseFolder::DatabaseFolder(const DatabaseMaker& make)
{
    static std::atomic<int> counter{0};
    const auto dir = std::filesystem::temp_directory_path()
                     / ("qtmv-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    folder_ = dir.string() + "/";
    make(folder_ + "QTMV.mdb");
}

DatabaseFolder::~DatabaseFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace detail

FreshDatabase::FreshDatabase() : FreshDatabase(CreateDatabase) {}

FreshDatabase::FreshDatabase(const DatabaseMaker& make) : DatabaseFolder(make), Db(folder_ + "QTMV.mdb")
{
    HostInfo host;
    host.computerName = "PC1";
    host.userName = "admin";
    host.programFolder = folder_;
    LocateDatabase(session_, host);
    BuildConnectionString(session_);
}

} // namespace qtmv::db::test

#include "DemoPlant.h"

#include "db/Copy.h"
#include "db/Database.h"
#include "platform/jet/Postgres.h"

#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <string_view>

#include <unistd.h>

namespace qtmv::demo {

namespace {

constexpr std::string_view kUsage =
    "usage: demo-db [--work-orders N] [--seed S] [--date YYYY-MM-DD] [--time-lines N] PATH\n"
    "  Writes a new demo plant database at PATH (an existing file is never overwritten).\n"
    "  PATH may also name an empty database on a PostgreSQL server,\n"
    "  \"Server=HOST;Port=5432;Database=NAME;User ID=USER\" (the password from ~/.pgpass):\n"
    "  the plant is written to a temporary file and copied there as db-copy copies.\n"
    "  --work-orders N  number of work orders (default 300)\n"
    "  --seed S         random seed (default 1); the same seed, size and date give the same data\n"
    "  --date D         the plant's today (default: the current date)\n"
    "  --time-lines N   at least N time lines, for measuring the production analyses\n";

template <typename T>
bool Number(std::string_view text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseDate(std::string_view text, Date& d)
{
    std::string digits;
    for (char c : text)
        if (c != '-')
            digits += c;
    if (digits.size() != 8 || !Number(std::string_view(digits).substr(0, 4), d.year) ||
        !Number(std::string_view(digits).substr(4, 2), d.month) || !Number(std::string_view(digits).substr(6, 2), d.day))
        return false;
    return IsValid(d);
}

Date CurrentDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// The plant written to a file of its own and copied onto the server.
int WriteToServer(const std::string& server, const DemoOptions& options, std::ostream& out, std::ostream& err)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("demo-db-" + std::to_string(::getpid()));
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    const std::string file = (folder / "QTMV.mdb").string();
    int status = 0;
    try {
        WriteDemoPlant(file, options);
        long long rows = 0;
        for (const auto& t : db::CopyDatabase(db::ConnectionStringOfArgument(file), server))
            rows += t.rows;
        out << "demo-db: wrote the demo plant to " << jet::ServerAddressOf(server).display() << ": " << rows
            << " rows\n";
    } catch (const std::exception& e) {
        err << "demo-db: " << e.what() << "\n";
        status = 1;
    }
    std::filesystem::remove_all(folder, ec);
    return status;
}

} // namespace

int RunDemoDb(int argc, const char* const argv[], std::ostream& out, std::ostream& err)
{
    DemoOptions options;
    options.today = CurrentDate();
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--work-orders" && hasValue) {
            if (!Number(std::string_view(argv[++i]), options.workOrders) || options.workOrders < 1 ||
                options.workOrders > 10'000'000) {
                err << "demo-db: --work-orders needs a number from 1 to 10000000, not \"" << argv[i] << "\"\n";
                return 2;
            }
        } else if (arg == "--seed" && hasValue) {
            if (!Number(std::string_view(argv[++i]), options.seed)) {
                err << "demo-db: --seed needs a whole number, not \"" << argv[i] << "\"\n";
                return 2;
            }
        } else if (arg == "--date" && hasValue) {
            if (!ParseDate(argv[++i], options.today)) {
                err << "demo-db: --date needs a date such as 2024-12-04, not \"" << argv[i] << "\"\n";
                return 2;
            }
        } else if (arg == "--time-lines" && hasValue) {
            if (!Number(std::string_view(argv[++i]), options.timeLines) || options.timeLines < 0 ||
                options.timeLines > 10'000'000) {
                err << "demo-db: --time-lines needs a number from 0 to 10000000, not \"" << argv[i] << "\"\n";
                return 2;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            err << "demo-db: unknown or incomplete option " << arg << "\n" << kUsage;
            return 2;
        } else if (path.empty()) {
            path = arg;
        } else {
            err << "demo-db: only one PATH may be given\n" << kUsage;
            return 2;
        }
    }
    if (path.empty()) {
        err << kUsage;
        return 2;
    }
    std::error_code ec;
    if (!jet::ServerAddressOf(path).host.empty())
        return WriteToServer(path, options, out, err);
    if (std::filesystem::exists(path, ec)) {
        err << "demo-db: " << path << " already exists; it is not overwritten. Remove it or choose another path.\n";
        return 1;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        const DemoSummary s = WriteDemoPlant(path, options);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        out << "demo-db: wrote " << path << ": " << s.workOrders << " work orders (" << s.openWorkOrders
            << " open), " << s.processLines << " process lines, " << s.pieces << " scheduled pieces ("
            << s.openPieces << " open, " << s.openPrintingPieces << " of them printing), " << s.timeLines
            << " time lines in " << static_cast<long long>(seconds * 10) / 10.0 << " s\n";
        return 0;
    } catch (const std::exception& e) {
        err << "demo-db: " << e.what() << "\n";
        return 1;
    }
}

} // namespace qtmv::demo

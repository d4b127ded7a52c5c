#pragma once
#include <stdexcept>
#include <string>

namespace jet {

// Every failure of the data-access layer, in three parts: description(),
// what failed in the suite's Chinese, for the user's message box;
// engineMessage(), the database engine's own words; sql(), the statement
// that failed. what() joins all three, for logs and command-line tools.
class Error : public std::runtime_error {
public:
    enum class Kind {
        General,        // anything else the database reported
        FileMissing,    // the database file does not exist
        NotADatabase,   // an Access file or anything that is not our database
        Busy,           // another workstation held the database past the timeout
        Syntax,         // the statement could not be translated or prepared
        RowChanged,     // optimistic update: the row changed or vanished since it was read
        Usage,          // the layer was used out of order (no current row, closed recordset)
        Conflict,       // a server cancelled the statement as it collided with another workstation's
                        // (deadlock, serialization failure); running it again may succeed
    };
    Error(Kind kind, const std::string& description, const std::string& engineMessage = {},
          const std::string& sql = {})
        : std::runtime_error(joined(description, engineMessage, sql)), kind_(kind), description_(description),
          engine_(engineMessage), sql_(sql)
    {
    }
    Kind kind() const { return kind_; }
    const std::string& description() const { return description_; }
    const std::string& engineMessage() const { return engine_; }
    const std::string& sql() const { return sql_; }

private:
    static std::string joined(const std::string& description, const std::string& engine, const std::string& sql)
    {
        std::string s = description;
        if (!engine.empty())
            s += "（" + engine + "）";
        if (!sql.empty())
            s += "\nSQL：" + sql;
        return s;
    }

    Kind kind_;
    std::string description_, engine_, sql_;
};

} // namespace jet

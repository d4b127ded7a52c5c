#pragma once
#include <stdexcept>
#include <string>

namespace jet {

// Every failure of the data-access layer. what() is the description that
// the windows show in their message boxes.
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
    };
    Error(Kind kind, const std::string& description)
        : std::runtime_error(description), kind_(kind) {}
    Kind kind() const { return kind_; }
    std::string description() const { return what(); }

private:
    Kind kind_;
};

} // namespace jet

#pragma once
// Statements sent to a server at once. A save sends hundreds of single-row
// updates of a few shapes ("update T set C = '…' where ID = '…' and INO = 4"),
// and the server parses and plans each of them anew: that took as long as
// the writing. A shape that comes more than once is prepared once and
// executed with each statement's values, in the statements' own order, so
// what runs and in which order stays the same.
//
// Only plain updates are taken: a table, then columns set to values and
// conditions that compare a column with a value, joined by "and"; values
// are quoted texts or whole numbers of up to nine digits. In those places a
// parameter takes the column's type exactly as the value does, so the
// prepared statement compares and stores the same. Every other statement
// is sent as it is.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

struct ServerSeries {
    std::vector<std::string> sqls; // to send, in order
    std::vector<int> origin;       // of each: the statement it runs or prepares (its index), -1 for none
    struct Prepared {
        std::string name;
        std::size_t prepareAt, deallocateAt; // positions in sqls
    };
    std::vector<Prepared> prepared;
};

// The series for `sqls` (the server's own statement texts); the prepared
// statements are named `names` followed by a number and deallocated at the
// series' end.
ServerSeries PrepareRepeated(const std::vector<std::string>& sqls, std::string_view names);

} // namespace jet

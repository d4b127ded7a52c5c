#pragma once
// An error whose text the user reads as it is. It sits with the texts, below
// the log and the message boxes, so that the file writers can throw it
// without depending on them.
#include <stdexcept>

namespace qtmv {

// A failure whose what() is already a message for the user, in the suite's
// Chinese (a file that cannot be written, a text the code page cannot
// hold): reports show it as it is.
class UserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qtmv

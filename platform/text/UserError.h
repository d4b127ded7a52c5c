#pragma once
// An error whose text the user reads as it is. It sits with the texts, below
// the log and the message boxes, so that the file writers can throw it
// without depending on them.
#include <stdexcept>
#include <string>

namespace qtmv {

// A failure whose what() is already a message for the user, in the suite's
// Chinese (a file that cannot be written, a text the code page cannot
// hold): reports show it as it is.
class UserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // What sort of failure it is, in a word the plant's IT reads in the log
    // beside the message ("檔案錯誤"); a compiler's type name says nothing.
    virtual std::string kind() const { return "作業錯誤"; }
};

// A file that cannot be read or written; what() names the file.
class FileError : public UserError {
public:
    using UserError::UserError;
    std::string kind() const override { return "檔案錯誤"; }
};

} // namespace qtmv

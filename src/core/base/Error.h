#pragma once
// The exceptions that core and storage code raise. Each carries the message
// text the user is shown; command handlers catch EQuillmateError and display it.
#include <stdexcept>
#include <string>

namespace qm {

class EQuillmateError : public std::runtime_error {
public:
    explicit EQuillmateError(const std::string& message) : std::runtime_error(message) {}
};

// A file that cannot be opened, read, created or written.
class EFileError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

// Bytes that are not valid UTF-8 where UTF-8 is required.
class EEncodingError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

// A relative path that holds characters no path may hold.
class EInvalidPath : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

// JSON of the wrong shape: a missing required member, a wrong type, a duplicate key.
class EJsonError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

// A text that should hold a number and does not.
class EConvertError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

} // namespace qm

#pragma once
// The error types of the core. Each carries the runtime's standard message
// text, formatted exactly (CP932 bytes where a message quotes input text), so
// the edge that catches it can show what() as it is after converting it to
// Unicode. Catch ETembrookError for "any core error", or one of the concrete
// types for what a caller means to handle.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tembrook {

// Root of every error the core raises on purpose.
class ETembrookError : public std::runtime_error {
public:
    explicit ETembrookError(const std::string& message);
};

// An index outside 0..Count-1 of a list: "List index out of bounds (%d)".
class EListError : public ETembrookError {
public:
    explicit EListError(std::int64_t index);
    std::int64_t Index() const noexcept { return FIndex; }

private:
    std::int64_t FIndex;
};

// A conversion that cannot be made: integer text, date parts, assignment
// between unrelated record classes. Use the factories for the exact messages.
class EConvertError : public ETembrookError {
public:
    explicit EConvertError(const std::string& message);

    // "'%s' is not a valid integer value" with the text (bytes kept as given,
    // except that a NUL byte shows as the two characters "\0").
    static EConvertError InvalidInteger(std::string_view text);
    // "Invalid argument to date encode"
    static EConvertError InvalidDateEncode();
    // "Cannot assign a %s to a %s" (source class name or "nil", target class name).
    static EConvertError CannotAssign(std::string_view sourceClass, std::string_view targetClass);
};

// A file that cannot be created for writing: "Cannot create file %s".
class EFCreateError : public ETembrookError {
public:
    explicit EFCreateError(std::string_view fileName);
};

// A file that cannot be opened for reading: "Cannot open file %s".
class EFOpenError : public ETembrookError {
public:
    explicit EFOpenError(std::string_view fileName);
};

// A write that did not complete: "Stream write error".
class EWriteError : public ETembrookError {
public:
    EWriteError();
};

}  // namespace tembrook

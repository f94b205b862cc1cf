#include "Errors.h"

namespace tembrook {

ETembrookError::ETembrookError(const std::string& message) : std::runtime_error(message) {}

EListError::EListError(std::int64_t index)
    : ETembrookError("List index out of bounds (" + std::to_string(index) + ")"), FIndex(index)
{
}

EConvertError::EConvertError(const std::string& message) : ETembrookError(message) {}

EConvertError EConvertError::InvalidInteger(std::string_view text)
{
    std::string message;
    message.reserve(text.size() + 32);
    message += '\'';
    // what() ends at a NUL, so a NUL in the text is shown as "\0" to keep the
    // rest of the message.
    for (const char c : text) {
        if (c == '\0') {
            message += "\\0";
        } else {
            message += c;
        }
    }
    message += "' is not a valid integer value";
    return EConvertError(message);
}

EConvertError EConvertError::InvalidDateEncode()
{
    return EConvertError("Invalid argument to date encode");
}

EConvertError EConvertError::CannotAssign(std::string_view sourceClass, std::string_view targetClass)
{
    std::string message = "Cannot assign a ";
    message += sourceClass;
    message += " to a ";
    message += targetClass;
    return EConvertError(message);
}

EFCreateError::EFCreateError(std::string_view fileName)
    : ETembrookError("Cannot create file " + std::string(fileName))
{
}

EFOpenError::EFOpenError(std::string_view fileName)
    : ETembrookError("Cannot open file " + std::string(fileName))
{
}

EWriteError::EWriteError() : ETembrookError("Stream write error") {}

}  // namespace tembrook

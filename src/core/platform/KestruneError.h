#pragma once
// The one error type of the core. Its text is exactly what the user is shown.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrune {

class KestruneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace errors {
KestruneError CannotOpenFile(const std::string& path);
KestruneError CannotCreateFile(const std::string& path);
KestruneError NotValidInteger(const std::string& text);
KestruneError ListIndexOutOfBounds(long long index);
KestruneError IntegerOverflow();
KestruneError UnableToWrite(const std::string& path);
// A station file that is a pipe, a device or a socket: never read or written as a list.
KestruneError NotARegularFile(const std::string& path);
// A station file past the size any list of songs reaches.
KestruneError FileTooLarge(const std::string& path);
// A link whose target lies outside the station's folders: written through, it would change a
// file that is not the station's.
KestruneError LinkLeadsOut(const std::string& path, const std::string& target);
}  // namespace errors

// Numbers the user types are kept as text and parsed when used: optional blanks in front,
// an optional sign, decimal digits, and nothing else; the value must fit in 32 bits.
int32_t StrToInt(const std::string& text);

// Signed 32-bit arithmetic that stops the command instead of wrapping around.
int32_t CheckedAdd(int32_t a, int32_t b);
int32_t CheckedSub(int32_t a, int32_t b);
int32_t CheckedMul(int32_t a, int32_t b);

}  // namespace kestrune

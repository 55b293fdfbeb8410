#include "platform/KestruneError.h"

#include <limits>

#include "platform/Digits.h"

namespace kestrune {
namespace errors {

KestruneError CannotOpenFile(const std::string& path) {
    return KestruneError("Cannot open file " + path);
}
KestruneError CannotCreateFile(const std::string& path) {
    return KestruneError("Cannot create file " + path);
}
KestruneError NotValidInteger(const std::string& text) {
    return KestruneError("'" + text + "' is not a valid integer value");
}
KestruneError ListIndexOutOfBounds(long long index) {
    return KestruneError("List index out of bounds (" + std::to_string(index) + ")");
}
KestruneError IntegerOverflow() {
    return KestruneError("Integer overflow");
}
KestruneError UnableToWrite(const std::string& path) {
    return KestruneError("Unable to write to " + path);
}

KestruneError NotARegularFile(const std::string& path) {
    return KestruneError("Cannot use " + path +
                         ": it is not a regular file (a pipe, a device or a socket)");
}
KestruneError FileTooLarge(const std::string& path) {
    return KestruneError("Cannot read " + path + ": it is larger than 256 MB");
}
KestruneError LinkLeadsOut(const std::string& path, const std::string& target) {
    return KestruneError("Cannot write " + path + ": it is a link to " + target +
                         ", outside the station's folders; nothing was written");
}

}  // namespace errors

int32_t StrToInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
    // The magnitude of the smallest value is one more than the largest.
    const std::optional<int64_t> magnitude =
        WholeNumber(std::string_view(text).substr(i), negative ? kLargest + 1 : kLargest);
    if (!magnitude) throw errors::NotValidInteger(text);
    return static_cast<int32_t>(negative ? -*magnitude : *magnitude);
}

namespace {
int32_t Narrow(long long value) {
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        throw errors::IntegerOverflow();
    return static_cast<int32_t>(value);
}
}  // namespace

int32_t CheckedAdd(int32_t a, int32_t b) {
    return Narrow(static_cast<long long>(a) + b);
}
int32_t CheckedSub(int32_t a, int32_t b) {
    return Narrow(static_cast<long long>(a) - b);
}
int32_t CheckedMul(int32_t a, int32_t b) {
    return Narrow(static_cast<long long>(a) * b);
}

}  // namespace kestrune

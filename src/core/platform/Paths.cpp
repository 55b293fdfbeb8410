#include "platform/Paths.h"

#include <filesystem>

#include <vector>

#include "platform/Files.h"

namespace kestrune {

namespace {

bool IsDelimiter(char c, PathStyle style) {
    return style == PathStyle::Windows ? (c == '\\' || c == ':') : c == '/';
}

size_t NameStart(std::string_view path, PathStyle style) {
    size_t i = path.size();
    while (i > 0 && !IsDelimiter(path[i - 1], style)) --i;
    return i;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Folds "." and ".." segments of `rest`, which follows the root `root`.
std::string Normalize(std::string_view root, std::string_view rest, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(separator, start);
        if (end == std::string_view::npos) end = rest.size();
        const std::string_view part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result(root);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += separator;
        result += parts[i];
    }
    // Keep a trailing separator the caller gave ("C:\Music\" stays a folder).
    if (!rest.empty() && rest.back() == separator && !parts.empty()) result += separator;
    return result;
}

}  // namespace

std::string ExtractFileName(std::string_view path, PathStyle style) {
    return std::string(path.substr(NameStart(path, style)));
}

std::string ExtractFilePath(std::string_view path, PathStyle style) {
    return std::string(path.substr(0, NameStart(path, style)));
}

std::string ExpandFileName(std::string_view path, std::string_view currentDir, PathStyle style) {
    const char sep = Separator(style);
    if (style == PathStyle::Posix) {
        std::string full;
        if (!path.empty() && path[0] == '/') {
            full = std::string(path);
        } else {
            full = IncludeTrailingSeparator(currentDir, style) + std::string(path);
        }
        return Normalize("/", std::string_view(full).substr(1), sep);
    }
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (hasDrive && path.size() >= 3 && path[2] == '\\') {
        return Normalize(path.substr(0, 3), path.substr(3), sep);
    }
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        return Normalize("\\\\", path.substr(2), sep);
    }
    const std::string_view driveOfCurrent = currentDir.substr(0, 2);
    if (!path.empty() && path[0] == '\\') {
        return Normalize(std::string(driveOfCurrent) + "\\", path.substr(1), sep);
    }
    const std::string full = IncludeTrailingSeparator(currentDir, style) + std::string(path);
    if (full.size() >= 3 && full[1] == ':') {
        return Normalize(std::string_view(full).substr(0, 3), std::string_view(full).substr(3),
                         sep);
    }
    return full;
}

std::string ExpandFileName(std::string_view path) {
    // A full path needs no current folder; asking the system for it would cost a call per file.
    if (kNativePathStyle == PathStyle::Posix && !path.empty() && path[0] == '/')
        return ExpandFileName(path, std::string_view(), kNativePathStyle);
    return ExpandFileName(path, CurrentDirectory(), kNativePathStyle);
}

std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style) {
    std::string result(folder);
    result += Separator(style);
    result += name;
    return result;
}

std::string IncludeTrailingSeparator(std::string_view path, PathStyle style) {
    std::string result(path);
    if (result.empty() || result.back() != Separator(style)) result += Separator(style);
    return result;
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const unsigned char cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = AsciiLower(c);
    return result;
}

std::string ComparablePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path).lexically_normal().string() : canonical.string();
}

}  // namespace kestrune

#pragma once
// Path rules as pure functions. Both path styles are handled, so that Windows paths can be
// reasoned about (and tested) on any platform; the running system uses its native style.

#include <string>
#include <string_view>

namespace kestrune {

enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
inline constexpr char kPathSeparator = '/';
#endif

constexpr char Separator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

// The file-name part: everything after the last separator (or, in the Windows style, drive colon).
std::string ExtractFileName(std::string_view path, PathStyle style = kNativePathStyle);

// Everything up to and including the last separator (or drive colon).
std::string ExtractFilePath(std::string_view path, PathStyle style = kNativePathStyle);

// A full path: relative names are resolved against `currentDir`, "." and ".." are folded.
std::string ExpandFileName(std::string_view path, std::string_view currentDir, PathStyle style);
// The same against the process's current folder, native style.
std::string ExpandFileName(std::string_view path);

// `folder` + separator + `name`: folders are kept without a trailing separator.
std::string JoinPath(std::string_view folder, std::string_view name,
                     PathStyle style = kNativePathStyle);

// Adds a separator unless the text already ends with one.
std::string IncludeTrailingSeparator(std::string_view path, PathStyle style = kNativePathStyle);

// ASCII comparison without regard to letter case: <0, 0, >0.
int CompareTextNoCase(std::string_view a, std::string_view b);
std::string LowerCase(std::string_view text);

// One spelling of a path (links and "..", "." resolved as far as the file system allows), so that
// the same file named in two lists compares equal.
std::string ComparablePath(const std::string& path);

}  // namespace kestrune

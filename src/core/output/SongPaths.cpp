#include "output/SongPaths.h"

#include "platform/Files.h"

namespace kestrune {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && CompareTextNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool IsFullPath(std::string_view path, PathStyle style) {
    if (style == PathStyle::Posix) return !path.empty() && path[0] == '/';
    return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
           (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

}  // namespace

std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string DecodeFileUri(std::string_view line, PathStyle style) {
    if (!StartsWithNoCase(line, "file://")) return std::string(line);
    std::string_view rest = line.substr(7);
    if (StartsWithNoCase(rest, "localhost/")) rest.remove_prefix(9);
    std::string path = PercentDecoded(rest);
    if (style == PathStyle::Posix) return path;
    // "/C:/x" is a drive path; "server/share/x" is a share.
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
    else if (!path.empty() && path[0] != '/') path = "//" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string SongFilePath(std::string_view line, std::string_view playlistPath, PathStyle style) {
    const std::string path = DecodeFileUri(line, style);
    if (IsFullPath(path, style)) return path;
    const std::string folder = ExtractFilePath(playlistPath, style);
    if (style == PathStyle::Windows && !path.empty() && path[0] == '\\')
        return std::string(playlistPath.substr(0, 2)) + path;
    // A playlist named by a relative path: its folder is relative too, and the current folder
    // is not known here; the file system resolves the joined path.
    if (!IsFullPath(folder, style) && !(style == PathStyle::Windows && folder.size() >= 2 &&
                                        folder[1] == ':'))
        return folder + path;
    return ExpandFileName(path, folder, style);
}

namespace {

size_t EndWithoutBlanks(std::string_view line) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return end;
}

}  // namespace

std::string SongFileOf(std::string_view line, std::string_view playlistPath) {
    if (EndWithoutBlanks(line) == line.size()) return SongFilePath(line, playlistPath);
    std::optional<std::string> found = ExistingSongFile(line, playlistPath);
    return found ? *found : SongFilePath(line, playlistPath);
}

std::optional<std::string> ExistingSongFile(std::string_view line, std::string_view playlistPath) {
    std::string path = SongFilePath(line, playlistPath);
    if (FileExists(path)) return path;
    const size_t end = EndWithoutBlanks(line);
    if (end == line.size() || end == 0) return std::nullopt;
    path = SongFilePath(line.substr(0, end), playlistPath);
    if (FileExists(path)) return path;
    return std::nullopt;
}

}  // namespace kestrune

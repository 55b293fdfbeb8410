#include "Scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kestrune::fuzz {

namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder() {
        std::error_code ec;
        fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
        std::string pattern = (base / "kestrune-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("kestrune fuzz: cannot make a scratch folder");
            std::abort();
        }
        path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string path;
};

}  // namespace

const std::string& ScratchFolder() {
    static const Folder folder;
    return folder.path;
}

std::string ScratchPath(std::string_view name) {
    return ScratchFolder() + "/" + std::string(name);
}

void PutFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr ||
        (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) ||
        std::fclose(file) != 0) {
        std::perror(("kestrune fuzz: cannot write " + path).c_str());
        std::abort();
    }
}

std::string FreshFolder(std::string_view name) {
    const std::string path = ScratchPath(name);
    std::error_code ec;
    fs::remove_all(path, ec);
    fs::create_directories(path, ec);
    if (ec) {
        std::perror(("kestrune fuzz: cannot make " + path).c_str());
        std::abort();
    }
    return path;
}

std::string Finding(std::string_view what, std::string_view detail) {
    std::string text(what);
    if (!detail.empty()) {
        text += ": ";
        text += detail;
    }
    return text;
}

}  // namespace kestrune::fuzz

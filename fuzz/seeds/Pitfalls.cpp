#include "Pitfalls.h"

#include <cstdio>

#include "Mp3Synth.h"

namespace kestrune::pitfalls {

namespace {

std::string SyncSafe(uint32_t size) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>(size & 0x7F);
        size >>= 7;
    }
    return bytes;
}

std::string BigEndian32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

std::string LittleEndian32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

}  // namespace

std::string Id3v2(const std::string& frames, std::optional<uint32_t> declared) {
    return std::string("ID3\x03\x00\x00", 6) +
           SyncSafe(declared.value_or(static_cast<uint32_t>(frames.size()))) + frames;
}

std::string Id3v2Frame(const std::string& id, const std::string& body) {
    return id + BigEndian32(static_cast<uint32_t>(body.size())) + std::string(2, '\0') + body;
}

std::string Utf16TitleFrame(const std::string& ascii) {
    std::string body("\x01\xFF\xFE", 3);
    for (char c : ascii) {
        body += c;
        body += '\0';
    }
    return Id3v2Frame("TIT2", body);
}

std::string CoverArtFrame(size_t size, uint32_t seed) {
    std::string picture("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
    picture += synth::RandomBytes(size, seed);
    for (size_t at = 40; at + 4 < picture.size(); at += 997)
        picture.replace(at, 4, std::string("\xFF\xFB\x90\x64", 4));
    for (size_t at = 311; at + 2 < picture.size(); at += 1231)
        picture.replace(at, 2, std::string("\xFF\xE3", 2));
    return Id3v2Frame("APIC", std::string("\x00image/jpeg\x00\x03\x00", 14) + picture);
}

std::string ApeTail() {
    // One item "Title" = "Ape": value size, flags, key, NUL, value.
    const std::string items =
        LittleEndian32(3) + LittleEndian32(0) + "Title" + std::string(1, '\0') + "Ape";
    const auto frame = [&](bool header) {
        return "APETAGEX" + LittleEndian32(2000) +
               LittleEndian32(static_cast<uint32_t>(items.size() + 32)) + LittleEndian32(1) +
               LittleEndian32(header ? 0xA0000000u : 0x80000000u) + std::string(8, '\0');
    };
    return frame(true) + items + frame(false);
}

std::string Lyrics3Tail() {
    const std::string fields = "IND00003110LYR00021[00:01]Seed lyrics\xFF\xFB";
    char size[16];
    std::snprintf(size, sizeof size, "%06zu", fields.size() + 11);
    return "LYRICSBEGIN" + fields + size + "LYRICS200";
}

}  // namespace kestrune::pitfalls

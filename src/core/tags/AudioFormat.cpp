#include "tags/AudioFormat.h"

#include <utility>

namespace kestrune {

const char* AudioFormatName(AudioFormat format) {
    switch (format) {
        case AudioFormat::Flac:
            return "FLAC";
        case AudioFormat::OggVorbis:
            return "Ogg Vorbis";
        case AudioFormat::OggOpus:
            return "Opus";
        case AudioFormat::OggFlac:
            return "Ogg FLAC";
        case AudioFormat::Mp4:
            return "MP4";
        case AudioFormat::Wav:
            return "WAV";
        case AudioFormat::Aiff:
            return "AIFF";
        case AudioFormat::Unknown:
        case AudioFormat::Mpeg:
            break;
    }
    return "";
}

std::string OggCodecName(std::string_view head) {
    static constexpr std::pair<std::string_view, const char*> kCodecs[] = {
        {"Speex   ", "Ogg Speex"},
        {"\x80theora", "Ogg Theora"},
        {"CELT    ", "Ogg CELT"},
        {"PCM     ", "Ogg PCM"},
        {"fishead", "Ogg Skeleton"}};
    constexpr size_t kPacket = 28;
    for (const auto& [magic, name] : kCodecs)
        if (head.size() >= kPacket + magic.size() && head.substr(kPacket, magic.size()) == magic)
            return name;
    return "Ogg of an unknown codec";
}

AudioFormat SniffAudioFormat(std::string_view head) {
    auto at = [head](size_t offset, std::string_view magic) {
        return head.size() >= offset + magic.size() && head.substr(offset, magic.size()) == magic;
    };
    if (at(0, "fLaC")) return AudioFormat::Flac;
    if (at(0, "OggS")) {
        // The first page holds the codec's identification packet from byte 28 on.
        if (at(28, "\x01vorbis")) return AudioFormat::OggVorbis;
        if (at(28, "OpusHead")) return AudioFormat::OggOpus;
        if (at(28,
               "\x7F"
               "FLAC"))
            return AudioFormat::OggFlac;
        return AudioFormat::Unknown;
    }
    if (at(4, "ftyp")) return AudioFormat::Mp4;
    if (at(0, "RIFF") && at(8, "WAVE")) return AudioFormat::Wav;
    if (at(0, "FORM") && (at(8, "AIFF") || at(8, "AIFC"))) return AudioFormat::Aiff;
    return AudioFormat::Mpeg;
}

}  // namespace kestrune

#pragma once
// The containers of audio files a station holds, told apart by their first bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

enum class AudioFormat { Unknown, Mpeg, Flac, OggVorbis, OggOpus, OggFlac, Mp4, Wav, Aiff };

// "FLAC", "Ogg Vorbis", ...; empty for Unknown and Mpeg (the MPEG reader names its own layer).
const char* AudioFormatName(AudioFormat format);

// The bytes needed to tell the formats apart.
inline constexpr size_t kSniffBytes = 36;

// The format whose signature `head` (the file's first bytes after any ID3v2 tag) begins with;
// Mpeg for anything else, which the MPEG frame search then judges; Unknown for an Ogg stream
// of another codec.
AudioFormat SniffAudioFormat(std::string_view head);

// The name of an Ogg stream's codec that no reader here times ("Ogg Speex", "Ogg Theora"),
// from the same bytes; "Ogg of an unknown codec" when its first packet names none we know.
std::string OggCodecName(std::string_view head);

}  // namespace kestrune

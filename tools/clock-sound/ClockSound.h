#pragma once
// The start-up sound "CLOCKS": a clock ticking, then a two-note chime. Made from nothing but
// arithmetic, so the program carries no recording of anyone else's.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune::sound {

constexpr int kSampleRate = 44100;
constexpr int kBitsPerSample = 16;
constexpr int kChannels = 1;
// 251,505 samples of 16 bits: about 5.7 seconds, a little longer than the splash stays up.
constexpr uint32_t kClocksDataBytes = 503010;
constexpr uint32_t kClocksSamples = kClocksDataBytes / 2;

// Start times of the ticks in seconds; every other one is the lower "tock".
std::vector<double> TickTimes();
// Start times of the chime's notes in seconds.
std::vector<double> ChimeTimes();

// The sound's samples, kClocksSamples of them, peaking a little below full scale.
std::vector<int16_t> SynthesiseClocks();

// A RIFF WAVE file of uncompressed mono 16-bit PCM at kSampleRate holding `samples`.
std::string WaveFile(const std::vector<int16_t>& samples);

}  // namespace kestrune::sound

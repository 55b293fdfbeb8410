#pragma once
// The fixed tables of MPEG audio frame headers (ISO/IEC 11172-3 and 13818-3) and the frame
// length rule built on them.

#include <array>
#include <cstdint>

namespace kestrune {

// Version codes as the reader reports them: 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5, 0 = unknown.
inline constexpr uint8_t kMpeg1 = 1;
inline constexpr uint8_t kMpeg2 = 2;
inline constexpr uint8_t kMpeg25 = 3;

// Sampling rates in Hz by version (row 0 unused) and the header's two-bit index.
inline constexpr std::array<std::array<int32_t, 4>, 4> kSampleRates{{
    {0, 0, 0, 0},
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
}};

// Bit rates in kbit/s by the header's four-bit index. Index 0 (free format) and 15 (reserved)
// give 0, which no valid header has.
inline constexpr std::array<int32_t, 16> kBitRatesMpeg1Layer1{
    0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
inline constexpr std::array<int32_t, 16> kBitRatesMpeg1Layer2{
    0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
inline constexpr std::array<int32_t, 16> kBitRatesMpeg1Layer3{0,   32,  40,  48,  56,  64,  80,  96,
                                                              112, 128, 160, 192, 224, 256, 320, 0};
// MPEG-2 lower sampling frequencies; MPEG-2.5 uses the same rows.
inline constexpr std::array<int32_t, 16> kBitRatesMpeg2Layer1{
    0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
inline constexpr std::array<int32_t, 16> kBitRatesMpeg2Layer23{0,  8,  16, 24,  32,  40,  48,  56,
                                                               64, 80, 96, 112, 128, 144, 160, 0};

// 0 for an unknown version or layer (0) or an index outside 0..3.
int32_t SampleRateFor(uint8_t version, unsigned index);
// 0 for an unknown version or layer, or an index outside 0..15.
int32_t BitRateFor(uint8_t version, uint8_t layer, unsigned index);

// Audio samples one frame holds: Layer I 384; Layer III of MPEG-2 and MPEG-2.5 576; else 1152.
int32_t SamplesPerFrame(uint8_t version, uint8_t layer);

// Frame length in bytes; 0 when the sample rate is below 1. Layer I counts four-byte slots;
// the other layers count bytes, with half the factor for the 576-sample Layer III frames.
int32_t CalcFrameLength(uint8_t version, uint8_t layer, int32_t sampleRate, int32_t bitRate,
                        bool padding);

}  // namespace kestrune

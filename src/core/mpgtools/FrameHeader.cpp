#include "mpgtools/FrameHeader.h"

namespace kestrune {

int32_t SampleRateFor(uint8_t version, unsigned index) {
    if (version < kMpeg1 || version > kMpeg25 || index > 3) return 0;
    return kSampleRates[version][index];
}

int32_t BitRateFor(uint8_t version, uint8_t layer, unsigned index) {
    if (index > 15) return 0;
    if (version == kMpeg1) {
        switch (layer) {
            case 1:
                return kBitRatesMpeg1Layer1[index];
            case 2:
                return kBitRatesMpeg1Layer2[index];
            case 3:
                return kBitRatesMpeg1Layer3[index];
            default:
                return 0;
        }
    }
    if (version == kMpeg2 || version == kMpeg25) {
        switch (layer) {
            case 1:
                return kBitRatesMpeg2Layer1[index];
            case 2:
            case 3:
                return kBitRatesMpeg2Layer23[index];
            default:
                return 0;
        }
    }
    return 0;
}

int32_t SamplesPerFrame(uint8_t version, uint8_t layer) {
    if (layer == 1) return 384;
    if (layer == 3 && (version == kMpeg2 || version == kMpeg25)) return 576;
    return 1152;
}

int32_t CalcFrameLength(uint8_t version, uint8_t layer, int32_t sampleRate, int32_t bitRate,
                        bool padding) {
    if (sampleRate < 1) return 0;
    const int64_t pad = padding ? 1 : 0;
    const int64_t bitsPerSecond = static_cast<int64_t>(bitRate) * 1000;
    if (layer == 1) return static_cast<int32_t>(4 * (12 * bitsPerSecond / sampleRate + pad));
    // Bytes per frame = samples / 8 * bit rate / sample rate.
    const double factor = SamplesPerFrame(version, layer) / 8;
    const double bytes = factor * static_cast<double>(bitsPerSecond) / sampleRate + pad;
    // Through 64 bits: any 32-bit rate pair stays in range there, so no input is undefined.
    return static_cast<int32_t>(static_cast<int64_t>(bytes));
}

}  // namespace kestrune

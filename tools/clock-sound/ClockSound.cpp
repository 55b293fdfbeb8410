#include "ClockSound.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrune::sound {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Our own small generator, so the noise is the same on every standard library.
class XorShift {
public:
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;  // -1 .. 1
    }

private:
    uint32_t state_ = 0x6b657374u;
};

// A tick: a click of noise that rings two small resonances of the case and the escapement.
void AddTick(std::vector<double>& out, double start, bool tock, XorShift& noise) {
    const double first = tock ? 2300.0 : 3200.0;
    const double second = tock ? 3900.0 : 5100.0;
    const double level = tock ? 0.42 : 0.5;
    const auto begin = static_cast<size_t>(start * kSampleRate);
    const auto length = static_cast<size_t>(0.045 * kSampleRate);
    for (size_t i = 0; i < length && begin + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double click = noise.Next() * std::exp(-t / 0.0015);
        const double ring = 0.6 * std::sin(kTwoPi * first * t) * std::exp(-t / 0.006) +
                            0.35 * std::sin(kTwoPi * second * t) * std::exp(-t / 0.004);
        out[begin + i] += level * (0.55 * click + ring);
    }
}

// A bell note: partials at a bell's ratios, the high ones dying first.
void AddBell(std::vector<double>& out, double start, double pitch, double level) {
    struct Partial {
        double ratio, amplitude, decay;
    };
    static constexpr Partial kPartials[] = {
        {0.5, 0.35, 1.6}, {1.0, 1.0, 1.1},  {1.19, 0.45, 0.8}, {1.5, 0.3, 0.6},
        {2.0, 0.4, 0.5},  {2.74, 0.2, 0.3}, {3.0, 0.15, 0.25}, {4.07, 0.08, 0.15},
    };
    const auto begin = static_cast<size_t>(start * kSampleRate);
    for (size_t i = 0; begin + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.002);
        double value = 0.0;
        for (const Partial& p : kPartials)
            value += p.amplitude * std::sin(kTwoPi * pitch * p.ratio * t) * std::exp(-t / p.decay);
        out[begin + i] += level * attack * value;
    }
}

}  // namespace

std::vector<double> TickTimes() {
    std::vector<double> times;
    for (int k = 0; k < 7; ++k) times.push_back(0.15 + 0.5 * k);
    return times;
}

std::vector<double> ChimeTimes() {
    return {3.6, 4.1};
}

std::vector<int16_t> SynthesiseClocks() {
    std::vector<double> mix(kClocksSamples, 0.0);
    XorShift noise;
    const auto ticks = TickTimes();
    for (size_t k = 0; k < ticks.size(); ++k) AddTick(mix, ticks[k], k % 2 == 1, noise);
    const auto chime = ChimeTimes();
    AddBell(mix, chime[0], 659.26, 0.3);  // E5
    AddBell(mix, chime[1], 523.25, 0.3);  // C5

    // Fade the bell's tail out over the last quarter second, so the sound ends without a click.
    const size_t fade = kSampleRate / 4;
    for (size_t i = 0; i < fade; ++i) {
        const double gain = static_cast<double>(i) / static_cast<double>(fade);
        mix[mix.size() - 1 - i] *= gain;
    }

    double peak = 0.0;
    for (double v : mix) peak = std::max(peak, std::abs(v));
    const double scale = peak > 0.0 ? 0.85 * 32767.0 / peak : 0.0;
    std::vector<int16_t> samples(mix.size());
    std::transform(mix.begin(), mix.end(), samples.begin(),
                   [scale](double v) { return static_cast<int16_t>(std::lround(v * scale)); });
    return samples;
}

std::string WaveFile(const std::vector<int16_t>& samples) {
    std::string bytes;
    auto put32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&bytes](uint16_t v) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>(v >> 8));
    };
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint16_t blockAlign = kChannels * kBitsPerSample / 8;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    put32(36 + dataBytes);
    bytes += "WAVE";
    bytes += "fmt ";
    put32(16);
    put16(1);  // uncompressed PCM
    put16(kChannels);
    put32(kSampleRate);
    put32(kSampleRate * blockAlign);
    put16(blockAlign);
    put16(kBitsPerSample);
    bytes += "data";
    put32(dataBytes);
    for (int16_t s : samples) put16(static_cast<uint16_t>(s));
    return bytes;
}

}  // namespace kestrune::sound

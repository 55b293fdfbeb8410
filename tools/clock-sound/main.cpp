// Writes the start-up sound "CLOCKS" as a WAV file for the program's resources.
//
// Usage: kestrune-clock-sound OUTPUT.wav

#include <fstream>
#include <iostream>

#include "ClockSound.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kestrune-clock-sound OUTPUT.wav\n";
        return 2;
    }
    const std::string bytes = kestrune::sound::WaveFile(kestrune::sound::SynthesiseClocks());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "kestrune-clock-sound: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

// Writes a ready demo station: Playlists/, Sessions/master_template.cfg and Demo_MP3's/ with
// seventy MP3 files of silence (MPEG-1 Layer III, 32 kHz, 32 kbit/s, so they stay small), each
// with an ID3v1 tag. Artists recur across categories and genres vary, so that the duplicate
// artist and genre checks have work to do in a demo build.
//
// Usage: kestrune-demo-station STATION_FOLDER TEMPLATE_FILE

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "Mp3Synth.h"

namespace {

namespace fs = std::filesystem;
using kestrune::synth::FrameFields;

struct DemoFile {
    int seconds;
    const char* artist;
    const char* title;
    const char* year;
    int genre;  // ID3v1 genre code
};

struct DemoCategory {
    const char* prefix;
    std::vector<DemoFile> files;  // ten each
};

// Genre codes used below.
constexpr int kDance = 3, kDisco = 4, kFunk = 5, kOldies = 11, kOther = 12, kPop = 13, kRnB = 14,
              kRock = 17, kAlternative = 20, kSoundClip = 37, kSoul = 42, kSpeech = 101;

const std::vector<DemoCategory>& Categories() {
    static const std::vector<DemoCategory> categories = {
        {"Oldie_",
         {{184, "The Velvet Harbors", "Sunday Driver", "1966", kOldies},
          {162, "Dorothy Lane", "Paper Moon Parade", "1958", kOldies},
          {201, "The Marigolds", "Call Me By Noon", "1964", kSoul},
          {176, "Eddie Castell", "Blue Pontiac", "1961", kRock},
          {213, "The Velvet Harbors", "Lighthouse Girl", "1968", kOldies},
          {155, "Sister Ray Holloway", "Good Morning Trouble", "1963", kSoul},
          {239, "Nightjar Orchestra", "Silver Ballroom", "1972", kDisco},
          {198, "Frankie Mills & The Tones", "Kiss Me Quick", "1962", kRock},
          {226, "Loretta Vance", "Rain On The Boardwalk", "1969", kSoul},
          {171, "The Marigolds", "Tell The Band", "1965", kOldies}}},
        {"New_Hit_",
         {{204, "Marla Quinn", "Glass Houses", "2026", kPop},
          {187, "Juniper Vale", "Late Train", "2026", kAlternative},
          {231, "Neon Coast", "Satellite Hearts", "2026", kDance},
          {196, "Teddy Okafor", "Slow Burn", "2026", kRnB},
          {218, "Ashgrove", "Fireflies In July", "2026", kRock},
          {179, "Kira Beaumont", "Lemonade Skies", "2026", kPop},
          {243, "Neon Coast", "Midnight Freeway", "2026", kDance},
          {207, "Paloma Reyes", "Corazon Electrico", "2026", kPop},
          {192, "The Hollow Pines", "Northern Lights", "2026", kAlternative},
          {225, "Teddy Okafor", "Gold Chain Summer", "2026", kFunk}}},
        {"Current_",
         {{211, "Marla Quinn", "Overthinking", "2025", kPop},
          {236, "Juniper Vale", "Paper Planes At Dawn", "2025", kAlternative},
          {199, "Dex Harlow", "Thunder Road Kids", "2025", kRock},
          {224, "Sunny Adebayo", "Move Like Water", "2025", kDance},
          {183, "Kira Beaumont", "Daydream Avenue", "2025", kPop},
          {258, "The Velvet Harbors", "Old Friends (Reprise)", "2025", kRock},
          {207, "Lumen Twins", "Static On The Radio", "2025", kDance},
          {229, "Harper Stone", "Heartbeat Radio", "2025", kRnB},
          {192, "Dex Harlow", "Back Seat Summer", "2025", kRock},
          {276, "Ivy & The Arcades", "Cinema Lights", "2024", kPop}}},
        {"Promo_",
         {{30, "KSTR Morning Crew", "Wake Up With The Crew", "2026", kSpeech},
          {25, "KSTR Countdown", "Top 20 Every Sunday", "2026", kSpeech},
          {20, "KSTR Traffic Desk", "Traffic On The Nines", "2026", kSpeech},
          {35, "KSTR Concerts", "Summer Stage Tickets", "2026", kSpeech},
          {15, "KSTR Night Shift", "After Dark With Nina", "2026", kSpeech},
          {30, "KSTR Weekend", "Saturday Night Mix", "2026", kSpeech},
          {25, "KSTR Contest", "Win Your Road Trip", "2026", kSpeech},
          {20, "KSTR News", "News At The Top Of The Hour", "2026", kSpeech},
          {30, "KSTR App", "Listen Anywhere", "2026", kSpeech},
          {15, "KSTR Weather", "Weather Every Fifteen", "2026", kSpeech}}},
        {"Commercial_",
         {{60, "Harbor Street Bakery", "Fresh Every Morning", "2026", kOther},
          {30, "Nordlicht Tyres", "Winter Tyre Week", "2026", kOther},
          {60, "Castle Hill Motors", "Year End Sale", "2026", kOther},
          {30, "Green Leaf Pharmacy", "Open Late", "2026", kOther},
          {45, "Riverside Cinema", "Tuesday Double Bill", "2026", kOther},
          {30, "Pixel & Pine Furniture", "Sofa Days", "2026", kOther},
          {60, "Blue Anchor Insurance", "Sleep Easy", "2026", kOther},
          {30, "Sunset Pizza", "Two For Tuesday", "2026", kOther},
          {45, "Maple Dental", "Smile Week", "2026", kOther},
          {30, "Metro Fitness", "January Special", "2026", kOther}}},
        {"PSA_",
         {{30, "City Library", "Read Together", "2026", kSpeech},
          {30, "Blood Donor Service", "Give An Hour", "2026", kSpeech},
          {25, "Fire Brigade", "Test Your Alarm", "2026", kSpeech},
          {30, "Road Safety Council", "Slow Down Near Schools", "2026", kSpeech},
          {20, "Animal Shelter", "Adopt A Friend", "2026", kSpeech},
          {30, "Food Bank", "Winter Drive", "2026", kSpeech},
          {25, "Public Health", "Wash Your Hands", "2026", kSpeech},
          {30, "Volunteer Centre", "Lend A Hand", "2026", kSpeech},
          {20, "Coast Guard", "Check The Tide", "2026", kSpeech},
          {25, "Election Office", "Register To Vote", "2026", kSpeech}}},
        {"Jingle_",
         {{10, "KSTR Imaging", "Kestrune FM Legal ID", "2026", kSoundClip},
          {12, "KSTR Singers", "More Music Sweeper", "2026", kSoundClip},
          {10, "KSTR Voice Nina Hale", "The Hits Start Here", "2026", kSoundClip},
          {15, "KSTR Imaging 2", "Top Of The Hour", "2026", kSoundClip},
          {11, "KSTR Singers 2", "Sing Along Shotgun", "2026", kSoundClip},
          {10, "KSTR Voice Tom Berg", "Non Stop Hits", "2026", kSoundClip},
          {14, "KSTR Imaging 3", "Weekend Sweeper", "2026", kSoundClip},
          {10, "KSTR Voice Ada Lin", "Your Station", "2026", kSoundClip},
          {13, "KSTR Singers 3", "Ninety Nine Point Five", "2026", kSoundClip},
          {12, "KSTR Imaging 4", "Commercial Free Hour", "2026", kSoundClip}}},
    };
    return categories;
}

// Silent frames for the length, then the tag: the reader counts the whole file at 32 kbit/s.
std::string DemoMp3(const DemoFile& file) {
    FrameFields frame;
    frame.bitRateIndex = 1;     // 32 kbit/s
    frame.sampleRateIndex = 2;  // 32000 Hz
    frame.mode = kestrune::synth::kSingleChannel;
    const std::string silent = kestrune::synth::SilentFrame(frame);
    const size_t total = static_cast<size_t>(file.seconds) * 4000;
    const size_t frames = (total - 128 + silent.size() - 1) / silent.size();
    std::string bytes;
    bytes.reserve(frames * silent.size() + 128);
    for (size_t i = 0; i < frames; ++i) bytes += silent;
    kestrune::synth::Id3v1Tag tag;
    tag.title = file.title;
    tag.artist = file.artist;
    tag.album = "Kestrune Demo";
    tag.year = file.year;
    tag.comment = "made for the Kestrune demo";
    tag.genre = static_cast<uint8_t>(file.genre);
    bytes += kestrune::synth::Id3v1Bytes(tag);
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kestrune-demo-station STATION_FOLDER TEMPLATE_FILE\n";
        return 2;
    }
    try {
        const fs::path station = argv[1];
        const fs::path mp3s = station / "Demo_MP3's";
        fs::create_directories(mp3s);
        fs::create_directories(station / "Playlists");
        fs::create_directories(station / "Sessions");
        for (const DemoCategory& category : Categories()) {
            for (size_t n = 0; n < category.files.size(); ++n) {
                WriteFile(mp3s / (category.prefix + std::to_string(n + 1) + ".mp3"),
                          DemoMp3(category.files[n]));
            }
        }
        std::ifstream in(argv[2], std::ios::binary);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[2]);
        WriteFile(
            station / "Sessions" / "master_template.cfg",
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        WriteFile(mp3s / ".complete", "");
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

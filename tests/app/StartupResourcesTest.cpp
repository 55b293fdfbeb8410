// What the program carries in its resources: the pictures as valid SVG of the right sizes and
// colours, and the start-up sound "CLOCKS" as the WAVE it must be, ticking and chiming.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace kestrune::app {
namespace {

QImage Render(const QString& resource, QSize size) {
    QSvgRenderer renderer(resource);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

struct ColourShare {
    double opaque = 0;    // of all pixels
    double matching = 0;  // of the opaque ones
};

ColourShare Share(const QImage& image, const std::function<bool(QColor)>& matches) {
    int opaque = 0, matching = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128) continue;
            ++opaque;
            if (matches(c)) ++matching;
        }
    }
    const double all = image.width() * image.height();
    return {opaque / all, opaque == 0 ? 0.0 : static_cast<double>(matching) / opaque};
}

bool Red(QColor c) {
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
bool Yellow(QColor c) {
    return c.red() > 200 && c.green() > 160 && c.blue() < 120;
}
bool Dark(QColor c) {
    return c.red() < 80 && c.green() < 80 && c.blue() < 80;
}

TEST(ResourcesPictures, EveryPictureIsAValidSvg) {
    int count = 0;
    for (const QString folder : {":/icons", ":/pictures"}) {
        QDirIterator it(folder, {"*.svg"}, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            SCOPED_TRACE(path.toStdString());
            QSvgRenderer renderer(path);
            EXPECT_TRUE(renderer.isValid());
            ++count;
        }
    }
    EXPECT_GE(count, 7);
}

TEST(ResourcesPictures, TheNavigationPicturesAndTheIconHaveTheirSizesAndAreDrawn) {
    struct Picture {
        const char* path;
        int side;
    };
    const Picture pictures[] = {
        {":/icons/hammer.svg", 32},         {":/icons/clock-calendar.svg", 32},
        {":/icons/list-lightning.svg", 32}, {":/icons/figure-hat.svg", 32},
        {":/icons/no-entry.svg", 32},       {":/icons/kestrune.svg", 48},
        {":/pictures/splash.svg", 343},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.path);
        QSvgRenderer renderer(QString(p.path));
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.defaultSize(), QSize(p.side, p.side));
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, p.side, p.side));
        const QImage image = Render(p.path, QSize(p.side, p.side));
        const ColourShare share = Share(image, [](QColor) { return true; });
        EXPECT_GT(share.opaque, 0.2) << "hardly anything drawn";
        EXPECT_LT(share.opaque, 1.0) << "no shape against the background";
    }
}

TEST(ResourcesPictures, TheNoEntrySignIsRed) {
    const ColourShare share = Share(Render(":/icons/no-entry.svg", {32, 32}), Red);
    EXPECT_GT(share.opaque, 0.6);
    EXPECT_GT(share.matching, 0.55);
}

TEST(ResourcesPictures, TheIconIsAYellowClockFaceWithADarkWedge) {
    const QImage icon = Render(":/icons/kestrune.svg", {48, 48});
    EXPECT_GT(Share(icon, Yellow).matching, 0.45);
    EXPECT_GT(Share(icon, Dark).matching, 0.1);
    // Round: the corners are empty, the middle of each edge is not.
    EXPECT_EQ(icon.pixelColor(1, 1).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(46, 46).alpha(), 0);
    EXPECT_GT(icon.pixelColor(24, 1).alpha(), 128);
    EXPECT_GT(icon.pixelColor(1, 24).alpha(), 128);
    // The wedge lies between twelve and three o'clock.
    EXPECT_TRUE(Dark(icon.pixelColor(30, 14)));
    EXPECT_FALSE(Dark(icon.pixelColor(16, 34)));
}

TEST(ResourcesPictures, TheSplashWheelIsYellowAndRound) {
    const QImage wheel = Render(":/pictures/splash.svg", {343, 343});
    EXPECT_GT(Share(wheel, Yellow).matching, 0.45);
    EXPECT_EQ(wheel.pixelColor(2, 2).alpha(), 0);
    EXPECT_EQ(wheel.pixelColor(340, 340).alpha(), 0);
}

// The sound as the program holds it.
struct Wave {
    QByteArray bytes;
    uint32_t U32(int at) const {
        return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
               static_cast<uint8_t>(bytes[at + 2]) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
    }
    uint16_t U16(int at) const {
        return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                     static_cast<uint8_t>(bytes[at + 1]) << 8);
    }
    QByteArray Tag(int at) const { return bytes.mid(at, 4); }
    std::vector<double> Samples() const {
        std::vector<double> out;
        for (int at = 44; at + 1 < bytes.size(); at += 2)
            out.push_back(static_cast<int16_t>(U16(at)) / 32768.0);
        return out;
    }
};

Wave Clocks() {
    QFile file(":/sounds/CLOCKS.wav");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return {file.readAll()};
}

constexpr int kRate = 44100;

double Peak(const std::vector<double>& s, double from, double to) {
    double peak = 0;
    for (auto i = static_cast<size_t>(from * kRate); i < static_cast<size_t>(to * kRate); ++i)
        peak = std::max(peak, std::abs(s.at(i)));
    return peak;
}

double Rms(const std::vector<double>& s, double from, double to) {
    double sum = 0;
    const auto a = static_cast<size_t>(from * kRate), b = static_cast<size_t>(to * kRate);
    for (size_t i = a; i < b; ++i) sum += s.at(i) * s.at(i);
    return std::sqrt(sum / static_cast<double>(b - a));
}

// The strength of one frequency in a stretch (Goertzel).
double Strength(const std::vector<double>& s, double from, double to, double hertz) {
    const double w = 2 * std::numbers::pi * hertz / kRate;
    double s1 = 0, s2 = 0;
    const auto a = static_cast<size_t>(from * kRate), b = static_cast<size_t>(to * kRate);
    for (size_t i = a; i < b; ++i) {
        const double s0 = s.at(i) + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2) / static_cast<double>(b - a);
}

TEST(ResourcesSound, ClocksIsARiffWaveOfMono16BitPcmAt44100) {
    const Wave wave = Clocks();
    ASSERT_EQ(wave.bytes.size(), 44 + 503010);
    EXPECT_EQ(wave.Tag(0), "RIFF");
    EXPECT_EQ(wave.U32(4), 36u + 503010u) << "RIFF size: the file less its first 8 bytes";
    EXPECT_EQ(wave.Tag(8), "WAVE");
    EXPECT_EQ(wave.Tag(12), "fmt ");
    EXPECT_EQ(wave.U32(16), 16u);
    EXPECT_EQ(wave.U16(20), 1u) << "uncompressed PCM";
    EXPECT_EQ(wave.U16(22), 1u) << "one channel";
    EXPECT_EQ(wave.U32(24), 44100u);
    EXPECT_EQ(wave.U32(28), 88200u) << "bytes per second";
    EXPECT_EQ(wave.U16(32), 2u) << "bytes per sample frame";
    EXPECT_EQ(wave.U16(34), 16u);
    EXPECT_EQ(wave.Tag(36), "data");
    EXPECT_EQ(wave.U32(40), 503010u);
}

TEST(ResourcesSound, ClocksTicksTwiceASecondInSilenceBetween) {
    const std::vector<double> s = Clocks().Samples();
    ASSERT_EQ(s.size(), 251505u);
    const double peak = Peak(s, 0, 5.7);
    EXPECT_GT(peak, 0.6) << "loud enough";
    EXPECT_LT(peak, 0.99) << "no clipping";

    // Onsets of ticks in 5 ms steps over the first 3.4 seconds.
    std::vector<double> onsets;
    bool quiet = true;
    for (double t = 0; t < 3.4; t += 0.005) {
        const double p = Peak(s, t, t + 0.005);
        if (quiet && p > 0.2) onsets.push_back(t);
        if (p > 0.2) quiet = false;
        if (p < 0.01) quiet = true;
    }
    ASSERT_GE(onsets.size(), 6u);
    for (size_t k = 1; k < onsets.size(); ++k) {
        EXPECT_NEAR(onsets[k] - onsets[k - 1], 0.5, 0.02) << "tick " << k;
        // Between two ticks the clock is silent.
        EXPECT_LT(Peak(s, onsets[k] - 0.3, onsets[k] - 0.05), 0.01) << "before tick " << k;
    }
    // Tick and tock differ.
    EXPECT_GT(Strength(s, onsets[0], onsets[0] + 0.02, 3200),
              2 * Strength(s, onsets[0], onsets[0] + 0.02, 2300));
    EXPECT_GT(Strength(s, onsets[1], onsets[1] + 0.02, 2300),
              2 * Strength(s, onsets[1], onsets[1] + 0.02, 3200));
}

TEST(ResourcesSound, ClocksEndsWithATwoNoteChimeThatFadesOut) {
    const std::vector<double> s = Clocks().Samples();
    ASSERT_EQ(s.size(), 251505u);
    // The bell rings on without a gap to the end.
    for (double t = 3.62; t < 5.4; t += 0.05)
        EXPECT_GT(Rms(s, t, t + 0.05), 0.02) << "at " << t << " s";
    // First an E, then a C below it.
    const double e5 = 659.26, c5 = 523.25;
    EXPECT_GT(Strength(s, 3.62, 4.08, e5), 5 * Strength(s, 3.62, 4.08, c5));
    EXPECT_GT(Strength(s, 4.12, 4.6, c5), 0.5 * Strength(s, 4.12, 4.6, e5));
    EXPECT_GT(Strength(s, 4.12, 4.6, c5), 5 * Strength(s, 3.62, 4.08, c5));
    // No click at the end: it fades to silence.
    EXPECT_LT(Peak(s, 5.7, 251505.0 / kRate), 0.005);
    EXPECT_LT(Peak(s, 0, 0.1), 0.001) << "begins in silence";
}

}  // namespace
}  // namespace kestrune::app

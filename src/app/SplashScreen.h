#pragma once
// The splash window of the start-up: the clock wheel picture, a few words about the program,
// the start-up sound and a timer that keeps it up for five seconds at least.

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QSoundEffect>
#include <QString>
#include <QTimer>

namespace kestrune::app {

inline constexpr int kSplashMilliseconds = 5000;
inline constexpr const char* kStartupSound = ":/sounds/CLOCKS.wav";
inline constexpr const char* kSplashPicture = ":/pictures/splash.svg";
// The help documentation travels with the program: its README in the program folder.
inline constexpr const char* kHelpAddress = "README.md beside the program";

// Starts `resource` (a WAV in the program's resources) playing and goes on at once. The sound
// belongs to the application, so it plays to its end after the splash is gone. Answers null,
// silently, when the resource is missing. Without an audio device it plays to nobody.
QSoundEffect* PlayResourceSound(const QString& resource);

// How the splash's time runs out: on its own (the program), or only when Timer1Timer is called
// (tests tick it by hand, so that no test depends on how fast the machine is).
enum class SplashTiming { Timed, ByHand };

class TSplashScreen : public QFrame {
    Q_OBJECT

public:
    explicit TSplashScreen(int milliseconds = kSplashMilliseconds,
                           const QString& soundResource = kStartupSound,
                           SplashTiming timing = SplashTiming::Timed, QWidget* parent = nullptr);

    // The splash agrees to close once its timer has ticked, never before.
    bool CloseQuery() const { return ticked_; }
    void Timer1Timer();

    QWidget* Client() const { return client_; }
    // The start-up sound, or null when there was none to play.
    QSoundEffect* Sound() const { return sound_; }
    // Milliseconds since the splash was made.
    qint64 Age() const { return created_.elapsed(); }

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QTimer Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* AddLabel(const QString& text, int x, int y, int wrapWidth);

    QElapsedTimer created_;
    QWidget* client_ = nullptr;
    QPointer<QSoundEffect> sound_;
    bool ticked_ = false;
};

}  // namespace kestrune::app

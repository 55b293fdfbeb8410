#include "SplashScreen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QSoundEffect>
#include <QSvgRenderer>
#include <QUrl>

namespace kestrune::app {

namespace {

constexpr int kClientWidth = 538;
constexpr int kClientHeight = 393;
constexpr int kFrame = 2;
constexpr int kPictureSide = 343;

// The wheel at its natural size, sharp on screens with more than one pixel per point.
QPixmap SplashPicture(qreal pixelRatio) {
    QSvgRenderer renderer(QString::fromLatin1(kSplashPicture));
    const int side = qRound(kPictureSide * pixelRatio);
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&picture);
        renderer.render(&painter);
    }
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

}  // namespace

QSoundEffect* PlayResourceSound(const QString& resource) {
    if (!QFile::exists(resource)) return nullptr;
    auto* sound = new QSoundEffect(QCoreApplication::instance());
    sound->setSource(QUrl(QStringLiteral("qrc") + resource));
    sound->play();
    return sound;
}

TSplashScreen::TSplashScreen(int milliseconds, const QString& soundResource, SplashTiming timing,
                             QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    created_.start();
    // The timer first, so that the splash's five seconds count from its creation.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(milliseconds);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    if (timing == SplashTiming::Timed) Timer1.start();
    sound_ = PlayResourceSound(soundResource);

    setWindowTitle("Kestrune");
    // A plain dark frame: it stays visible on every side against a light desktop.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(kFrame);
    QPalette framePalette = palette();
    framePalette.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    setPalette(framePalette);
    setFixedSize(kClientWidth + 2 * kFrame, kClientHeight + 2 * kFrame);

    client_ = new QWidget(this);
    client_->setGeometry(kFrame, kFrame, kClientWidth, kClientHeight);
    client_->setAutoFillBackground(true);
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    client_->setPalette(palette);

    Image1 = new QLabel(client_);
    Image1->setGeometry(0, 0, 361, 345);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(SplashPicture(devicePixelRatioF()));

    Label2 = AddLabel(
        "Automated playlist generator for format-based Internet radio station programming.", 320,
        16, 160);
    Label3 = AddLabel(
        "This program is in heavy beta mode. Your help in testing will make it better. Please "
        "run it into the ground. ",
        368, 200, 151);
    Label1 = AddLabel("Version " KESTRUNE_VERSION, 288, 320, 0);
    Label4 = AddLabel(QString("For help documentation visit ") + kHelpAddress, 16, 352, 283);

    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLabel* TSplashScreen::AddLabel(const QString& text, int x, int y, int wrapWidth) {
    auto* label = new QLabel(text, client_);
    QFont font = label->font();
    font.setPointSize(9);
    label->setFont(font);
    if (wrapWidth > 0) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(x, y, wrapWidth, label->heightForWidth(wrapWidth));
    } else {
        label->move(x, y);
        label->adjustSize();
    }
    return label;
}

void TSplashScreen::Timer1Timer() {
    Timer1.stop();
    ticked_ = true;
}

void TSplashScreen::closeEvent(QCloseEvent* event) {
    if (CloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace kestrune::app

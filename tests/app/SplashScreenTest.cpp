// The splash window: its frame and client, the picture and the four labels, the timer that
// holds it up, and the start-up sound.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>

#include "ProcessEventsUntil.h"
#include "SplashScreen.h"

namespace kestrune::app {
namespace {

bool AnyMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) != nullptr) return true;
    return false;
}

TEST(SplashScreen, HasNoTitleBarAndATwoPixelFrameRoundAWhiteClient) {
    TSplashScreen splash(testing::kGenerousMilliseconds);
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.windowType(), Qt::SplashScreen);
    EXPECT_EQ(splash.frameWidth(), 2);
    EXPECT_EQ(splash.size(), QSize(542, 397));
    EXPECT_EQ(splash.Client()->geometry(), QRect(2, 2, 538, 393));
    EXPECT_TRUE(splash.Client()->autoFillBackground());
    EXPECT_EQ(splash.Client()->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(splash.windowTitle(), "Kestrune");
}

TEST(SplashScreen, StandsInTheMiddleOfTheScreen) {
    TSplashScreen splash(testing::kGenerousMilliseconds);
    const QScreen* screen = QApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QPoint offset = splash.frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST(SplashScreen, ShowsTheWheelAtItsNaturalSizeInTheTopLeftCorner) {
    TSplashScreen splash(testing::kGenerousMilliseconds);
    EXPECT_EQ(splash.Image1->parentWidget(), splash.Client());
    EXPECT_EQ(splash.Image1->geometry(), QRect(0, 0, 361, 345));
    EXPECT_EQ(splash.Image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    const QPixmap picture = splash.Image1->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(343, 343));

    // A yellow wheel with a transparent corner round it.
    const QImage image = picture.toImage().scaled(343, 343);
    const QColor rim = image.pixelColor(171, 12);
    EXPECT_GT(rim.red(), 200);
    EXPECT_GT(rim.green(), 150);
    EXPECT_LT(rim.blue(), 140);
    EXPECT_EQ(image.pixelColor(3, 3).alpha(), 0);
}

TEST(SplashScreen, LabelsStandAtTheirPlacesWithTheirTexts) {
    TSplashScreen splash(testing::kGenerousMilliseconds);
    struct Expected {
        QLabel* label;
        QPoint place;
        int width;  // 0: as wide as its text, on one line
        QString text;
    };
    const Expected expected[] = {
        {splash.Label2,
         {320, 16},
         160,
         "Automated playlist generator for format-based Internet radio station programming."},
        {splash.Label3,
         {368, 200},
         151,
         "This program is in heavy beta mode. Your help in testing will make it better. Please "
         "run it into the ground. "},
        {splash.Label1, {288, 320}, 0, "Version 0.6.2.150"},
        {splash.Label4, {16, 352}, 283, QString("For help documentation visit ") + kHelpAddress},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text.toStdString());
        ASSERT_NE(e.label, nullptr);
        EXPECT_EQ(e.label->parentWidget(), splash.Client());
        EXPECT_EQ(e.label->text(), e.text);
        EXPECT_EQ(e.label->pos(), e.place);
        if (e.width > 0) {
            EXPECT_TRUE(e.label->wordWrap());
            EXPECT_EQ(e.label->width(), e.width);
            EXPECT_GE(e.label->height(), e.label->heightForWidth(e.width)) << "text cut off";
        } else {
            EXPECT_FALSE(e.label->wordWrap());
            EXPECT_GE(e.label->width(), e.label->sizeHint().width());
        }
        EXPECT_TRUE(splash.Client()->rect().contains(e.label->geometry()))
            << "the label runs off the splash";
    }
    EXPECT_TRUE(QString(kHelpAddress).contains("README.md"));
}

TEST(SplashScreen, ItsTimerRunsFromCreationForFiveSeconds) {
    TSplashScreen splash(kSplashMilliseconds, kStartupSound, SplashTiming::ByHand);
    EXPECT_EQ(splash.Timer1.interval(), 5000);
    EXPECT_EQ(splash.Timer1.timerType(), Qt::PreciseTimer) << "a coarse timer may tick early";
    EXPECT_FALSE(splash.Timer1.isActive()) << "ticked by hand only";
    EXPECT_FALSE(splash.CloseQuery());

    TSplashScreen timed(testing::kGenerousMilliseconds);
    EXPECT_TRUE(timed.Timer1.isActive());
    EXPECT_FALSE(timed.CloseQuery());
}

TEST(SplashScreen, RefusesToCloseUntilItsTimerTicks) {
    TSplashScreen splash(kSplashMilliseconds, kStartupSound, SplashTiming::ByHand);
    splash.show();
    EXPECT_FALSE(splash.close());
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.CloseQuery());
    QCoreApplication::processEvents();
    EXPECT_FALSE(splash.close()) << "no time passes for a splash ticked by hand";

    splash.Timer1Timer();
    EXPECT_TRUE(splash.CloseQuery());
    EXPECT_TRUE(splash.close());
    EXPECT_FALSE(splash.isVisible());
}

TEST(SplashScreen, TheRealTimersTickIsItsOnlyTick) {
    TSplashScreen splash(1);
    splash.show();
    ASSERT_TRUE(testing::ProcessEventsUntil([&] { return splash.CloseQuery(); }));
    EXPECT_GE(splash.Age(), 1);
    EXPECT_FALSE(splash.Timer1.isActive()) << "the first tick is the last";
    EXPECT_TRUE(splash.close());
    EXPECT_FALSE(splash.isVisible());
}

TEST(SplashScreen, StartsTheStartupSoundWhichOutlivesIt) {
    QPointer<QSoundEffect> sound;
    {
        TSplashScreen splash(testing::kGenerousMilliseconds);
        sound = splash.Sound();
        ASSERT_FALSE(sound.isNull());
        EXPECT_EQ(sound->source(), QUrl("qrc:/sounds/CLOCKS.wav"));
        EXPECT_EQ(sound->parent(), QCoreApplication::instance());
        EXPECT_EQ(sound->loopCount(), 1) << "played once";
    }
    // The splash is gone; the sound goes on to its end.
    ASSERT_FALSE(sound.isNull());
    EXPECT_FALSE(AnyMessageBox());
    delete sound.data();
}

TEST(SplashScreen, AMissingSoundIsSilentlyNoSound) {
    TSplashScreen splash(testing::kGenerousMilliseconds, ":/sounds/NO-SUCH-SOUND.wav");
    EXPECT_EQ(splash.Sound(), nullptr);
    EXPECT_TRUE(splash.Timer1.isActive()) << "the splash works as ever";
    EXPECT_FALSE(AnyMessageBox());
    EXPECT_EQ(PlayResourceSound(":/sounds/NO-SUCH-SOUND.wav"), nullptr);
}

}  // namespace
}  // namespace kestrune::app

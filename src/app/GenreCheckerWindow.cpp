#include "GenreCheckerWindow.h"

#include <QShowEvent>
#include <QTimer>

#include "OptionLayout.h"

namespace kestrune::app {

namespace {
constexpr int kGenreOuterWidth = 417;
constexpr int kGenreOuterHeight = 168;
}  // namespace

TfGenre::TfGenre(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Genre Checker");
    DialogGrey(this);
    move(316, 421);

    StaticText1 =
        FixedText(this,
                  "Enabling this function will force the Kestrune to try to ensure that two "
                  "consecutive songs in your playlist will not be from the same genre. This "
                  "comes in handy for Top-40-style stations.",
                  32, 16, 329, 49);
    cbGenreCheck = Placed(new QCheckBox("Genre Check On/Off", this), 112, 96);
    extraHeight_ = MakeRoomForTexts(this, {StaticText1});
    resize(kGenreOuterWidth, kGenreOuterHeight + extraHeight_);
    connect(cbGenreCheck, &QCheckBox::toggled, this, [this](bool checked) {
        if (!refreshing_) context_.session.fGenre.cbGenreCheck = checked;
    });
    Refresh();
}

void TfGenre::Refresh() {
    refreshing_ = true;
    cbGenreCheck->setChecked(context_.session.fGenre.cbGenreCheck);
    refreshing_ = false;
}

void TfGenre::FitOuterSize() {
    // The window's size counts its frame; the frame is known only once the window manager has
    // put one round the window.
    const QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) return;
    resize(kGenreOuterWidth - frame.width(), kGenreOuterHeight + extraHeight_ - frame.height());
    outerFitted_ = true;
}

void TfGenre::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (outerFitted_) return;
    FitOuterSize();
    if (!outerFitted_)
        QTimer::singleShot(100, this, [this] {
            if (!outerFitted_ &&
                size() == QSize(kGenreOuterWidth, kGenreOuterHeight + extraHeight_))
                FitOuterSize();
        });
}

}  // namespace kestrune::app

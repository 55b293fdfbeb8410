#include "LibraryWindow.h"

#include <QGridLayout>

#include "OptionLayout.h"
#include "output/FinalPlaylistFile.h"
#include "platform/KestruneError.h"
#include "tags/LibrarySettings.h"

namespace kestrune::app {

TfLibrary::TfLibrary(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Library and Output");
    DialogGrey(this);

    cbId3v1Only = new QCheckBox("Read the ID3v1 tag only (30 characters, as older versions did)", this);
    cbId3v1Only->setToolTip("Off: ID3v2, APE and the tags of FLAC, Ogg, Opus, MP4, WAV and AIFF "
                            "files are read too");
    cbMp3Only = new QCheckBox("List MP3 files only (Quick List Maker, tag lists)", this);
    cbMp3Only->setToolTip("Off: FLAC, Ogg, Opus, M4A, WAV and AIFF files are listed too");
    cbExtinf = new QCheckBox("Write #EXTINF lines (time, artist and title) into .m3u playlists",
                             this);
    btnSaveLibrary = new QPushButton("Save Settings", this);
    EnterSaves(btnSaveLibrary);

    auto* grid = SettingsGrid(this);
    int row = 0;
    grid->addWidget(new QLabel("Music library:", this), row++, 0);
    grid->addWidget(cbId3v1Only, row++, 0);
    grid->addWidget(cbMp3Only, row++, 0);
    grid->addWidget(new QLabel("Final playlists:", this), row++, 0);
    grid->addWidget(cbExtinf, row++, 0);
    grid->addWidget(btnSaveLibrary, row, 0, Qt::AlignRight);

    connect(btnSaveLibrary, &QPushButton::clicked, this, [this] { btnSaveLibraryClick(); });
}

void TfLibrary::Open() {
    const LibrarySettings library = ReadLibrarySettings(context_.settings);
    cbId3v1Only->setChecked(library.id3v1Only);
    cbMp3Only->setChecked(library.mp3Only);
    cbExtinf->setChecked(ReadOutputOptions(context_.settings).extinf);
    show();
    raise();
    activateWindow();
}

void TfLibrary::btnSaveLibraryClick() {
    context_.run([this] {
        LibrarySettings library;
        library.id3v1Only = cbId3v1Only->isChecked();
        library.mp3Only = cbMp3Only->isChecked();
        OutputOptions output = context_.session.output;
        output.extinf = cbExtinf->isChecked();
        // A failure stops here: the window stays open and nothing changes in this run.
        WriteLibrarySettings(context_.settings, library);
        WriteOutputOptions(context_.settings, output);
        context_.build.reader.library = library;
        context_.session.output = output;
        hide();
    });
}

}  // namespace kestrune::app

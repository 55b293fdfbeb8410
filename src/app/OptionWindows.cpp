#include "OptionWindows.h"

#include "OptionLayout.h"

#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QShowEvent>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

#include "FileSystemRoots.h"
#include "NumberFields.h"
#include "platform/KestruneError.h"
#include "output/FinalPlaylistFile.h"
#include "rules/RuleSettings.h"
#include "tags/LibrarySettings.h"

namespace kestrune::app {

namespace {

QString Local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}
std::string Local8(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QLabel* FixedText(QWidget* parent, const char* text, int x, int y, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(x, y, width, height);
    return label;
}

template <typename Widget>
Widget* Placed(Widget* widget, int x, int y) {
    widget->adjustSize();
    widget->move(x, y);
    return widget;
}

// The windows are laid out for a narrow font. Where the system's font needs more lines for a
// text, the text grows and everything below it moves down by as much; answers the total growth.
int MakeRoomForTexts(QWidget* window, std::initializer_list<QLabel*> texts) {
    int grown = 0;
    for (QLabel* text : texts) {
        const int needed = text->heightForWidth(text->width());
        const int more = needed - text->height();
        if (more <= 0) continue;
        const int below = text->y() + text->height();
        text->resize(text->width(), needed);
        for (QObject* child : window->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget != nullptr && widget != text && widget->y() >= below)
                widget->move(widget->x(), widget->y() + more);
        }
        grown += more;
    }
    return grown;
}

// After a box about it, the window comes back in front with the field to mend in focus.
// A separation longer than a year keeps nothing apart that a shorter one would not.
constexpr int kMostRuleHours = 8760;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Dupe checker.

TfDMCA::TfDMCA(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Check for Duplicate Artists");
    DialogGrey(this);
    move(298, 293);

    StaticText2 =
        FixedText(this,
                  "This function checks for duplicate artists when building your playlists. "
                  "It is recommended to leave this function enabled for more variety in your "
                  "playlists. It also maintains compliance with DMCA regulations.",
                  24, 17, 353, 45);
    cbDupeCheck = Placed(new QCheckBox("Dupe Checker On/Off", this), 24, 73);
    StaticText1 =
        FixedText(this,
                  "If the Dupe Checker is enabled you can specify how much of the playlist it "
                  "should scan for duplicate artists.",
                  24, 113, 353, 38);
    Label1 = Placed(new QLabel("Dupe Time (in hours):", this), 23, 169);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"1", "2", "3", "4", "5"});
    WholeNumbersOnly(ComboBox1, 4);
    // Beside its label, also when the system's font makes the label wider.
    ComboBox1->setGeometry(std::max(150, Label1->x() + Label1->width() + 4), 166, 53,
                           ComboBox1->sizeHint().height());
    setFixedSize(399, 234 + MakeRoomForTexts(this, {StaticText2, StaticText1}));

    connect(cbDupeCheck, &QCheckBox::toggled, this, [this] { cbDupeCheckClick(); });
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!refreshing_) context_.session.fDMCA.ComboBox1 = Local8(text);
    });
    Refresh();
}

void TfDMCA::cbDupeCheckClick() {
    const bool on = cbDupeCheck->isChecked();
    if (!refreshing_) context_.session.fDMCA.cbDupeCheck = on;
    // Greyed, not emptied: the hours come back as they were.
    ComboBox1->setEnabled(on);
}

void TfDMCA::Refresh() {
    const DupeCheckerOptions& options = context_.session.fDMCA;
    refreshing_ = true;
    cbDupeCheck->setChecked(options.cbDupeCheck);
    cbDupeCheckClick();
    const QString hours = Local(options.ComboBox1);
    if (ComboBox1->currentText() != hours) ComboBox1->setEditText(hours);
    refreshing_ = false;
}

// ---------------------------------------------------------------------------------------------
// Genre checker.

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

// ---------------------------------------------------------------------------------------------
// Rules.

namespace {

QComboBox* HoursBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems({"0", "1", "2", "3", "4", "6", "8", "12", "24"});
    WholeNumbersOnly(box, 4);
    box->setFixedWidth(64);
    return box;
}

}  // namespace

TfRules::TfRules(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Rules");
    DialogGrey(this);

    StaticText1 = IntroText(
        this,
        "These rules keep songs, albums and artists apart in your playlists, beside the Dupe "
        "Checker (artist) and the Genre Checker. Hours count playing time; 0 turns a rule off. "
        "When no song can keep a rule, the build names the break in the status line and the "
        "text log.");
    cbTitleHours = HoursBox(this);
    cbAlbumHours = HoursBox(this);
    cbArtistMatching = new QComboBox(this);
    cbArtistMatching->addItems({"exact", "loose"});
    cbArtistMatching->setToolTip(
        "loose: letter case and a leading \"The \" do not count, and \"A feat. B\", \"A & B\", "
        "\"A, B\" ... count as each of the artists");
    edExempt = new QLineEdit(this);
    edExempt->setPlaceholderText("demo_jingles.m3u;demo_commercials.m3u");
    cbPerformanceComplement = new QCheckBox("Performance complement (US webcasting)", this);
    cbPerformanceComplement->setToolTip(
        "In any 3 hours: at most 3 tracks of one album (2 in a row), 4 by one artist (3 in a row)");
    cbHistory = new QCheckBox("Keep the recent songs between builds (play_history.txt)", this);
    cbLeastRecent = new QCheckBox("When stuck, place the song heard longest ago", this);
    btnSaveRules = new QPushButton("Save Settings", this);
    btnSaveRules->setAutoDefault(false);

    auto* grid = SettingsGrid(this);
    int row = 0;
    grid->addWidget(StaticText1, row++, 0, 1, 2);
    grid->addWidget(new QLabel("Title separation (in hours):", this), row, 0);
    grid->addWidget(cbTitleHours, row++, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel("Album separation (in hours):", this), row, 0);
    grid->addWidget(cbAlbumHours, row++, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel("Artist matching:", this), row, 0);
    grid->addWidget(cbArtistMatching, row++, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel("Exempt playlists (file names, parted by ;):", this), row++, 0, 1,
                    2);
    grid->addWidget(edExempt, row++, 0, 1, 2);
    grid->addWidget(cbPerformanceComplement, row++, 0, 1, 2);
    grid->addWidget(cbHistory, row++, 0, 1, 2);
    grid->addWidget(cbLeastRecent, row++, 0, 1, 2);
    grid->addWidget(btnSaveRules, row, 1, Qt::AlignRight);

    connect(btnSaveRules, &QPushButton::clicked, this, [this] { btnSaveRulesClick(); });
}

void TfRules::Open() {
    const RuleSettings rules = ReadRuleSettings(context_.iniPath);
    cbTitleHours->setEditText(QString::number(rules.titleHours));
    cbAlbumHours->setEditText(QString::number(rules.albumHours));
    cbArtistMatching->setCurrentIndex(rules.artistMatching == ArtistMatching::Loose ? 1 : 0);
    edExempt->setText(Local(JoinExemptList(rules.exempt)));
    cbPerformanceComplement->setChecked(rules.performanceComplement);
    cbHistory->setChecked(rules.history);
    cbLeastRecent->setChecked(rules.relax == Relax::LeastRecent);
    show();
    raise();
    activateWindow();
}

void TfRules::btnSaveRulesClick() {
    // Each hours field holds a whole number in its range, or nothing is saved and the box says
    // which field is wrong; the window stays open in front, the field ready to be typed again.
    int hours[2] = {0, 0};
    const std::pair<QComboBox*, const char*> fields[] = {
        {cbTitleHours, "Title separation (in hours)"}, {cbAlbumHours, "Album separation (in hours)"}};
    for (int i = 0; i < 2; ++i) {
        const auto number = WholeNumberIn(fields[i].first->currentText(), 0, kMostRuleHours);
        if (!number) {
            context_.prompts.ShowMessage(NumberRangeMessage(fields[i].second, 0, kMostRuleHours));
            StayInFront(this, fields[i].first);
            return;
        }
        hours[i] = *number;
    }
    context_.run([this, &hours] {
        RuleSettings rules;
        rules.titleHours = hours[0];
        rules.albumHours = hours[1];
        rules.artistMatching =
            cbArtistMatching->currentIndex() == 1 ? ArtistMatching::Loose : ArtistMatching::Exact;
        rules.exempt = SplitExemptList(Local8(edExempt->text()));
        rules.performanceComplement = cbPerformanceComplement->isChecked();
        rules.history = cbHistory->isChecked();
        rules.relax = cbLeastRecent->isChecked() ? Relax::LeastRecent : Relax::Off;
        // A failure stops here: the window stays open with what was typed.
        WriteRuleSettings(context_.iniPath, rules);
        context_.build.rules = rules;  // in force from the next build on
        hide();
    });
    if (isVisible()) StayInFront(this, btnSaveRules);
}

// ---------------------------------------------------------------------------------------------
// Library and output.

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
    btnSaveLibrary->setAutoDefault(false);

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
    const LibrarySettings library = ReadLibrarySettings(context_.iniPath);
    cbId3v1Only->setChecked(library.id3v1Only);
    cbMp3Only->setChecked(library.mp3Only);
    cbExtinf->setChecked(ReadOutputOptions(context_.iniPath).extinf);
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
        WriteLibrarySettings(context_.iniPath, library);
        WriteOutputOptions(context_.iniPath, output);
        SetLibrarySettings(library);
        context_.session.output = output;
        hide();
    });
}

// ---------------------------------------------------------------------------------------------
// Directories.

TfDirectories::TfDirectories(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("fDirectories");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    DialogGrey(this);

    DriveComboBox1 = new QComboBox(this);
    DirectoryListBox1 = new QTreeView(this);
    folders_ = new QFileSystemModel(this);
    // Folders only; the model reads a folder when it is opened, so big trees stay quick.
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    DirectoryListBox1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    DirectoryListBox1->setMinimumSize(220, 280);

    StaticText1 = new QLabel(
        "Navigate to a directory. When you find the one you would like to use to store your "
        "playlists, hit the SELECT button next to \"Playlists Directory.\" Then nevaigate to the "
        "directory you would like to store your templates and click the SELECT button.",
        this);
    StaticText1->setWordWrap(true);
    StaticText1->setFixedWidth(320);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setMargin(4);
    btnSelectPlaylistDir = new QPushButton("Select ------>", this);
    Label1 = new QLabel("Playlists Directory", this);
    edPlaylists = new QLineEdit(this);
    btnSelectSessionDir = new QPushButton("Select ------>", this);
    Label2 = new QLabel("Sessions Directory", this);
    edSessions = new QLineEdit(this);
    btnSaveConfig = new QPushButton("Save Settings", this);
    for (QPushButton* button : {btnSelectPlaylistDir, btnSelectSessionDir, btnSaveConfig})
        button->setAutoDefault(false);
    edPlaylists->setMinimumWidth(210);
    edSessions->setMinimumWidth(210);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);  // a fixed-size window
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->addWidget(DriveComboBox1, 0, 0);
    grid->addWidget(DirectoryListBox1, 1, 0, 7, 1);
    grid->addWidget(StaticText1, 0, 1, 2, 2, Qt::AlignTop);
    grid->addWidget(Label1, 2, 2, Qt::AlignBottom);
    grid->addWidget(btnSelectPlaylistDir, 3, 1);
    grid->addWidget(edPlaylists, 3, 2);
    grid->addWidget(Label2, 4, 2, Qt::AlignBottom);
    grid->addWidget(btnSelectSessionDir, 5, 1);
    grid->addWidget(edSessions, 5, 2);
    grid->setRowStretch(6, 1);
    grid->addWidget(btnSaveConfig, 7, 2, Qt::AlignRight | Qt::AlignBottom);

    const QString start = Local(context_.folders.start);
    FillDrivePicker(DriveComboBox1, start.isEmpty() ? QString("/") : start);
    ShowDrive(DriveComboBox1->currentText(), start);

    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { DriveComboBox1Change(); });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) openFolder_ = folders_->filePath(current);
            });
    connect(btnSelectPlaylistDir, &QPushButton::clicked, this,
            [this] { btnSelectPlaylistDirClick(); });
    connect(btnSelectSessionDir, &QPushButton::clicked, this,
            [this] { btnSelectSessionDirClick(); });
    connect(btnSaveConfig, &QPushButton::clicked, this, [this] { btnSaveConfigClick(); });
}

void TfDirectories::ShowDrive(const QString& root, const QString& folder) {
    folders_->setRootPath(root);
    DirectoryListBox1->setRootIndex(folders_->index(root));
    openFolder_ = root;
    if (!folder.isEmpty() && RootOf(FileSystemRoots(), folder) == root) OpenFolder(folder);
}

void TfDirectories::OpenFolder(const QString& folder) {
    const QModelIndex index = folders_->index(folder);
    if (!index.isValid()) return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        DirectoryListBox1->expand(up);
    DirectoryListBox1->setCurrentIndex(index);
    DirectoryListBox1->scrollTo(index);
    openFolder_ = folders_->filePath(index);
}

void TfDirectories::DriveComboBox1Change() {
    // No drive keeps a current folder here: the start folder when it is on the chosen drive,
    // else the drive's root.
    ShowDrive(DriveComboBox1->currentText(), Local(context_.folders.start));
}

void TfDirectories::btnSelectPlaylistDirClick() {
    edPlaylists->setText(openFolder_);
}

void TfDirectories::btnSelectSessionDirClick() {
    edSessions->setText(openFolder_);
}

void TfDirectories::btnSaveConfigClick() {
    context_.run([this] {
        const std::string playlists = Local8(edPlaylists->text());
        const std::string sessions = Local8(edSessions->text());
        // A failure stops here: the window stays open and the folders keep their old values.
        WriteConfig(context_.iniPath, playlists, sessions);
        context_.folders.playlists = playlists;
        context_.sdSavePlaylist.initialFolder = playlists;
        context_.folders.sessions = sessions;
        context_.sdSaveSessions.initialFolder = sessions;
        hide();
    });
}

void TfDirectories::Open() {
    const ConfigValues stored = ReadConfig(context_.iniPath, context_.folders.start);
    edPlaylists->setText(Local(stored.playlistsdir));
    edSessions->setText(Local(stored.sessionsdir));
    show();
    raise();
    activateWindow();
}

}  // namespace kestrune::app

#include "RulesWindow.h"

#include <QGridLayout>

#include "NumberFields.h"
#include "OptionLayout.h"
#include "building/CategoryRounds.h"
#include "platform/KestruneError.h"
#include "rules/RuleSettings.h"
#include "rules/WindowsThatHold.h"

namespace kestrune::app {

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
        "text log; a rule that never breaks passes the slot over instead, and names it.");
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
    const char* const mustCaptions[] = {"Artist", "Title", "Album", "Complement", "Genre",
                                        "Fresh hours"};
    for (size_t i = 0; i < cbMust.size(); ++i) {
        cbMust[i] = new QCheckBox(mustCaptions[i], this);
        cbMust[i]->setToolTip("Never break this rule: where no song keeps it, the slot is passed "
                              "over and named");
    }
    btnSaveRules = new QPushButton("Save Settings", this);
    EnterSaves(btnSaveRules);

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
    grid->addWidget(new QLabel("Rules that never break (must):", this), row++, 0, 1, 2);
    auto* must = new QGridLayout();
    for (size_t i = 0; i < cbMust.size(); ++i)
        must->addWidget(cbMust[i], static_cast<int>(i / 3), static_cast<int>(i % 3));
    grid->addLayout(must, row++, 0, 1, 2);
    grid->addWidget(btnSaveRules, row, 1, Qt::AlignRight);

    connect(btnSaveRules, &QPushButton::clicked, this, [this] { btnSaveRulesClick(); });
}

void TfRules::Open() {
    const RuleSettings rules = ReadRuleSettings(context_.settings);
    cbTitleHours->setEditText(QString::number(rules.titleHours));
    cbAlbumHours->setEditText(QString::number(rules.albumHours));
    cbArtistMatching->setCurrentIndex(rules.artistMatching == ArtistMatching::Loose ? 1 : 0);
    edExempt->setText(Local(JoinExemptList(rules.exempt)));
    cbPerformanceComplement->setChecked(rules.performanceComplement);
    cbHistory->setChecked(rules.history);
    cbLeastRecent->setChecked(rules.relax == Relax::LeastRecent);
    for (size_t i = 0; i < cbMust.size(); ++i)
        cbMust[i]->setChecked(rules.IsMust(static_cast<Rule>(i)));
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
        for (size_t i = 0; i < cbMust.size(); ++i)
            if (cbMust[i]->isChecked()) rules.must.push_back(static_cast<Rule>(i));
        // A failure stops here: the window stays open with what was typed.
        WriteRuleSettings(context_.settings, rules);
        context_.build.rules = rules;  // in force from the next build on
        hide();
        // Saved all the same: the operator learns which category is too small for a window.
        // The songs read for the clock's pace ask nothing: one that cannot be read is left out.
        ReaderSetup quiet = context_.build.reader;
        quiet.askOnError = nullptr;
        SongFactsCache songs(quiet);
        const std::vector<CategoryRound> rounds = CategoryRoundsOf(context_.session, &songs);
        const std::vector<std::string> cannot =
            WindowsThatCannotHold(rules, rounds, PassSeconds(rounds));
        std::string text;
        for (const std::string& line : cannot) text += (text.empty() ? "" : "\n") + line;
        if (!text.empty()) context_.prompts.ShowMessage(text);
    });
    if (isVisible()) StayInFront(this, btnSaveRules);
}

}  // namespace kestrune::app

#include "OnAirPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QDate>
#include <QDateTime>
#include <QVBoxLayout>

#include <exception>

#include "LocalText.h"
#include "onair/RoyaltyReport.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"

namespace kestrune::app {

namespace {

CalendarDate DateOf(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QString Plural(int count, const char* word) {
    return QString("%1 %2%3").arg(count).arg(word).arg(count == 1 ? "" : "s");
}

QString TotalsOf(const QDate& day, const AirDays& days) {
    const AirTotals& t = days.totals;
    if (t.hours == 0) return day.toString("ddd yyyy-MM-dd") + ": nothing planned and nothing aired";
    return day.toString("ddd yyyy-MM-dd") + ": " + Plural(t.hours, "hour") +
           QString(", %1 planned, %2 aired; %3 never aired, %4 not planned, %5 early or late")
               .arg(t.planned)
               .arg(t.aired)
               .arg(t.neverAired)
               .arg(t.notPlanned)
               .arg(t.late) +
           (t.stillPlanned > 0 ? QString(", %1 still planned").arg(t.stillPlanned) : QString()) +
           (t.Matched() ? QString(": the air matched the plan") : QString());
}

struct ReportChoice {
    const char* button;
    ReportFormat format;
    const char* filter;
    const char* extension;
    const char* name;
};
constexpr ReportChoice kReports[] = {
    {"SoundExchange", ReportFormat::SoundExchange, "SoundExchange report of use|*.txt", "txt",
     "soundexchange"},
    {"CSV of Every Play", ReportFormat::Csv, "Plays as CSV|*.csv", "csv", "plays"},
};

}  // namespace

OnAirPage::OnAirPage(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context), accessLogs_{kIcecastAccessLog} {
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("On Air: each hour's plan beside what aired", this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* dayRow = new QHBoxLayout();
    auto* dayLabel = new QLabel("&Day:", this);
    dayEdit_ = new QDateEdit(QDate::currentDate(), this);
    dayEdit_->setCalendarPopup(true);
    dayEdit_->setDisplayFormat("ddd yyyy-MM-dd");
    dayLabel->setBuddy(dayEdit_);
    auto* previous = new QPushButton("< Day Before", this);
    auto* next = new QPushButton("Day After >", this);
    auto* lateLabel = new QLabel("&Early or late by more than:", this);
    lateSeconds_ = new QSpinBox(this);
    lateSeconds_->setRange(0, 3600);
    lateSeconds_->setValue(10);
    lateSeconds_->setSuffix(" s");
    lateSeconds_->setToolTip(
        "An item that starts further than this from its planned start is marked early or late");
    lateLabel->setBuddy(lateSeconds_);
    auto* again = new QPushButton("Read &Again", this);
    again->setToolTip("Read the hours' playlists and the as-played log again");
    dayRow->addWidget(dayLabel);
    dayRow->addWidget(dayEdit_);
    dayRow->addWidget(previous);
    dayRow->addWidget(next);
    dayRow->addSpacing(12);
    dayRow->addWidget(lateLabel);
    dayRow->addWidget(lateSeconds_);
    dayRow->addStretch(1);
    dayRow->addWidget(again);
    layout->addLayout(dayRow);
    filesLabel_ = new QLabel(this);
    filesLabel_->setWordWrap(true);
    layout->addWidget(filesLabel_);

    model_ = new OnAirModel(this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    QHeaderView& columns = *table_->horizontalHeader();
    columns.setSectionResizeMode(QHeaderView::ResizeToContents);
    columns.setSectionResizeMode(OnAirModel::Planned, QHeaderView::Stretch);
    columns.setSectionResizeMode(OnAirModel::Aired, QHeaderView::Stretch);
    layout->addWidget(table_, 1);
    totalsLabel_ = new QLabel(this);
    totalsLabel_->setWordWrap(true);
    layout->addWidget(totalsLabel_);

    auto* reportRow = new QHBoxLayout();
    auto* fromLabel = new QLabel("Royalty report &from:", this);
    const QDate today = QDate::currentDate();
    reportFrom_ = new QDateEdit(QDate(today.year(), today.month(), 1), this);
    reportTo_ = new QDateEdit(today, this);
    for (QDateEdit* edit : {reportFrom_, reportTo_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat("yyyy-MM-dd");
    }
    fromLabel->setBuddy(reportFrom_);
    reportButton_ = new QPushButton("Write &Report...", this);
    reportButton_->setToolTip(
        "SoundExchange's report of use (one row per recording, performances = plays x "
        "listeners) or a CSV of every play, from the as-played log and Icecast's access log");
    reportRow->addWidget(fromLabel);
    reportRow->addWidget(reportFrom_);
    reportRow->addWidget(new QLabel("to", this));
    reportRow->addWidget(reportTo_);
    auto* serviceLabel = new QLabel("for the service", this);
    serviceName_ = new QLineEdit(Local(ReportServiceName(context_.settings)), this);
    serviceName_->setToolTip("The name of your service (station) in the SoundExchange report; "
                             "kept as [Report] service in kestrune.ini");
    serviceName_->setMinimumWidth(140);
    serviceLabel->setBuddy(serviceName_);
    reportRow->addWidget(serviceLabel);
    reportRow->addWidget(serviceName_);
    auto* categoryLabel = new QLabel("category", this);
    categoryCode_ = new QLineEdit(Local(ReportTransmissionCategory(context_.settings)), this);
    categoryCode_->setToolTip("Your SoundExchange transmission category (A: eligible "
                              "nonsubscription transmissions); kept as [Report] category in "
                              "kestrune.ini");
    categoryCode_->setMaximumWidth(40);
    categoryLabel->setBuddy(categoryCode_);
    reportRow->addWidget(categoryLabel);
    reportRow->addWidget(categoryCode_);
    reportRow->addWidget(reportButton_);
    reportRow->addStretch(1);
    layout->addLayout(reportRow);

    connect(dayEdit_, &QDateEdit::dateChanged, this, [this] { ReadAgain(); });
    connect(previous, &QPushButton::clicked, this, [this] { ShowDay(Day().addDays(-1)); });
    connect(next, &QPushButton::clicked, this, [this] { ShowDay(Day().addDays(1)); });
    connect(lateSeconds_, &QSpinBox::valueChanged, this, [this] { ReadAgain(); });
    connect(again, &QPushButton::clicked, this, [this] { ReadAgain(); });
    connect(reportButton_, &QPushButton::clicked, this, [this] { WriteReport(); });
}

void OnAirPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ReadAgain();  // the log grows while the program runs
}

void OnAirPage::ShowDay(const QDate& day) {
    if (day == Day()) {
        ReadAgain();
    } else {
        dayEdit_->setDate(day);  // reads through dateChanged
    }
}

void OnAirPage::ReadAgain() {
    AirDaysRequest request;
    request.logPath = AsPlayedLogPath(context_.folders.sessions);
    request.pattern = OnAirPlaylistPattern(context_.folders.playlists);
    request.from = request.to = DateOf(Day());
    request.lateMs = int64_t{lateSeconds_->value()} * 1000;
    request.missingLogIsEmpty = true;
    QString files = "Playlists " + Local(request.pattern) + ", as-played log " +
                    Local(request.logPath);
    AirDays days;
    try {
        days = ReadAirDays(request);
    } catch (const std::exception& error) {
        model_->SetHours({});
        filesLabel_->setText(files);
        totalsLabel_->setText("Cannot show the day: " + Local(error.what()));
        return;
    }
    if (!days.logFound) files += " (not there yet: nothing has aired, or the playout writes elsewhere)";
    // Where the log stops, items are planned, not missed: say where, so a stopped playout shows.
    if (days.totals.stillPlanned > 0 && days.logReachesMs)
        files += " (its last entry " +
                 QDateTime::fromMSecsSinceEpoch(*days.logReachesMs).toString("ddd yyyy-MM-dd HH:mm:ss") +
                 ")";
    if (days.unreadLogLines > 0)
        files += " (" + Plural(days.unreadLogLines, "line") + " of the log not read)";
    filesLabel_->setText(files);
    totalsLabel_->setText(TotalsOf(Day(), days));
    model_->SetHours(std::move(days.hours));
    // An hour's heading names its playlist across the planned item and its time.
    table_->clearSpans();
    for (int row = 0; row < model_->rowCount(); ++row)
        if (model_->IsHeading(row)) table_->setSpan(row, OnAirModel::Planned, 1, 2);
    // Today opens at the hour on air.
    if (Day() == QDate::currentDate()) {
        const int row = model_->HeadingRowAt(UtcNowMs());
        if (row >= 0) table_->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtTop);
    }
}

void OnAirPage::WriteReport() {
    context_.run([this] {
        const QDate from = reportFrom_->date(), to = reportTo_->date();
        if (to < from) throw KestruneError("The report's last day comes before its first day");
        const std::string days = DateText(DateOf(from)) + " to " + DateText(DateOf(to));
        const int chosen = context_.prompts.AskChoice(
            "Which report of the plays from " + days + "?",
            {kReports[0].button, kReports[1].button, "Cancel"});
        if (chosen < 0 || chosen > 1) return;
        const ReportChoice& report = kReports[chosen];
        const std::optional<std::string> output = context_.prompts.AskSaveFileName(SaveQuestion{
            "Write Report", report.filter, report.extension, context_.folders.sessions,
            std::string(report.name) + "_" + DateText(DateOf(from)) + "_" +
                DateText(DateOf(to)) + "." + report.extension});
        if (!output) return;

        RoyaltyReportRequest request;
        request.from = DateOf(from);
        request.to = DateOf(to);
        request.format = report.format;
        request.output = *output;
        request.asPlayedLog = AsPlayedLogPath(context_.folders.sessions);
        if (accessLogs_.empty() || !FileExists(accessLogs_.front())) {
            const std::vector<std::string> found = context_.prompts.AskOpenFileNames(OpenQuestion{
                "Icecast access logs|access.log*", "log",
                accessLogs_.empty() ? std::string() : ExtractFilePath(accessLogs_.front()),
                "access.log", true});
            if (found.empty()) return;
            accessLogs_ = found;
        }
        request.accessLogs = accessLogs_;
        request.exempt = context_.build.rules.exempt;
        request.playlistsFolder = context_.folders.playlists;
        // The name as typed is the one kept for the next report, and the tool's.
        const std::string service = serviceName_->text().trimmed().toStdString();
        if (!service.empty() && service != ReportServiceName(context_.settings))
            WriteReportServiceName(context_.settings, service);
        request.service = ReportServiceName(context_.settings);
        const std::string category = categoryCode_->text().trimmed().toStdString();
        if (!category.empty() && category != ReportTransmissionCategory(context_.settings))
            WriteReportTransmissionCategory(context_.settings, category);
        request.category = ReportTransmissionCategory(context_.settings);
        request.progress = [this](size_t done, size_t total) {
            if (done % 25 == 0 || done == total)
                context_.view.ShowStatus("Reading the aired files: " + std::to_string(done) +
                                         " of " + std::to_string(total));
        };
        const ReportSummary summary = WriteRoyaltyReport(request, context_.build.reader);
        std::string said = *output + ": " + Plural(summary.rows, "row").toStdString() + ", " +
                           Plural(summary.plays, "play").toStdString() + ", " +
                           std::to_string(summary.performances) + " performances";
        if (summary.filesGone > 0)
            said += "; " + Plural(summary.filesGone, "aired file").toStdString() +
                    " no longer there (artist and title from the log)";
        for (const std::string& list : summary.missingExemptLists)
            said += "; exempt playlist " + list + " cannot be read, its songs are in the report";
        context_.view.ShowStatus(said);
    });
}

}  // namespace kestrune::app

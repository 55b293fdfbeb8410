#include "RotationPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <exception>

#include "LocalText.h"
#include "onair/RotationText.h"
#include "sessions/StationRotation.h"

namespace kestrune::app {

namespace {

CalendarDate DateOf(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QString RulesLine(const RotationFigures& figures) {
    if (figures.rules.empty()) return "No rule is on.";
    QStringList parts;
    for (const RulePassRate& rate : figures.rules) {
        const int plays = rate.kept + rate.broken;
        parts << Local(RuleName(rate.rule)) + " " +
                     (plays == 0 ? QString("no counted play")
                                 : QString("%1% (%2 of %3)")
                                       .arg(100.0 * rate.kept / plays, 0, 'f', 1)
                                       .arg(rate.kept)
                                       .arg(plays));
    }
    return "Rules kept: " + parts.join(", ");
}

}  // namespace

RotationPage::RotationPage(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("Rotation: how each category's songs take their turns", this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* row = new QHBoxLayout();
    auto* fromLabel = new QLabel("&From:", this);
    const QDate today = QDate::currentDate();
    from_ = new QDateEdit(today.addDays(-6), this);
    to_ = new QDateEdit(today, this);
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat("ddd yyyy-MM-dd");
    }
    fromLabel->setBuddy(from_);
    auto* toLabel = new QLabel("&to:", this);
    toLabel->setBuddy(to_);
    auto* before = new QPushButton("< Week Before", this);
    auto* after = new QPushButton("Week After >", this);
    auto* again = new QPushButton("Read &Again", this);
    again->setToolTip("Read the play history, the as-played log and the categories again");
    row->addWidget(fromLabel);
    row->addWidget(from_);
    row->addWidget(toLabel);
    row->addWidget(to_);
    row->addWidget(before);
    row->addWidget(after);
    row->addStretch(1);
    row->addWidget(again);
    layout->addLayout(row);

    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    chart_ = new RotationChart(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(chart_);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);
    auto* legend = new QLabel(
        "Blue: each song's plays, most played first; dashed: the even share (every song as "
        "often); orange: the hours of the day a song reached before it played in one again "
        "(full height 24); red: never played.",
        this);
    legend->setWordWrap(true);
    layout->addWidget(legend);
    rules_ = new QLabel(this);
    rules_->setWordWrap(true);
    layout->addWidget(rules_);

    connect(from_, &QDateEdit::dateChanged, this, [this] { ReadAgain(); });
    connect(to_, &QDateEdit::dateChanged, this, [this] { ReadAgain(); });
    connect(before, &QPushButton::clicked, this,
            [this] { ShowDays(From().date().addDays(-7), To().date().addDays(-7)); });
    connect(after, &QPushButton::clicked, this,
            [this] { ShowDays(From().date().addDays(7), To().date().addDays(7)); });
    connect(again, &QPushButton::clicked, this, [this] { ReadAgain(); });
}

void RotationPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ReadAgain();  // the history grows with every build
}

void RotationPage::ShowDays(const QDate& from, const QDate& to) {
    reading_ = true;
    from_->setDate(from);
    to_->setDate(to);
    reading_ = false;
    ReadAgain();
}

void RotationPage::ReadAgain() {
    if (reading_) return;
    if (to_->date() < from_->date()) {
        chart_->SetFigures({});
        summary_->setText("The last day comes before the first.");
        rules_->clear();
        return;
    }
    RotationRequest request;
    request.from = DateOf(from_->date());
    request.to = DateOf(to_->date());
    request.startFolder = context_.folders.start;
    request.sessionsFolder = context_.folders.sessions;
    request.rules = context_.build.rules;
    request.rotation = context_.build.rotation;
    StationRotation rotation;
    try {
        rotation = ReadStationRotation(request, context_.build.reader);
    } catch (const std::exception& error) {
        chart_->SetFigures({});
        summary_->setText("Cannot show the rotation: " + Local(error.what()));
        rules_->clear();
        return;
    }
    const RotationFigures& f = rotation.figures;
    QString summary = QString("%1 hours, %2 with plays, %3 plays.")
                          .arg(f.spanHours)
                          .arg(f.hours)
                          .arg(f.plays);
    for (const std::string& problem : rotation.problems) summary += " " + Local(problem) + ".";
    summary_->setText(summary);
    rules_->setText(RulesLine(f));
    chart_->SetFigures(rotation.figures);
}

}  // namespace kestrune::app

#pragma once
// The Rotation page: for a span of days, how each category's songs took their turns, drawn from
// the play history (following the as-played log where it covers an hour), and how often each
// rule held. It only reads the station's files.

#include <QDateEdit>
#include <QLabel>
#include <QWidget>

#include "AppContext.h"
#include "RotationChart.h"

namespace kestrune::app {

class RotationPage : public QWidget {
    Q_OBJECT

public:
    explicit RotationPage(AppContext& context, QWidget* parent = nullptr);

    // Shows the days from `from` to `to` (read again from the files).
    void ShowDays(const QDate& from, const QDate& to);
    void ReadAgain();

    QDateEdit& From() { return *from_; }
    QDateEdit& To() { return *to_; }
    RotationChart& Chart() { return *chart_; }
    QString SummaryText() const { return summary_->text(); }
    QString RulesText() const { return rules_->text(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& context_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QLabel* summary_ = nullptr;
    RotationChart* chart_ = nullptr;
    QLabel* rules_ = nullptr;
    bool reading_ = false;  // both dates set at once read once
};

}  // namespace kestrune::app

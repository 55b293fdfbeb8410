#pragma once
// The On Air page: for a chosen day, each hour's plan beside what the as-played log says aired,
// the differences marked, the day's totals, and the royalty report written from the same log.
// It only reads the station's files; nothing here needs the playout to run.

#include <QDateEdit>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

#include "AppContext.h"
#include "OnAirModel.h"

namespace kestrune::app {

class OnAirPage : public QWidget {
    Q_OBJECT

public:
    explicit OnAirPage(AppContext& context, QWidget* parent = nullptr);

    // Shows a day (read again from the files).
    void ShowDay(const QDate& day);
    // Reads the playlists and the as-played log again for the day shown.
    void ReadAgain();
    // Asks for the format and the file, then writes the report of the report's days.
    void WriteReport();

    QDate Day() const { return dayEdit_->date(); }
    QTableView& Table() { return *table_; }
    OnAirModel& Model() { return *model_; }
    QString TotalsText() const { return totalsLabel_->text(); }
    QString FilesText() const { return filesLabel_->text(); }
    QDateEdit& ReportFrom() { return *reportFrom_; }
    QDateEdit& ReportTo() { return *reportTo_; }
    QLineEdit& ServiceName() { return *serviceName_; }
    QLineEdit& CategoryCode() { return *categoryCode_; }
    QSpinBox& LateSeconds() { return *lateSeconds_; }
    QPushButton& ReportButton() { return *reportButton_; }
    // Icecast's access logs, where the report's listeners come from: Debian's until others are
    // chosen (the report asks when the first is not there); a rotated log adds its listeners.
    const std::vector<std::string>& AccessLogs() const { return accessLogs_; }
    void SetAccessLogs(std::vector<std::string> paths) { accessLogs_ = std::move(paths); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& context_;
    OnAirModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QDateEdit* dayEdit_ = nullptr;
    QSpinBox* lateSeconds_ = nullptr;
    QLabel* filesLabel_ = nullptr;
    QLabel* totalsLabel_ = nullptr;
    QDateEdit* reportFrom_ = nullptr;
    QDateEdit* reportTo_ = nullptr;
    QLineEdit* serviceName_ = nullptr;
    QLineEdit* categoryCode_ = nullptr;
    QPushButton* reportButton_ = nullptr;
    std::vector<std::string> accessLogs_;
};

}  // namespace kestrune::app

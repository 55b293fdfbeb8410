#pragma once
// The scheduling page: the sessions of the daily unattended run, the hour it starts at, and
// the commands that start, stop and run it.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "AppContext.h"

namespace kestrune::app {

class SchedulingPage : public QWidget {
    Q_OBJECT

public:
    explicit SchedulingPage(AppContext& context, QWidget* parent = nullptr);
    void Refresh();
    void SelectScheduleEntry(int index);

    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void btRunScheduleNowClick();
    void btAutoSchedule_StartClick();
    void btAutoSchedule_StopClick();

    QLabel* Label1 = nullptr;
    QListWidget* lbSchedule = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* btRunScheduleNow = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* btAutoSchedule_Start = nullptr;
    QPushButton* btAutoSchedule_Stop = nullptr;
    QLabel* AutoScheduleState = nullptr;  // stopped, or running and when it runs next

private:
    AppContext& context_;
};

}  // namespace kestrune::app

#include "SchedulingPage.h"

namespace kestrune::app {

SchedulingPage::SchedulingPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

}  // namespace kestrune::app
namespace kestrune::app {
void SchedulingPage::Refresh() {}
void SchedulingPage::SelectScheduleEntry(int) {}
}  // namespace kestrune::app

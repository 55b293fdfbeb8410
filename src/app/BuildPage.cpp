#include "BuildPage.h"

namespace kestrune::app {

BuildPage::BuildPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

}  // namespace kestrune::app
namespace kestrune::app {
void BuildPage::Refresh() {}
void BuildPage::RefreshList(ShownList) {}
void BuildPage::SelectMasterPlaylist(int) {}
void BuildPage::SelectTemplateSlot(int) {}
}  // namespace kestrune::app

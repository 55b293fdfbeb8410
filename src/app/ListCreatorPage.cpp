#include "ListCreatorPage.h"

namespace kestrune::app {

ListCreatorPage::ListCreatorPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

}  // namespace kestrune::app

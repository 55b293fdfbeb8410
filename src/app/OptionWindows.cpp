#include "OptionWindows.h"

namespace kestrune::app {

TfDMCA::TfDMCA(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {}
void TfDMCA::Refresh() {}
TfGenre::TfGenre(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {}
void TfGenre::Refresh() {}
TfDirectories::TfDirectories(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {}
void TfDirectories::Open() {}

}  // namespace kestrune::app

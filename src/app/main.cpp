#include <QApplication>

#include "MainForm.h"
#include "OptionWindows.h"
#include "platform/Files.h"
#include "sessions/StationConfig.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kestrune");
    using namespace kestrune;
    app::TfMainForm form(CurrentDirectory(), ConfigFilePath(ExecutablePath()));
    app::TfDMCA dupe(form.Context());
    app::TfGenre genre(form.Context());
    app::TfDirectories directories(form.Context());
    form.AttachOptionWindows(&dupe, &genre, &directories);
    form.show();
    return application.exec();
}

#pragma once
// The look the pages share: their pale panels, grey lists, buttons that grow with the system's
// font, and meters.

#include <QFont>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <initializer_list>

namespace kestrune::app {

// A pane in the pages' pale yellow.
QWidget* Panel(QWidget* parent);
// A list of one-line entries on light grey; paths show by their file name.
QListWidget* BigList(QWidget* parent, const char* hint);
// A button of the given size, or larger when the system's font needs more room for its caption.
QPushButton* Button(QWidget* parent, const char* caption, const char* hint, int width, int height);
// The buttons of one column share the width of the widest.
void SameWidth(std::initializer_list<QPushButton*> buttons);
// A progress meter that fills continuously in every style.
QProgressBar* Meter(QWidget* parent);
// The small font of captions over lists and meters.
QFont SmallFont(const QFont& base);

}  // namespace kestrune::app

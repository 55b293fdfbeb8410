#pragma once
// What the option windows share: their grey, their life beside the main window, the text that
// opens them and the grid their fields stand in.

#include <QGridLayout>
#include <QLabel>
#include <QWidget>

namespace kestrune::app {

// The plain grey of a dialog, whatever the main window's colours are.
void DialogGrey(QWidget* window);
// The option windows live for the whole run but must not keep the program going once the main
// window has closed.
void Secondary(QWidget* window);
// Brings the window to the front with the field selected, for the user to mend it.
void StayInFront(QWidget* window, QWidget* field);
// The wrapped text at the top of a settings window.
QLabel* IntroText(QWidget* window, const char* text);
// The fixed-size grid of a settings window's fields.
QGridLayout* SettingsGrid(QWidget* window);

}  // namespace kestrune::app

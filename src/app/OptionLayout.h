#pragma once
// What the option windows share: their grey, their life beside the main window, the text that
// opens them and the grid their fields stand in.

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "LocalText.h"

#include <initializer_list>
#include <string>

namespace kestrune::app {

// The plain grey of a dialog, whatever the main window's colours are.
void DialogGrey(QWidget* window);
// The option windows live for the whole run but must not keep the program going once the main
// window has closed.
void Secondary(QWidget* window);
// Brings the window to the front with the field selected, for the user to mend it.
void StayInFront(QWidget* window, QWidget* field);
// Enter anywhere in a settings window presses its save button (Esc, as in every dialog, closes
// it unsaved: the next opening shows what is stored).
void EnterSaves(QPushButton* save);
// The wrapped text at the top of a settings window.
QLabel* IntroText(QWidget* window, const char* text);
// The fixed-size grid of a settings window's fields.
QGridLayout* SettingsGrid(QWidget* window);

// A wrapped label at a fixed place, as the windows of the classic layout have them.
QLabel* FixedText(QWidget* parent, const char* text, int x, int y, int width, int height);
template <typename Widget>
Widget* Placed(Widget* widget, int x, int y) {
    widget->adjustSize();
    widget->move(x, y);
    return widget;
}
// The windows are laid out for a narrow font. Where the system's font needs more lines for a
// text, the text grows and everything below it moves down by as much; answers the total growth.
int MakeRoomForTexts(QWidget* window, std::initializer_list<QLabel*> texts);

}  // namespace kestrune::app

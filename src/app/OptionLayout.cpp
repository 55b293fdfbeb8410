#include "OptionLayout.h"

#include <QComboBox>
#include <QLineEdit>

namespace kestrune::app {

void DialogGrey(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void Secondary(QWidget* window) { window->setAttribute(Qt::WA_QuitOnClose, false); }

void StayInFront(QWidget* window, QWidget* field) {
    window->raise();
    window->activateWindow();
    field->setFocus();
    if (auto* box = qobject_cast<QComboBox*>(field); box != nullptr && box->lineEdit() != nullptr)
        box->lineEdit()->selectAll();
}

void EnterSaves(QPushButton* save) {
    // The default button of a dialog takes Enter from any field that does not use it itself.
    save->setAutoDefault(false);
    save->setDefault(true);
}

QLabel* IntroText(QWidget* window, const char* text) {
    auto* label = new QLabel(text, window);
    label->setWordWrap(true);
    label->setFixedWidth(420);
    // A wrapped text in a fixed-size layout gets the height its width needs, not a guess.
    label->setMinimumHeight(label->heightForWidth(420));
    return label;
}

QGridLayout* SettingsGrid(QWidget* window) {
    auto* grid = new QGridLayout(window);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(24, 17, 24, 17);
    grid->setVerticalSpacing(8);
    return grid;
}

QLabel* FixedText(QWidget* parent, const char* text, int x, int y, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(x, y, width, height);
    return label;
}

int MakeRoomForTexts(QWidget* window, std::initializer_list<QLabel*> texts) {
    int grown = 0;
    for (QLabel* text : texts) {
        const int needed = text->heightForWidth(text->width());
        const int more = needed - text->height();
        if (more <= 0) continue;
        const int below = text->y() + text->height();
        text->resize(text->width(), needed);
        for (QObject* child : window->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget != nullptr && widget != text && widget->y() >= below)
                widget->move(widget->x(), widget->y() + more);
        }
        grown += more;
    }
    return grown;
}

}  // namespace kestrune::app

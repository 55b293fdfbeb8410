#pragma once
// The rotation drawn: a band per category with its songs' plays as bars (tallest first) against
// the even share a dashed line marks, their hours of the day beneath, and the turnover beside.
// A category whose bars run from high to nothing is uneven at a glance. Painted by hand.

#include <QWidget>

#include "onair/RotationFigures.h"

namespace kestrune::app {

class RotationChart : public QWidget {
    Q_OBJECT

public:
    explicit RotationChart(QWidget* parent = nullptr);

    void SetFigures(RotationFigures figures);
    const RotationFigures& Figures() const { return figures_; }
    // The line beside a category's bars: its turnover, plays per song and hour exposure.
    static QString CategoryCaption(const CategoryRotation& category);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RotationFigures figures_;
};

}  // namespace kestrune::app

#include "RotationChart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>

#include "LocalText.h"
#include "onair/RotationText.h"

namespace kestrune::app {

namespace {

constexpr int kBandHeight = 96;  // one category: its name, bars and hours
constexpr int kExemptBandHeight = 40;  // its name and why it has no bars
constexpr int kCaptionWidth = 260;
constexpr int kPlaysHeight = 52;  // the plays bars
constexpr int kHoursHeight = 18;  // the hour exposure bars, 24 hours full
constexpr int kMargin = 8;
const QColor kPlaysColour(0x3A, 0x6E, 0xA5);
const QColor kHoursColour(0xE0, 0x8A, 0x1E);
const QColor kNeverColour(0xC0, 0x30, 0x30);
const QColor kBandColour(0xFF, 0xFF, 0xE8);

QString Figure(double value) { return Local(FigureText(value)); }

int BandHeight(const CategoryRotation& category) {
    return category.exempt ? kExemptBandHeight : kBandHeight;
}

}  // namespace

RotationChart::RotationChart(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void RotationChart::SetFigures(RotationFigures figures) {
    figures_ = std::move(figures);
    updateGeometry();
    setMinimumHeight(sizeHint().height());
    update();
}

QSize RotationChart::sizeHint() const {
    int height = kMargin;
    for (const CategoryRotation& category : figures_.categories) height += BandHeight(category);
    return {kCaptionWidth + 400, std::max(height, kBandHeight)};
}

QString RotationChart::CategoryCaption(const CategoryRotation& c) {
    if (c.exempt) return QString("%1 songs, exempt: not counted").arg(c.songs);
    QString text = QString("%1 songs, %2 plays").arg(c.songs).arg(c.plays);
    if (!c.listed) return text;
    text += c.turnoverHours ? ", a round in " + Figure(*c.turnoverHours) + " h" : QString();
    text += QString("\nplays per song %1 / %2 / %3, never %4")
                .arg(c.minPlays)
                .arg(Figure(c.medianPlays))
                .arg(c.maxPlays)
                .arg(c.neverPlayed);
    if (c.meanExposure)
        text += "\nhours before a repeat " + Figure(*c.meanExposure) +
                QString(" (min %1)").arg(c.minExposure);
    text += QString("\nsame-hour repeats %1").arg(c.sameHourRepeats);
    return text;
}

void RotationChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont base = font();
    QFont bold = base;
    bold.setBold(true);
    QFont small = base;
    small.setPointSizeF(std::max(6.0, base.pointSizeF() * 0.85));
    if (figures_.categories.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, "No category to show");
        return;
    }
    const int barsLeft = kCaptionWidth + kMargin;
    const int barsWidth = std::max(40, width() - barsLeft - kMargin);
    int top = kMargin / 2;
    for (size_t i = 0; i < figures_.categories.size(); top += BandHeight(figures_.categories[i++])) {
        const CategoryRotation& c = figures_.categories[i];
        const QRect band(kMargin / 2, top, width() - kMargin, BandHeight(c) - kMargin / 2);
        painter.fillRect(band, i % 2 == 0 ? kBandColour : QColor(Qt::white));
        painter.setFont(bold);
        painter.setPen(Qt::black);
        const QRect nameBox(kMargin, top + 2, kCaptionWidth - kMargin, 18);
        painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(Local(c.name), Qt::ElideMiddle,
                                                          nameBox.width()));
        painter.setFont(small);
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(QRect(kMargin, top + 20, kCaptionWidth - kMargin, BandHeight(c) - 24),
                         Qt::AlignLeft | Qt::AlignTop, CategoryCaption(c));
        if (c.exempt || c.playsPerSong.empty()) continue;

        // The songs tallest first, each bar as wide as the band allows (a line at the least).
        std::vector<size_t> order(c.playsPerSong.size());
        for (size_t s = 0; s < order.size(); ++s) order[s] = s;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return c.playsPerSong[a] > c.playsPerSong[b];
        });
        const double slot = std::min(24.0, double(barsWidth) / double(order.size()));
        const int most = std::max(1, c.maxPlays);
        const int playsBase = top + 6 + kPlaysHeight;
        const int hoursTop = playsBase + 6;
        painter.setPen(Qt::NoPen);
        for (size_t s = 0; s < order.size(); ++s) {
            const int x = barsLeft + static_cast<int>(s * slot);
            const int w = std::max(1, static_cast<int>(slot) - (slot >= 4 ? 1 : 0));
            const int plays = c.playsPerSong[order[s]];
            if (plays == 0) {  // never played: a red stub under the line
                painter.fillRect(x, playsBase - 3, w, 3, kNeverColour);
                continue;
            }
            const int h = std::max(1, plays * kPlaysHeight / most);
            painter.fillRect(x, playsBase - h, w, h, kPlaysColour);
            const int hours = c.exposurePerSong[order[s]];
            painter.fillRect(x, hoursTop, w, std::max(1, hours * kHoursHeight / 24),
                             kHoursColour);
        }
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawLine(barsLeft, playsBase, barsLeft + barsWidth, playsBase);
        if (c.songs > 0 && c.plays > 0) {  // the even share: every song as often
            const double even = double(c.plays) / c.songs;
            const int y = playsBase - static_cast<int>(even * kPlaysHeight / most);
            QPen dashed(Qt::black);
            dashed.setStyle(Qt::DashLine);
            painter.setPen(dashed);
            painter.drawLine(barsLeft, y, barsLeft + static_cast<int>(order.size() * slot), y);
        }
    }
}

}  // namespace kestrune::app

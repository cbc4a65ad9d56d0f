#include "editor/status_panel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace lintrel {

StatusPanel::StatusPanel(int baseWidth, Fit fit, QWidget* parent) : QLabel(parent), baseWidth_(baseWidth), fit_(fit) {
    setSizePolicy(fit == Fit::Grow ? QSizePolicy::Fixed : QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize StatusPanel::sizeHint() const {
    const QSize text = QLabel::sizeHint();  // the indent on the left only; the same room goes on the right
    return {std::max(baseWidth_, text.width() + std::max(indent(), 0)), text.height()};
}

QSize StatusPanel::minimumSizeHint() const {
    if (fit_ == Fit::Grow) return sizeHint();
    return {baseWidth_, QLabel::minimumSizeHint().height()};
}

bool StatusPanel::shortened() const {
    return fit_ == Fit::ShortenInTheMiddle && QLabel::sizeHint().width() > width();
}

void StatusPanel::paintEvent(QPaintEvent* event) {
    if (!shortened()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(std::max(indent(), 0), 0, 0, 0);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && shortened()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

}  // namespace lintrel

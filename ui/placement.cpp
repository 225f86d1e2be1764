// Window placement helpers.
#include "ui/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

void KeepOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) return;
    // Enough of the title bar must be visible to grab it: a strip of 40 by 20 pixels.
    const QRect grip(frame.topLeft(), QSize(std::min(frame.width(), 40), 20));
    for (const QScreen* s : screens)
        if (s->availableGeometry().intersects(grip)) return;
    const QScreen* nearest = screens.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QScreen* s : screens) {
        const QPoint d = s->availableGeometry().center() - frame.center();
        const qint64 dist = (qint64)d.x() * d.x() + (qint64)d.y() * d.y();
        if (dist < best) best = dist, nearest = s;
    }
    const QRect area = nearest->availableGeometry();
    const int left = std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1));
    const int top = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1));
    window->move(window->pos() + QPoint(left, top) - frame.topLeft());
}

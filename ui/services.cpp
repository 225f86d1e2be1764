// The registry's shared query.
#include "ui/services.h"

#include <QWidget>

bool WindowRegistry::isVisible(const QString& name) const {
    const QWidget* w = window(name);
    return w && w->isVisible();
}

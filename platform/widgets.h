// Small helpers for building windows: controls carry their design names as object names.
#pragma once

#include <QPushButton>
#include <QStyle>
#include <QString>

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A small button showing one of the style's standard icons, with its hint.
inline QPushButton* glyphButton(const char* name, QStyle::StandardPixmap icon, const QString& hint, QWidget* parent) {
    auto* b = named(new QPushButton(parent), name);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(hint);
    b->setFixedSize(24, 22);
    return b;
}

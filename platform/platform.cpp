// Platform helpers that need no desktop: the steady clock, key codes, date texts, cursor guard.
#include "platform/platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <exception>

QStringList Platform::calculatorNames() const {
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("qalculate-qt"),
            QStringLiteral("speedcrunch"), QStringLiteral("xcalc")};
}

qint64 Platform::monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

uint16_t VirtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t((keypad ? 96 : 48) + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint16_t(65 + (key - Qt::Key_A));
    switch (key) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Space: return 32;
    default: return 0;
    }
}

QString Platform::dateTimeText(const QDateTime& moment) {
    const QLocale locale;
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    // The time is left out when the moment is exactly midnight.
    if (moment.time() != QTime(0, 0)) text += QLatin1Char(' ') + longTimeText(moment.time());
    return text;
}

QString Platform::longTimeText(const QTime& time) {
    // The locale's long time format without its time-zone field: a duration has no zone.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
    return QLocale().toString(time, format.trimmed());
}

HourglassGuard::HourglassGuard() { QApplication::setOverrideCursor(Qt::WaitCursor); }
HourglassGuard::~HourglassGuard() { QApplication::restoreOverrideCursor(); }

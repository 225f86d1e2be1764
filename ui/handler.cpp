// Guarded handlers: every failure reaches the general error box after the closing steps.
#include "ui/handler.h"

#include <exception>

#include "platform/platform.h"

void Guarded(Platform& platform, const std::function<void()>& body, const std::function<void()>& closing) {
    QString failure;
    bool failed = false;
    try {
        body();
    } catch (const std::exception& e) {
        failed = true;
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failed = true;
        failure = QStringLiteral("Unknown error");
    }
    if (closing) {
        try {
            closing();
        } catch (const std::exception& e) {
            if (!failed) {
                failed = true;
                failure = QString::fromUtf8(e.what());
            }
        }
    }
    if (failed) platform.showError(failure);
}

void OnClick(QAbstractButton* button, Platform& platform, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [&platform, handler = std::move(handler)] { Guarded(platform, handler); });
}

void OnTrigger(QAction* action, Platform& platform, std::function<void()> handler) {
    QObject::connect(action, &QAction::triggered, action,
                     [&platform, handler = std::move(handler)] { Guarded(platform, handler); });
}

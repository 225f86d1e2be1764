// The error guard shared by every handler.
#include "platform/platform.h"

#include <exception>

void Guarded(Platform& platform, const std::function<void()>& body,
             const std::function<void()>& closing) {
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
    if (closing) closing();
    if (failed) platform.showError(failure);
}

// The one door to the desktop: message boxes, the general error box and whatever else the
// windows need from the system. Windows receive a Platform&; tests pass a scripted fake.
#pragma once

#include <QString>
#include <functional>

inline const QString ApplicationTitle = QStringLiteral("Quendra ! 5");

class Platform {
public:
    virtual ~Platform() = default;
    // The application's general error box: the failure's own message, application title as caption.
    virtual void showError(const QString& message) = 0;
    // A message box with an OK button and the application title as caption.
    virtual void showMessage(const QString& text) = 0;
};

// Runs a handler body; any exception becomes the general error box. `closing` runs on every
// path, as a handler's closing steps must. Exceptions never escape into Qt's event loop.
void Guarded(Platform& platform, const std::function<void()>& body,
             const std::function<void()>& closing = {});

// The one way windows attach their handlers: a failure inside always reaches the general
// error box, and the handler's closing steps (cursor, focus) still run.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <functional>

class Platform;

// Runs a handler body; any exception becomes the general error box. `closing` runs on every
// path, before the error is shown, as a handler's closing steps must.
void Guarded(Platform& platform, const std::function<void()>& body,
             const std::function<void()>& closing = {});

// Connects a button's click or an action's trigger to a guarded handler.
void OnClick(QAbstractButton* button, Platform& platform, std::function<void()> handler);
void OnTrigger(QAction* action, Platform& platform, std::function<void()> handler);

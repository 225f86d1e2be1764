// A scripted stand-in for the desktop: records what the windows show, never blocks.
#pragma once

#include <QStringList>

#include "platform/platform.h"

class FakePlatform : public Platform {
public:
    void showError(const QString& message) override { errors << message; }
    void showMessage(const QString& text) override { messages << text; }

    QStringList errors;
    QStringList messages;
};

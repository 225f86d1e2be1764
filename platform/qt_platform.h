// The real desktop behind Platform: Qt message boxes.
#pragma once

#include "platform/platform.h"

class QWidget;

class QtPlatform : public Platform {
public:
    void showError(const QString& message) override;
    void showMessage(const QString& text) override;
};

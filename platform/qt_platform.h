// The real desktop behind Platform.
#pragma once

#include "platform/platform.h"

// The real progress dialog: phase, percentage, time left and Cancel (Esc and the close box too).
std::unique_ptr<ProgressView> ShowProgressDialog(QWidget* owner, const QString& what);

// The real file dialogs, modal, over the active window; empty when cancelled.
std::optional<QString> RunFileDialog(const FileDialogRequest& request, bool save);

class QtPlatform : public Platform {
public:
    void showError(const QString& message) override;
    void showMessage(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    void printLines(const QStringList& lines) override;
    bool openHelp(const QString& path) override;
    bool startCalculator() override;
    void beep() override;
    QDateTime now() override;
    QString settingsPath() override;
    QString programDir() override;
    QString userDataDir() override;
    QString documentsDir() override;
    std::unique_ptr<ProgressView> showProgress(QWidget* owner, const QString& what) override;
};

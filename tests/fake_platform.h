// A scripted stand-in for the desktop: records what the windows show, answers dialogs from
// a script, never blocks.
#pragma once

#include <QDir>
#include <QStringList>
#include <atomic>
#include <deque>

#include "platform/platform.h"
#include "platform/qt_platform.h"

class FakeProgress : public ProgressView {
public:
    FakeProgress(bool cancel, QStringList* updates) : cancel_(cancel), updates_(updates) {}
    // Records "label|percent|time left" each time the shown figures change.
    void update(const QString& label, int percent, const QString& timeLeft) override {
        const QString line = label + QLatin1Char('|') + QString::number(percent) + QLatin1Char('|') + timeLeft;
        if (updates_ && (updates_->isEmpty() || updates_->last() != line)) *updates_ << line;
    }
    bool cancelRequested() override { return cancel_; }

private:
    bool cancel_;
    QStringList* updates_;
};

class FakePlatform : public Platform {
public:
    explicit FakePlatform(QString settingsFile = {}) : settingsFile_(std::move(settingsFile)) {}

    void showError(const QString& message) override { errors << message; }
    void showMessage(const QString& text) override { messages << text; }
    bool askYesNo(const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return answerYes;
    }
    std::optional<QString> saveFileName(const FileDialogRequest& r) override {
        if (realDialogs) return RunFileDialog(r, true);
        dialogs << r.title + QStringLiteral("|") + r.proposedName;
        if (saveAnswers.empty()) return std::nullopt;
        const std::optional<QString> answer = std::move(saveAnswers.front());
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<QString> openFileName(const FileDialogRequest& r) override {
        if (realDialogs) return RunFileDialog(r, false);
        return saveFileName(r);
    }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void printLines(const QStringList& lines) override {
        if (!printerError.isEmpty()) throw std::runtime_error(printerError.toStdString());
        printed << lines;
    }
    bool openHelp(const QString& path) override {
        helpOpened << path;
        return browserFound;
    }
    bool startCalculator() override { return calculatorFound; }
    void beep() override { ++beeps; }
    QDateTime now() override { return clock; }
    QString settingsPath() override { return settingsFile_; }
    // A clock the test moves by hand when `manualClock` is set.
    qint64 monotonicMs() override {
        ++clockReads;
        return manualClock ? clockMs.load() : Platform::monotonicMs();
    }
    QString programDir() override { return programFolder; }
    QString userDataDir() override { return dataDir; }
    QString documentsDir() override { return docsDir; }
    int progressDelayMs() override { return progressDelay; }
    std::unique_ptr<ProgressView> showProgress(QWidget* owner, const QString& what) override {
        progressShown << what;
        if (realProgress) return ShowProgressDialog(owner, what);
        return std::make_unique<FakeProgress>(cancelProgress, &progressUpdates);
    }

    QStringList errors, messages, questions, dialogs, helpOpened, progressShown, progressUpdates;
    QList<QStringList> printed;
    std::deque<std::optional<QString>> saveAnswers;
    QString clipboard, printerError;
    QString dataDir = QDir::tempPath() + QStringLiteral("/quendra-data/");
    QString programFolder = QDir::tempPath() + QLatin1Char('/');   // with its trailing separator
    QString docsDir = QDir::tempPath() + QStringLiteral("/quendra-documents/");
    bool answerYes = true, calculatorFound = true, browserFound = true, cancelProgress = false;
    // The real dialog instead of the scripted one, for tests that send it input.
    bool realProgress = false;
    // The real file dialogs, for tests that look at what they show.
    bool realDialogs = false;
    int progressDelay = 0;
    bool manualClock = false;
    std::atomic<qint64> clockMs{0};
    std::atomic<int> clockReads{0};   // the runner reads the clock once a tick
    int beeps = 0;
    QDateTime clock = QDateTime(QDate(2026, 12, 9), QTime(14, 30, 5));

private:
    QString settingsFile_;
};

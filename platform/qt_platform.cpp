// Qt implementation of the platform operations.
#include "platform/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

namespace {

// "text files|*.txt" becomes "text files (*.txt)"; a name that already shows its patterns
// ("Text files (*.txt)") is kept as it is, so that the dialog does not show them twice.
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString shown = QStringLiteral("(") + parts[i + 1] + QLatin1Char(')');
        out << (parts[i].trimmed().endsWith(shown) ? parts[i] : parts[i] + QLatin1Char(' ') + shown);
    }
    return out.join(QStringLiteral(";;"));
}

// Esc (reject) cancels as the Cancel button and the close box do.
class CancelOnReject : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override { cancel(); }
};

class DialogProgress : public ProgressView {
public:
    DialogProgress(QWidget* owner, const QString& what) : dialog_(what, QStringLiteral("Cancel"), 0, 100, owner) {
        dialog_.setObjectName(QStringLiteral("ProgressDialog"));
        dialog_.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        // Wide enough for the command's text and the phase under it, at any font size.
        dialog_.setMinimumWidth(dialog_.fontMetrics().horizontalAdvance(what + QStringLiteral("MMMMMM")) + 60);
        dialog_.setWindowTitle(ApplicationTitle);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
        dialog_.show();
        what_ = what;
    }
    void update(const QString& label, int percent, const QString& timeLeft) override {
        QString text = what_;
        if (!label.isEmpty()) text += QStringLiteral("\n") + label;
        if (!timeLeft.isEmpty()) text += QStringLiteral("\nTime left: ") + timeLeft;
        dialog_.setLabelText(text);
        if (percent >= 0) dialog_.setValue(percent);
    }
    bool cancelRequested() override { return dialog_.wasCanceled(); }
    QWidget* dialog() override { return &dialog_; }

private:
    CancelOnReject dialog_;
    QString what_;
};

}  // namespace

void QtPlatform::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, message, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtPlatform::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtPlatform::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> RunFileDialog(const FileDialogRequest& r, bool save) {
    const QFileDialog::AcceptMode mode = save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen;
    QFileDialog dialog(QApplication::activeWindow(), r.title, QString(), qtFilter(r.filter));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    else dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(r.defaultExtension);
    dialog.selectFile(r.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPlatform::saveFileName(const FileDialogRequest& r) {
    return RunFileDialog(r, true);
}

std::optional<QString> QtPlatform::openFileName(const FileDialogRequest& r) {
    return RunFileDialog(r, false);
}

QString QtPlatform::clipboardText() { return QApplication::clipboard()->text(); }

void QtPlatform::setClipboardText(const QString& text) { QApplication::clipboard()->setText(text); }

void QtPlatform::printLines(const QStringList& lines) {
    if (QPrinterInfo::defaultPrinter().isNull()) throw std::runtime_error("There is no default printer currently selected");
    QPrinter printer(QPrinterInfo::defaultPrinter());
    QPainter painter;
    if (!painter.begin(&printer)) throw std::runtime_error("Printing failed");
    const QRect page = painter.viewport();
    const QRect area = page.adjusted(100, 100, -100, -100);
    const int step = painter.fontMetrics().lineSpacing();
    int y = area.top();
    for (const QString& line : lines) {
        if (y + step > area.bottom() && y > area.top()) {
            printer.newPage();
            y = area.top();
        }
        painter.drawText(QRect(area.left(), y, area.width(), step), Qt::AlignLeft | Qt::TextSingleLine, line);
        y += step;
    }
    if (!painter.end()) throw std::runtime_error("Printing failed");
}

bool QtPlatform::openHelp(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

bool QtPlatform::startCalculator() {
    for (const QString& name : calculatorNames()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty()) continue;
        QProcess::startDetached(path, {});   // a failed start is not reported
        return true;
    }
    return false;
}

void QtPlatform::beep() { QApplication::beep(); }

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

QString QtPlatform::settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velorin/Quendra 4/Setup.reg");
}

QString QtPlatform::programDir() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

QString QtPlatform::userDataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
}

QString QtPlatform::documentsDir() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QLatin1Char('/');
}

std::unique_ptr<ProgressView> ShowProgressDialog(QWidget* owner, const QString& what) {
    return std::make_unique<DialogProgress>(owner, what);
}

std::unique_ptr<ProgressView> QtPlatform::showProgress(QWidget* owner, const QString& what) {
    return ShowProgressDialog(owner, what);
}

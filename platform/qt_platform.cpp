// Qt implementation of the platform operations.
#include "platform/qt_platform.h"

#include <QApplication>
#include <QMessageBox>

void QtPlatform::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void QtPlatform::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

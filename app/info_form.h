// The About window.
#pragma once

#include <QDialog>

class QTabWidget;

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);
    // Shows the window modally on its first page.
    int exec() override;

private:
    QTabWidget* pages_;
};

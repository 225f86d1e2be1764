// The borderless start-up window with the program's logo; it closes itself a little under
// three seconds after the program starts.
#pragma once

#include <QDialog>

class QTimer;

class TIntroForm : public QDialog {
    Q_OBJECT
public:
    explicit TIntroForm(QWidget* parent = nullptr);
    // Runs the start-up window's own timers; milliseconds scale for tests.
    int exec() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* Timer1;
    int ticks_ = 0;
};

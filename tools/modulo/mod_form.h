// The Super Modulo window: an expression, a factor and a run of further factors, one result
// line per factor, and the selected line as an equation.
#pragma once

#include <QWidget>
#include <cstdint>

struct Services;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

class TModForm : public QWidget {
    Q_OBJECT
public:
    explicit TModForm(Services& services, QWidget* parent = nullptr);

    void BitBtn1Click();
    void TrackBar1Change();
    void ListBox1Click();

protected:
    // Enter anywhere in the window presses the default button "Modulo".
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Services& services_;
    QComboBox* Ex;
    QComboBox* Fac;
    QPushButton* BitBtn1;
    QLabel* Label3;
    QSlider* TrackBar1;
    QListWidget* ListBox1;
    QLineEdit* Edit1;
    // The first factor of the last computation: the result lines are numbered from it.
    int64_t F = 0;
};

// The program-wide instance, created at start-up.
extern TModForm* ModForm;

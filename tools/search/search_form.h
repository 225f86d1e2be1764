// The search engine window: the primes of an interval over five report pages, the research
// summary with its estimate and twin count, result files and the bound fields' histories.
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <cstdint>

struct Services;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStringListModel;
class QTabWidget;

class TSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TSearchForm(Services& services, QWidget* parent = nullptr);

    // The report pages drawn as tabs (true) or as flat buttons (false), as the options say.
    void setPageStyle(bool tabs);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void GOClick();
    void ReportClick(int part);
    void LowIntervalChange();   // the change handler of both bound fields
    void BitBtn1Click();        // save
    void BitBtn3Click();        // erase the "From" history
    void BitBtn4Click();        // import the tester's history into "From"
    void BitBtn5Click();        // erase the "To" history
    void BitBtn6Click();        // import the tester's history into "To"
    void GOMouseMove();
    void FormActivate();

    void buildPages();
    void resetSelection();

    Services& services_;
    QComboBox* LowInterval;
    QComboBox* HighInterval;
    QPushButton* GO;
    QTabWidget* PageControl1;
    std::array<QListView*, 5> reports_{};
    std::array<QStringListModel*, 5> parts_{};
    QListWidget* ResumeListBox;
    QLabel* SelLabel;
    QLineEdit* ValEdit;
    QCheckBox* IntroCheck;
    QCheckBox* part1Check;
    std::array<QCheckBox*, 4> partChecks_{};   // CheckBox1 ... CheckBox4: Part 2 ... Part 5

    // Kept from one search to the next for the whole run.
    int64_t SearchLow = 0;
    int64_t SearchHigh = 0;
    int FilledParts = 0;
    bool sortedHistory_ = false;
    bool centred_ = false;
};

// The program-wide instance, created at start-up and shown modally by the main window.
extern TSearchForm* SearchForm;

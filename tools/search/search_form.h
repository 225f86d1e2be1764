// The search engine window: the primes of an interval over five report pages, the research
// summary with its estimate and twin count, result files and the bound fields' histories.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "tools/search/search_engine.h"

struct Services;
class Closing;
class HistoryBoxes;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStringListModel;
class QTabWidget;
class Progress;

class TSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TSearchForm(Services& services, QWidget* parent = nullptr);

    // The report pages drawn as tabs (true) or as flat buttons (false), as the options say.
    void setPageStyle(bool tabs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // One search's findings, made off the user-interface thread: the primes, the texts of
    // the parts' lists and the twin count when it was asked for.
    struct Findings {
        search::SearchResult result;
        std::array<QStringList, search::PartCount> texts;
        std::optional<int64_t> twins;
    };

    void GOClick(Closing& closing);
    void ReportClick(int part);
    void LowIntervalChange();   // the change handler of both bound fields
    void BitBtn1Click();        // save
    void BitBtn3Click();        // erase the "From" history
    void BitBtn4Click();        // import the tester's history into "From"
    void BitBtn5Click();        // erase the "To" history
    void BitBtn6Click();        // import the tester's history into "To"
    void GOMouseMove();

    void buildBoundFields();
    void buildSummary();
    void buildSaveChecks();
    void buildPages();
    void layOut();
    void connectHandlers();
    void resetSelection();
    void clearResults();
    static Findings find(const search::Bounds& bounds, bool countTwins, Progress& progress);
    void showLists(const Findings& found, const search::Bounds& bounds);
    void showPages();
    void showSummary(const Findings& found, const search::Bounds& bounds, const QDateTime& start);
    void checkFilledParts();

    Services& services_;
    QComboBox* LowInterval;
    QComboBox* HighInterval;
    HistoryBoxes* histories_;
    QPushButton* GO;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    std::array<QPushButton*, 4> historyButtons_{};   // BitBtn3 ... BitBtn6
    QTabWidget* PageControl1;
    QGroupBox* summaryBox_;
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
    bool centred_ = false;
};

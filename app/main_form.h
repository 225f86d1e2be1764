// The main window: the generic and Mersenne tester bands, the result panel, the status bar,
// the menu and the start-up and shutdown steps.
#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

struct ProgramWindows;
struct Services;
class Closing;
class LucasLehmerCertificate;
class QAction;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;

// A tester's verdict, as both testers record it.
struct Verdict {
    QComboBox* box = nullptr;      // the tester's number box, whose history takes the entry
    bool sortedHistory = false;
    QString entry;                 // the tested text
    bool prime = false;
    bool toHistoryLists = false;   // the generic tester also fills the prime and composite lists
    QString panelLine;
    QDateTime start;               // when the test began
    QString testedNumber;          // the notebook's "Tested Number: " line
    QStringList notes;             // notebook lines between the result and the comments
};

// The testers' record since the program started: tests done, and the subject of the last
// one ("0" for none).
struct TestRecord {
    int32_t count = 0;
    QString last = QStringLiteral("0");
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // The windows it opens are reached through `windows`, typed; the Mersenne tester fills
    // `certificate`, which the certificate window shows.
    TMainForm(Services& services, ProgramWindows& windows, TestRecord& record, LucasLehmerCertificate& certificate,
              QWidget* parent = nullptr);

    // Creation: counters, panel, intro timer, stored window settings.
    void FormCreate();
    // The generic tester's drop-down history, in order.
    QStringList testerHistory() const;

    // The shutdown steps; false when the user answered No.
    bool FormCloseQuery();
    void FormClose();

    QAction* Autoclear1;
    QComboBox* NumberEdit;
    QComboBox* ComboBox1;
    QPushButton* Verifier;
    QPushButton* Button1;
    QLabel* Digital;
    QTextEdit* RichEdit1;
    QCheckBox* RefBox;
    QCheckBox* certifgen;
    QLineEdit* Temp;
    QLabel* panel0;
    QLabel* panel1;
    QTimer* ShowIntroFormTimer;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormActivate();
    // Generic tester.
    void VerifierClick(Closing& closing);
    void BitBtn1Click();
    void BitBtn3Click();
    void ComboBox1Change();
    void ShowTestCounter();
    void ScrollPanelToEnd();
    void AddResultSeparator();
    // Mersenne tester.
    void Button1Click(Closing& closing);
    void BitBtn2Click();

    // Menu commands.
    void Exit1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Autoclear1Click();
    void Splitter1Click();
    void Convertor1Click();
    void SCalc1Click();
    void SuperModulo1Click();
    void Searchengine1Click();
    void Finddivisors1Click();
    void Calculator1Click();
    void Certificate1Click();
    void History1Click();
    void Notebook1Click();
    void Options2Click();
    void incremen1Click();
    void Decrease1Click();
    void Resetcounter1Click();
    void index1Click();
    void About1Click();
    void BitBtn4Click();   // save the result panel

    struct StoredValue {
        const char* name;
        bool integer;   // an integer value, else a boolean
        std::function<int()> get;
        std::function<void(int)> set;
    };
    std::vector<StoredValue> storedValues();
    void buildBands();
    void buildGenericBand(QBoxLayout* column);
    void buildMersenneBand(QBoxLayout* column);
    void buildPanel(QBoxLayout* column);
    void buildStatusBar();
    void connectBands();
    void buildMenu();
    void appendPanelLine(const QString& line);
    void recordVerdict(const Verdict& verdict);
    void finishTest(const QString& subject, const QDateTime& start);
    QString durationSince(const QDateTime& start) const;
    void showIntro();

    Services& services_;
    ProgramWindows& windows_;
    TestRecord& record_;
    LucasLehmerCertificate& certificate_;
    bool numberEditSorted_ = false;
};

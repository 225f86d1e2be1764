// The options window: prime and composite histories, the notebook and the tool settings.
// Its controls are the live settings that the other windows read.
#pragma once

#include <QDialog>
#include <vector>

#include "ui/services.h"

class Platform;
class SettingsStore;
class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTextEdit;

class TOptionsForm : public QDialog, public LiveSettings {
    Q_OBJECT
public:
    TOptionsForm(Platform& platform, SettingsStore& store, QWidget* parent = nullptr);

    // Reads the sixteen stored values (a value of the wrong type throws SettingsError).
    void FormCreate();
    // Selects page 0 "History", 1 "Notebook" or 2 "Tools settings" and shows the window modally.
    int showPage(int index);

    void BitBtn8Click();    // save the prime list
    void BitBtn9Click();    // clear the prime list
    void BitBtn10Click();   // save the composite list
    void BitBtn11Click();   // clear the composite list
    void PrintPBtnClick();
    void PrintNPBtnClick();
    void PremiersCheckBoxClick();
    void CheckBox2Click();
    void CheckBox1Click();
    void NoteEraseClick();
    void NoteSaveClick();
    void BitBtn5Click();    // OK: store, then close

    // The live settings, read by the other windows at the moment of use.
    bool digitFilter() const override;
    bool sortHistory() const override;
    bool autoImport() const override;
    bool historyEnabled() const override;
    bool addFoundPrime() const override;
    bool autoExpand() const override;
    bool showMessages() const override;
    bool estimations() const override;
    bool countTwins() const override;
    bool tabPages() const override;
    bool separateResults() const override;
    bool warnOnExit() const override;
    QString primeText() const override;
    QString compositeText() const override;

    // What the testers and tools record: a text goes to a history list when absent; a
    // tester's verdict only when that list is switched on.
    void addPrime(const QString& text);
    void recordVerdict(const QString& text, bool prime);
    // A report block for the notebook; with the notebook's Auto-refresh on, it replaces the rest.
    void appendReport(const QStringList& lines);

    // The controls (object names as designed).
    QCheckBox* PremiersCheckBox;
    QCheckBox* NonPremiersCheckBox;
    QListWidget* Memo1;   // PrimeHistory
    QListWidget* Memo2;   // CompositeHistory
    QTextEdit* NoteEdit;  // Notebook
    QCheckBox* RefBox;
    QCheckBox* CheckBox1;
    QLineEdit* LabeledEdit1;
    QLineEdit* LabeledEdit2;
    QCheckBox* SepareResult;
    QCheckBox* WarnExit;
    QCheckBox* AutoImport;
    QCheckBox* HistoryList;
    QCheckBox* AddToHisCheckBox;
    QCheckBox* AutoExpand;
    QCheckBox* Messages;
    QRadioButton* TabsRadioButton;
    QRadioButton* BtnRadioButton;
    QCheckBox* LHCheck;
    QCheckBox* CTPNCheck;
    QCheckBox* FilterCheckBox;
    QCheckBox* SortCheckBox;

signals:
    // The search engine's report pages follow this at once: true for tabs, false for buttons.
    void pageStyleChanged(bool tabs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct StoredValue {
        const char* name;
        QAbstractButton* check;   // a check box or the Tabs radio button
        QLineEdit* text;
    };
    std::vector<StoredValue> storedValues() const;
    QWidget* buildHistoryPage();
    QWidget* buildNotebookPage();
    QWidget* buildSettingsPage();
    void saveList(QListWidget* list, const QString& title, const QString& proposedName);
    void printList(QListWidget* list);

    Platform& platform_;
    SettingsStore& store_;
    QTabWidget* pages_;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* PrintPBtn;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* PrintNPBtn;
};

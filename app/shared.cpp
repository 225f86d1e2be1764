// Values and helpers shared by the testers and the tool windows.
#include "app/shared.h"

#include <QComboBox>
#include <QListWidget>

int32_t TestCounter = 0;
QString LastTested = QStringLiteral("0");
QString ProgramDir;

bool IsInList(const QString& text, const QComboBox* box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool IsInList(const QString& text, const QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool IsAllowedKey(uint16_t key) {
    return (key >= 96 && key <= 105) || (key >= 37 && key <= 40) || key == 8 || key == 13 || key == 46;
}

void AddToHistory(QComboBox* box, const QString& text, bool sorted) {
    if (!sorted) {
        box->addItem(text);
        return;
    }
    int at = 0;
    while (at < box->count() && box->itemText(at).compare(text, Qt::CaseInsensitive) <= 0) ++at;
    box->insertItem(at, text);
}

void SortHistory(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    std::stable_sort(items.begin(), items.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setEditText(text);
}

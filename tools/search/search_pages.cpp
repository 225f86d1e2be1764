// The search engine window's report pages: five lists of at most 32000 primes, their
// captions and page style, and the display of the selected entry.
#include "tools/search/search_form.h"
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <new>
#include <optional>
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "tools/search/search_engine.h"
#include "ui/convert.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"

namespace {
const QString NoItemSelected = QStringLiteral("No item selected");
const QString FlatButtons = QStringLiteral(
    "QTabBar::tab { border: 1px solid palette(mid); border-radius: 3px; padding: 3px 7px; margin: 1px; "
    "background: palette(button); }"
    "QTabBar::tab:selected { background: palette(midlight); border: 1px solid palette(shadow); }");
}  // namespace

void TSearchForm::buildPages() {
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->tabBar()->setUsesScrollButtons(false);
    PageControl1->tabBar()->setExpanding(false);
    // Room for all five captions in one row from the start, so that the layout never jumps.
    PageControl1->setMinimumWidth(330);
    const char* pageNames[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5"};
    const char* listNames[] = {"Report", "Report2", "Report3", "Report4", "Report5"};
    const QString captions[] = {QStringLiteral("Part 1"), QStringLiteral("Part 2"), QStringLiteral("Part 3"),
                                QStringLiteral("Part 4"), QStringLiteral("Part 5  ")};
    for (int k = 0; k < search::PartCount; ++k) {
        auto* page = named(new QWidget(PageControl1), pageNames[k]);
        auto* list = named(new QListView(page), listNames[k]);
        list->setUniformItemSizes(true);   // 32000 rows are laid out without measuring each
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        parts_[k] = new QStringListModel(list);
        list->setModel(parts_[k]);
        list->viewport()->installEventFilter(this);
        OnSignal(list->selectionModel(), &QItemSelectionModel::currentChanged, services_.platform,
                 [this, k] { ReportClick(k); });
        auto* l = new QVBoxLayout(page);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(list);
        reports_[k] = list;
        PageControl1->addTab(page, captions[k]);
        PageControl1->setTabVisible(k, false);
    }
}

void TSearchForm::setPageStyle(bool tabs) {
    PageControl1->setDocumentMode(!tabs);
    PageControl1->tabBar()->setDrawBase(tabs);
    PageControl1->tabBar()->setStyleSheet(tabs ? QString() : FlatButtons);
}

void TSearchForm::resetSelection() {
    SelLabel->setText(NoItemSelected);
    ValEdit->clear();
}

void TSearchForm::ReportClick(int part) {
    const QListView* list = reports_[part];
    const QModelIndex current = list->currentIndex();
    const bool selected = current.isValid() && list->selectionModel()->isSelected(current);
    if (selected && current.row() < parts_[part]->rowCount() - 1) {
        SelLabel->setText(QStringLiteral("Item #: %1").arg(current.row() + 1));
        ValEdit->setText(current.data().toString());
    } else {
        resetSelection();
    }
}

// The About window: what the program is, and what it is built with.
#include "app/info_form.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("About Quendra"));
    auto* pages = pages_ = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto* about = new QLabel(QStringLiteral(
        "<h2>Quendra 5</h2>"
        "<p>A workbench for elementary computational number theory: primality verdicts for numbers "
        "of up to 200 digits, Lucas-Lehmer tests of Mersenne numbers, interval searches, divisors, "
        "factorizations, modular reductions and exact arithmetic on large integers.</p>"
        "<p>Every number beyond the machine word is computed by Quendra's own big-integer library.</p>"));
    about->setWordWrap(true);
    about->setMargin(10);
    pages->addTab(about, QStringLiteral("Quendra"));
    auto* credits = new QLabel(QStringLiteral(
        "<p>Built with C++20 and Qt 6 Widgets.</p>"
        "<p>The prime verdict is exact below 3.3&middot;10<sup>24</sup> and Baillie-PSW strong above.</p>"
        "<p>Tools: the Splitter (Pollard rho, the elliptic curve method and a self-initialising quadratic "
        "sieve), the search engine (a segmented sieve of Eratosthenes), All dividers, Super Modulo, the "
        "Convertor and the Super Calculator.</p>"));
    credits->setWordWrap(true);
    credits->setMargin(10);
    pages->addTab(credits, QStringLiteral("Technical"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* v = new QVBoxLayout(this);
    v->addWidget(pages);
    v->addWidget(ok, 0, Qt::AlignRight);
    resize(420, 260);
}

int TInfoForm::exec() {
    pages_->setCurrentIndex(0);
    return QDialog::exec();
}

// The start-up window: a logo drawn in code, two timers, then it closes.
#include "app/intro_form.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

TIntroForm::TIntroForm(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
    setObjectName(QStringLiteral("IntroForm"));
    setFixedSize(420, 240);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (++ticks_ >= 2) {   // at the second tick
            Timer1->stop();
            accept();
        }
    });
}

int TIntroForm::exec() {
    ticks_ = 0;
    if (QScreen* s = screen()) move(s->geometry().center() - rect().center());
    QTimer::singleShot(300, this, [this] { Timer1->start(); });
    return QDialog::exec();
}

void TIntroForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(18, 32, 74));
    g.setColorAt(1, QColor(52, 98, 170));
    p.fillRect(rect(), g);
    // A spiral of dots at the primes below 400, the program's emblem.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 102, 200));
    for (int n = 2; n < 400; ++n) {
        bool prime = true;
        for (int d = 2; d * d <= n; ++d) if (n % d == 0) { prime = false; break; }
        if (!prime) continue;
        const double r = 4.5 * std::sqrt((double)n), a = n * 2.399963;
        p.drawEllipse(QPointF(110 + r * std::cos(a), 120 + r * std::sin(a)), 2.6, 2.6);
    }
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Arial"), 34, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(190, 60, 220, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quendra 5"));
    QFont sub(QStringLiteral("Arial"), 11);
    p.setFont(sub);
    p.drawText(QRect(192, 120, 220, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("A workbench for elementary computational number theory"));
}

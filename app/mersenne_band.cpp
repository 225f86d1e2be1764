// The Mersenne tester band of the main window: the Lucas-Lehmer test of 2^p - 1.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

#include "app/certif_form.h"
#include "app/main_form.h"
#include "app/program_windows.h"
#include "platform/platform.h"
#include "ui/convert.h"
#include "ui/handler.h"
#include "ui/runner.h"
#include "ui/services.h"

void TMainForm::Button1Click(Closing& closing) {
    const QString text = ComboBox1->currentText();
    const int32_t p = StrToInt(text);
    if (p > 99999) {
        services_.platform.showMessage(QStringLiteral("Please, note that exponents above 99999 are not supported."));
        return;
    }
    const QDateTime start = services_.platform.now();
    const bool withCertificate = certifgen->isChecked();
    // Closing steps: after a completed or failed test, not after a cancel.
    closing = [this, text, start, withCertificate] {
        finishTest(text + QStringLiteral("th Mersenne number"), start);
        if (withCertificate) Certificate1Click();
    };
    // The test runs off the user-interface thread into a fresh certificate; nothing changes
    // before it completes, so Cancel leaves everything as it was.
    bool prime = false;
    LucasLehmerCertificate fresh;
    if (!services_.runner.run(this, QStringLiteral("Lucas-Lehmer test of 2^%1 - 1...").arg(p), [&](Progress& progress) {
            prime = LucasLehmerTest(p, withCertificate ? &fresh : nullptr, progress);
        })) {
        closing.clear();
        return;
    }
    if (withCertificate) {
        certificate_ = std::move(fresh);
        windows_.certif->certificateChanged();
    }
    Verdict v;
    v.box = ComboBox1;
    v.entry = text;
    v.prime = prime;
    v.panelLine = text + (prime ? QStringLiteral("th Mersenne number is Prime") : QStringLiteral("th Mersenne number is Composite"));
    v.start = start;
    v.testedNumber = QStringLiteral("The ") + text + QStringLiteral("th number of Mersenne");
    v.notes = {withCertificate ? QStringLiteral("The Certificate was created.") : QStringLiteral("Certificate was not created.")};
    recordVerdict(v);
    ComboBox1->setFocus();
}

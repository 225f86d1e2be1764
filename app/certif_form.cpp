// The certificate window and its file.
#include "app/certif_form.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QSizeGrip>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QFileInfo>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <stdexcept>
#include <thread>

#include "ui/runner.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "ui/handler.h"
#include "ui/services.h"

namespace {
constexpr size_t BlocksKept = 4;     // about 3 MB of residues for p near 100000
constexpr int TextsKept = 512;
constexpr int TipDigits = 1200;    // the most digits a cell's hint shows
}

int CertificateModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (int)certificate_.rows();
}

int CertificateModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant CertificateModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("a=") : QStringLiteral("s=");
    return {};
}

Qt::ItemFlags CertificateModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 1) f |= Qt::ItemIsEditable;   // the "a=" labels cannot be edited
    return f;
}

const std::vector<std::vector<uint64_t>>& CertificateModel::blockOf(size_t block) const {
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it)
        if (it->first == block) {
            blocks_.splice(blocks_.begin(), blocks_, it);
            return blocks_.front().second;
        }
    blocks_.emplace_front(block, certificate_.block(block));
    if (blocks_.size() > BlocksKept) blocks_.pop_back();
    return blocks_.front().second;
}

QString CertificateModel::valueText(size_t r) const {
    if (auto it = edits_.constFind((int)r); it != edits_.cend()) return *it;
    if (auto it = texts_.constFind((int)r); it != texts_.cend()) return *it;
    const auto& block = blockOf(r / LucasLehmerCertificate::kEvery);
    const QString text = QString::fromStdString(ResidueToDecimal(block[r % LucasLehmerCertificate::kEvery]));
    if (texts_.size() >= TextsKept) texts_.clear();
    texts_.insert((int)r, text);
    return text;
}

QVariant CertificateModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::ToolTipRole && index.column() == 1) {
        // Long residues do not fit the cell: the hint shows them wrapped, or says how to copy them.
        const QString text = valueText((size_t)index.row());
        QString tip;
        for (int i = 0; i < std::min<int>(text.size(), TipDigits); i += 60) tip += text.mid(i, std::min(60, TipDigits - i)) + QLatin1Char('\n');
        if (text.size() > TipDigits) tip += QStringLiteral("... (%1 digits in all)\n").arg(text.size());
        return tip + QStringLiteral("Ctrl+C copies the whole value.");
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (index.column() == 0) return QString::number(index.row() + 3);
    return valueText((size_t)index.row());
}

bool CertificateModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != 1) return false;
    edits_.insert(index.row(), value.toString());
    emit dataChanged(index, index);
    return true;
}

void CertificateModel::reload() {
    beginResetModel();
    edits_.clear();
    blocks_.clear();
    texts_.clear();
    endResetModel();
}

TCertifForm::TCertifForm(Services& services, const LucasLehmerCertificate& certificate, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), services_(services),
      certificate_(certificate) {
    setAutoFillBackground(true);   // no dark frame before the grid paints
    setObjectName(QStringLiteral("CertifForm"));
    setWindowTitle(QStringLiteral("Certificate"));
    model_ = new CertificateModel(certificate_, this);
    ValueList = new QTableView(this);
    ValueList->setObjectName(QStringLiteral("ValueList"));
    ValueList->setModel(model_);
    ValueList->verticalHeader()->hide();
    ValueList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ValueList->verticalHeader()->setDefaultSectionSize(15);
    ValueList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    ValueList->horizontalHeader()->setStretchLastSection(true);
    ValueList->setColumnWidth(0, 35);
    ValueList->setColumnWidth(1, 108);
    ValueList->setWordWrap(false);
    auto* save = new QPushButton(this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip(QStringLiteral("Save the current certificate into a file on the hard drive"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->addWidget(ValueList, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(save);
    row->addStretch();
    row->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);   // resizable under any window manager
    v->addLayout(row);
    OnClick(save, services_.platform, [this] { BitBtn1Click(); });
    // Ctrl+C (and the grid's context menu) copy the current cell whole, however long.
    auto* copy = new QAction(QStringLiteral("&Copy"), ValueList);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    ValueList->addAction(copy);
    ValueList->setContextMenuPolicy(Qt::ActionsContextMenu);
    OnTrigger(copy, services_.platform, [this] {
        const QModelIndex at = ValueList->currentIndex();
        if (at.isValid()) services_.platform.setClipboardText(model_->data(at, Qt::DisplayRole).toString());
    });
    setMinimumSize(120, 100);
    // Wider than the designed 157 pixels when the caption and its buttons need it, so that
    // window managers do not cut "Certificate" short.
    resize(std::max(157, fontMetrics().horizontalAdvance(windowTitle()) * 2 + 110), 287);
    move(545, 157);
}

void TCertifForm::certificateChanged() {
    model_->reload();
    // The key column is as wide as the longest step number, at least its designed 35 pixels.
    const QString widest = QString::number(certificate_.rows() + 2);
    const int width = ValueList->fontMetrics().horizontalAdvance(widest) + 12;
    ValueList->setColumnWidth(0, std::max(35, width));
}

// The folder of the certificates: beside the program when that folder can be written, else
// in the user's data folder (an installed program's folder is read-only).
QString TCertifForm::certificatesDir() const {
    const QString programDir = services_.platform.programDir();
    const QFileInfo folder(programDir);
    const bool own = !folder.exists() || folder.isWritable();
    return (own ? programDir : services_.platform.userDataDir()) + QStringLiteral("Certificates");
}

void TCertifForm::BitBtn1Click() {
    const QString dir = certificatesDir();
    if (!QDir(dir).exists() && !(dir.startsWith(services_.platform.programDir()) ? QDir().mkdir(dir) : QDir().mkpath(dir))) {
        services_.platform.showMessage(QStringLiteral("Unable to create that directory !"));
        return;
    }
    const int64_t label = certificate_.rows() + 2;
    const QString path = dir + QStringLiteral("/") + QString::fromStdString(CertificateFileName(label));
    if (QFile::exists(path)) {
        services_.platform.showMessage(QStringLiteral("The ") + path + QStringLiteral(" already exists !"));
        return;
    }
    // A cancelled or failed save leaves no file: the rows go to a temporary, renamed at the end.
    AtomicFile file(path);
    const QHash<int, QString> edits = model_->edits();
    const bool completed = services_.runner.run(this, QStringLiteral("Saving the certificate..."), [&](Progress& progress) {
        WriteCertificateRows(
            certificate_,
            [&](std::string_view line) { return file.write(line.data(), (qint64)line.size()); }, progress,
            [&](size_t r) -> std::optional<std::string> {
                if (auto it = edits.constFind((int)r); it != edits.cend()) return it->toLocal8Bit().toStdString();
                return std::nullopt;
            },
            std::max(2u, std::thread::hardware_concurrency()));
    });
    if (!completed) return;
    file.commit();
    emit saved(QStringLiteral("Certificate saved in ") + QDir::toNativeSeparators(path));
}

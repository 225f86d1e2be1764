// The certificate window: the residue sequence of the last Mersenne test run with a
// certificate, as a two-column grid, and its save command.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QWidget>
#include <list>

#include "tools/mersenne/lucas_lehmer.h"

struct Services;
class QTableView;

// A view on the program's certificate (filled by the Mersenne tester): rows are recomputed
// from the checkpoints when shown, a few blocks at a time; edited "s=" cells are kept here and
// win over the computed text.
class CertificateModel : public QAbstractTableModel {
public:
    CertificateModel(const LucasLehmerCertificate& certificate, QObject* parent)
        : QAbstractTableModel(parent), certificate_(certificate) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The certificate changed: drop caches and edits.
    void reload();
    // Text of row r's "s=" cell as a save writes it (an edit, else the residue).
    QString valueText(size_t r) const;
    const QHash<int, QString>& edits() const { return edits_; }

private:
    const std::vector<std::vector<uint64_t>>& blockOf(size_t block) const;

    const LucasLehmerCertificate& certificate_;
    QHash<int, QString> edits_;
    mutable std::list<std::pair<size_t, std::vector<std::vector<uint64_t>>>> blocks_;   // newest first
    mutable QHash<int, QString> texts_;
};

class TCertifForm : public QWidget {
    Q_OBJECT
public:
    TCertifForm(Services& services, const LucasLehmerCertificate& certificate, QWidget* parent = nullptr);
    // The certificate was rebuilt: show its rows.
    void certificateChanged();
    void BitBtn1Click();

    CertificateModel* model() const { return model_; }
    QTableView* ValueList;

signals:
    // A save completed; the text says where the file went (for the status bar).
    void saved(const QString& text);

private:
    QString certificatesDir() const;
    Services& services_;
    const LucasLehmerCertificate& certificate_;
    CertificateModel* model_;
};

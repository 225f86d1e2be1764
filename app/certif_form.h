// The certificate window: the residue sequence of the last Mersenne test run with a
// certificate, as a two-column grid, and its save command.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QWidget>
#include <list>

#include "tools/mersenne/lucas_lehmer.h"

class Platform;
class Runner;
class QTableView;

// The program's one certificate, filled by the Mersenne tester.
extern LucasLehmerCertificate MersenneCertificate;

// A view on MersenneCertificate: rows are recomputed from the checkpoints when shown, a few
// blocks at a time; edited "s=" cells are kept here and win over the computed text.
class CertificateModel : public QAbstractTableModel {
public:
    explicit CertificateModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
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

    QHash<int, QString> edits_;
    mutable std::list<std::pair<size_t, std::vector<std::vector<uint64_t>>>> blocks_;   // newest first
    mutable QHash<int, QString> texts_;
};

class TCertifForm : public QWidget {
    Q_OBJECT
public:
    TCertifForm(Platform& platform, Runner& runner, QWidget* parent = nullptr);
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
    Platform& platform_;
    Runner& runner_;
    CertificateModel* model_;
};

extern TCertifForm* CertifForm;

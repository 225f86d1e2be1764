// The divisor finder's tree as an item model: the pairs of a search, or the entries of a
// loaded list, held compactly and turned into text only for the rows a view shows.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QStringList>
#include <vector>

#include "tools/divisors/divisors.h"

class DivisorTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // images[0] marks a square root, images[1] a co-divisor.
    DivisorTreeModel(QIcon squareRoot, QIcon coDivisor, QObject* parent = nullptr);

    // A search's entries: each divisor with its co-divisor as only child, or the square root
    // alone. Building takes a few milliseconds for 100000 entries: no item objects.
    void setPairs(const std::vector<divisors::DivisorPair>& pairs);
    // A loaded list, in tree order (levels as ParseDivisorList gives them).
    void setEntries(const std::vector<divisors::ListEntry>& entries);
    void clear();

    // Every entry at every level.
    int entryCount() const { return (int)nodes_.size(); }
    // One line per entry in tree order, indented by one tab per level.
    QStringList lines() const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    enum Picture : int8_t { None = -1, SquareRoot = 0, CoDivisor = 1 };
    struct Node {
        int32_t parent;       // -1 for a top-level entry
        int32_t row;          // among its siblings
        int32_t firstChild;   // into children_
        int32_t childCount;
        int32_t level;
        int32_t text;         // into texts_, or -1 when the entry is `number`
        uint64_t number;
        int8_t picture;
        bool squareRootMark;  // `number` followed by " (Square root)"
    };

    void rebuild(std::vector<Node> nodes);   // links children in tree order, resets views
    QString textOf(const Node& node) const;
    const Node* node(const QModelIndex& index) const;
    QModelIndex indexOf(int32_t id) const;

    std::vector<Node> nodes_;          // in tree order
    std::vector<int32_t> children_;    // each node's children, contiguous per parent
    int32_t topCount_ = 0;             // the top-level entries are children_[0 .. topCount_)
    QStringList texts_;
    QIcon images_[2];
};

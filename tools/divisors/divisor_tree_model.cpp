// The divisor tree model.
#include "tools/divisors/divisor_tree_model.h"

namespace {

const QString SquareRootMark = QStringLiteral(" (Square root)");

// Views keep expanded entries as persistent indexes, hashed on row * 16 + internal id
// without further mixing; plain node numbers would crowd a few buckets and make expanding
// and collapsing 50000 entries quadratic. An odd multiplier spreads them and is undone by
// its inverse modulo the word size.
constexpr quintptr Spread = (quintptr)0x9E3779B97F4A7C15ULL;
constexpr quintptr Unspread = [] {
    quintptr inverse = Spread;   // Newton's iteration for the inverse modulo 2^bits
    for (int i = 0; i < 7; ++i) inverse *= 2 - Spread * inverse;
    return inverse;
}();
static_assert(Spread * Unspread == 1);

}  // namespace

DivisorTreeModel::DivisorTreeModel(QIcon squareRoot, QIcon coDivisor, QObject* parent)
    : QAbstractItemModel(parent), images_{std::move(squareRoot), std::move(coDivisor)} {}

void DivisorTreeModel::setPairs(const std::vector<divisors::DivisorPair>& pairs) {
    std::vector<Node> nodes;
    nodes.reserve(2 * pairs.size());
    texts_.clear();
    for (const divisors::DivisorPair& pair : pairs) {
        if (pair.squareRoot()) {
            nodes.push_back({-1, 0, 0, 0, 0, -1, pair.divisor, SquareRoot, true});
        } else {
            const int32_t parent = (int32_t)nodes.size();
            nodes.push_back({-1, 0, 0, 0, 0, -1, pair.divisor, None, false});
            nodes.push_back({parent, 0, 0, 0, 1, -1, pair.coDivisor, CoDivisor, false});
        }
    }
    rebuild(std::move(nodes));
}

void DivisorTreeModel::setEntries(const std::vector<divisors::ListEntry>& entries) {
    std::vector<Node> nodes;
    nodes.reserve(entries.size());
    texts_.clear();
    texts_.reserve((qsizetype)entries.size());
    std::vector<int32_t> lastAt;   // the latest node of each level
    for (const divisors::ListEntry& entry : entries) {
        const QString text = QString::fromStdString(entry.text);
        const int8_t picture = text.endsWith(SquareRootMark) ? SquareRoot : entry.level > 0 ? CoDivisor : None;
        const int32_t parent = entry.level == 0 ? -1 : lastAt[(size_t)entry.level - 1];
        lastAt.resize((size_t)entry.level + 1);
        lastAt[(size_t)entry.level] = (int32_t)nodes.size();
        nodes.push_back({parent, 0, 0, 0, entry.level, (int32_t)texts_.size(), 0, picture, false});
        texts_ << text;
    }
    rebuild(std::move(nodes));
}

void DivisorTreeModel::clear() {
    texts_.clear();
    rebuild({});
}

void DivisorTreeModel::rebuild(std::vector<Node> nodes) {
    beginResetModel();
    // Children grouped by parent (the top level first), each group in tree order: a
    // counting sort on the parent, stable because the nodes come in tree order.
    std::vector<int32_t> start(nodes.size() + 2, 0);
    for (const Node& n : nodes) ++start[(size_t)(n.parent + 2)];
    for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    children_.assign(nodes.size(), 0);
    std::vector<int32_t> fill(start.begin(), start.end() - 1);
    for (int32_t id = 0; id < (int32_t)nodes.size(); ++id) {
        Node& n = nodes[(size_t)id];
        const int32_t slot = fill[(size_t)(n.parent + 1)]++;
        n.row = slot - start[(size_t)(n.parent + 1)];
        children_[(size_t)slot] = id;
    }
    // Group k holds the children of node k - 1 (group 0 the top level): start[k] .. start[k + 1].
    for (size_t id = 0; id < nodes.size(); ++id) {
        nodes[id].firstChild = start[id + 1];
        nodes[id].childCount = start[id + 2] - start[id + 1];
    }
    topCount_ = start[1];
    nodes_ = std::move(nodes);
    endResetModel();
}

QStringList DivisorTreeModel::lines() const {
    QStringList out;
    out.reserve((qsizetype)nodes_.size());
    for (const Node& n : nodes_) out << QString(n.level, QLatin1Char('\t')) + textOf(n);
    return out;
}

QString DivisorTreeModel::textOf(const Node& n) const {
    if (n.text >= 0) return texts_[n.text];
    QString text = QString::number(n.number);
    if (n.squareRootMark) text += SquareRootMark;
    return text;
}

const DivisorTreeModel::Node* DivisorTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return nullptr;
    const quintptr id = index.internalId() * Unspread;
    return id < nodes_.size() ? &nodes_[id] : nullptr;
}

QModelIndex DivisorTreeModel::indexOf(int32_t id) const {
    return createIndex(nodes_[(size_t)id].row, 0, (quintptr)id * Spread);
}

QModelIndex DivisorTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row < topCount_ ? indexOf(children_[(size_t)row]) : QModelIndex();
    const Node* p = node(parent);
    if (!p || row >= p->childCount) return {};
    return indexOf(children_[(size_t)(p->firstChild + row)]);
}

QModelIndex DivisorTreeModel::parent(const QModelIndex& child) const {
    const Node* n = node(child);
    return n && n->parent >= 0 ? indexOf(n->parent) : QModelIndex();
}

int DivisorTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return topCount_;
    const Node* p = node(parent);
    return p && parent.column() == 0 ? p->childCount : 0;
}

int DivisorTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool DivisorTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant DivisorTreeModel::data(const QModelIndex& index, int role) const {
    const Node* n = node(index);
    if (!n) return {};
    if (role == Qt::DisplayRole) return textOf(*n);
    if (role == Qt::DecorationRole && n->picture != None) return images_[n->picture];
    return {};
}

Qt::ItemFlags DivisorTreeModel::flags(const QModelIndex& index) const {
    return node(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

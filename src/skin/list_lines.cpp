#include "skin/list_lines.h"

#include <QAccessible>
#include <QListWidget>

namespace skin {
namespace {

// What a list knows of its lines, kept as a child of the list so that it goes with it. The
// facts of every row are kept as last told, so that a change of a line's text can tell what
// changed of its name and checked state.
class LineRecord : public QObject
{
    Q_OBJECT

public:
    explicit LineRecord(QListWidget &list)
        : QObject(&list)
        , m_list(list)
    {
        const QAbstractItemModel *model = list.model();
        connect(model, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) { learn(first, last); });
        connect(model, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first, int last) {
                    if (last < m_known.size())
                        m_known.remove(first, last - first + 1);
                    else
                        relearn();
                });
        connect(model, &QAbstractItemModel::modelReset, this, &LineRecord::relearn);
        connect(model, &QAbstractItemModel::layoutChanged, this, &LineRecord::relearn);
        connect(model, &QAbstractItemModel::rowsMoved, this, &LineRecord::relearn);
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &from, const QModelIndex &to) {
                    for (int row = from.row(); row <= to.row(); ++row)
                        tellChange(row);
                });
    }

    LineDescriber describer;
    int chosen = -1;
    bool marked = false;

    LineFacts facts(int row) const
    {
        if (row < 0 || row >= m_list.count())
            return {};
        const QString text = m_list.item(row)->text();
        return describer ? describer(text) : LineFacts{text.trimmed()};
    }

    void relearn()
    {
        m_known.clear();
        learn(0, m_list.count() - 1);
    }

private:
    void learn(int first, int last)
    {
        if (first > m_known.size()) {
            relearn();
            return;
        }
        for (int row = first; row <= last; ++row)
            m_known.insert(row, facts(row));
    }

    void tellChange(int row)
    {
        if (row < 0 || row >= m_known.size())
            return;
        const LineFacts now = facts(row);
        const LineFacts before = std::exchange(m_known[row], now);
        if (now.name != before.name) {
            QAccessibleEvent event(&m_list, QAccessible::NameChanged);
            event.setChild(row);
            QAccessible::updateAccessibility(&event);
        }
        if (now.checked != before.checked || now.kind != before.kind) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(&m_list, changed);
            event.setChild(row);
            QAccessible::updateAccessibility(&event);
        }
    }

    QListWidget &m_list;
    QList<LineFacts> m_known;
};

LineRecord *recordOf(const QListWidget &list)
{
    return list.findChild<LineRecord *>(QString(), Qt::FindDirectChildrenOnly);
}

LineRecord &ensureRecord(QListWidget &list)
{
    if (LineRecord *record = recordOf(list))
        return *record;
    auto *record = new LineRecord(list);
    record->relearn();
    return *record;
}

void tellLine(QListWidget &list, int row, QAccessible::Event type)
{
    if (row < 0 || row >= list.count())
        return;
    QAccessibleEvent event(&list, type);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void describeLines(QListWidget &list, LineDescriber describer)
{
    LineRecord &record = ensureRecord(list);
    record.describer = std::move(describer);
    record.relearn();
}

LineFacts lineFacts(const QListWidget &list, int row)
{
    if (const LineRecord *record = recordOf(list))
        return record->facts(row);
    if (row < 0 || row >= list.count())
        return {};
    return {list.item(row)->text().trimmed()};
}

int chosenLine(const QListWidget &list)
{
    const LineRecord *record = recordOf(list);
    return record && record->chosen < list.count() ? record->chosen : -1;
}

bool chosenLineMarked(const QListWidget &list)
{
    const LineRecord *record = recordOf(list);
    return record && record->marked && chosenLine(list) >= 0;
}

void setChosenLine(QListWidget &list, int row, bool marked)
{
    LineRecord &record = ensureRecord(list);
    const int before = chosenLine(list);
    record.chosen = row >= 0 && row < list.count() ? row : -1;
    record.marked = marked;
    list.viewport()->update();
    if (record.chosen == before)
        return;
    tellLine(list, before, QAccessible::SelectionRemove);
    tellLine(list, record.chosen, QAccessible::SelectionAdd);
}

void tellCurrentLine(QListWidget &list)
{
    if (list.hasFocus())
        tellLine(list, list.currentRow(), QAccessible::Focus);
}

} // namespace skin

#include "list_lines.moc"

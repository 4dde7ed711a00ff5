#include "skin/accessible_list.h"

#include "platform/device_geometry.h"
#include "skin/list_lines.h"

#include <QAccessibleWidget>
#include <QListWidget>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWindow>

namespace skin {
namespace {

class AccessibleLine : public QAccessibleInterface
{
public:
    AccessibleLine(QListWidget *list, int row)
        : m_list(list)
        , m_index(list->model()->index(row, 0))
    {}

    int row() const { return m_index.row(); }
    // The list, while the line is in it.
    QListWidget *list() const { return m_index.isValid() ? m_list.data() : nullptr; }

    bool isValid() const override { return list() != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        const QListWidget *list = this->list();
        return list ? list->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        QListWidget *list = this->list();
        return list ? QAccessible::queryAccessibleInterface(list) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        const QListWidget *list = this->list();
        return t == QAccessible::Name && list ? lineFacts(*list, row()).name : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        const QListWidget *list = this->list();
        return list ? platform::deviceRect(*list->viewport(), list->visualRect(m_index)) : QRect();
    }

    // A line with a checked state is a check box: this Qt tells screen readers no "checkable"
    // state, and without it they do not speak a list item's checked state.
    QAccessible::Role role() const override
    {
        const QListWidget *list = this->list();
        switch (list ? lineFacts(*list, row()).kind : LineFacts::Kind::Plain) {
        case LineFacts::Kind::Heading:
            return QAccessible::Heading;
        case LineFacts::Kind::Checkable:
            return QAccessible::CheckBox;
        default:
            return QAccessible::ListItem;
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const QListWidget *list = this->list();
        if (!list) {
            state.invalid = true;
            return state;
        }
        const LineFacts line = lineFacts(*list, row());
        state.invisible =
            !list->isVisible() || !list->viewport()->rect().intersects(list->visualRect(m_index));
        state.disabled = !list->isEnabled();
        if (line.kind == LineFacts::Kind::Heading)
            return state;
        state.focusable = state.selectable = true;
        state.focused = list->hasFocus() && list->currentRow() == row();
        state.selected = chosenLine(*list) == row() || list->item(row())->isSelected();
        state.checkable = line.kind == LineFacts::Kind::Checkable;
        state.checked = state.checkable && line.checked;
        return state;
    }

private:
    QPointer<QListWidget> m_list;
    QPersistentModelIndex m_index;
};

class AccessibleSkinList : public QAccessibleWidget
{
public:
    explicit AccessibleSkinList(QListWidget *list)
        : QAccessibleWidget(list, QAccessible::List)
    {}

    ~AccessibleSkinList() override
    {
        for (const Line &line : std::as_const(m_lines))
            QAccessible::deleteAccessibleInterface(line.id);
    }

    QListWidget *list() const { return static_cast<QListWidget *>(widget()); }

    int childCount() const override { return list()->count(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        forgetRemovedLines();
        for (const Line &line : std::as_const(m_lines)) {
            if (line.iface->row() == index)
                return line.iface;
        }
        auto *created = new AccessibleLine(list(), index);
        m_lines.append({created, QAccessible::registerAccessibleInterface(created)});
        return created;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (const Line &line : std::as_const(m_lines)) {
            if (line.iface == child)
                return line.iface->row();
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QWidget &viewport = *list()->viewport();
        const QModelIndex index = list()->indexAt(platform::localPoint(viewport, {x, y}));
        return index.isValid() ? child(index.row()) : nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        return list()->hasFocus() ? child(list()->currentRow()) : nullptr;
    }

    QRect rect() const override { return platform::deviceRect(*list(), list()->rect()); }

private:
    struct Line
    {
        AccessibleLine *iface;
        QAccessible::Id id;
    };

    // A line that is no longer in the list (the list was filled anew) is gone for good.
    void forgetRemovedLines() const
    {
        for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
            if (!m_lines.at(i).iface->isValid())
                QAccessible::deleteAccessibleInterface(m_lines.takeAt(i).id);
        }
    }

    mutable QList<Line> m_lines;
};

} // namespace

QAccessibleInterface *accessibleList(QListWidget *list)
{
    return new AccessibleSkinList(list);
}

} // namespace skin

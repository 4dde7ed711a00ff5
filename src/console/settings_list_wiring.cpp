#include "console/settings_list_wiring.h"

#include "console/settings_list_click.h"
#include "skin/skinned_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

// The list view would select on press, again on every move with the button held and once more
// at a double click. The click handler clears the selection each time, so each of those would
// count as a new click: a switch would flip back and forth under a hand that trembles. Here a
// press selects the line under the pointer once and the view sees no other button event.
class OneClickPerPress : public QObject
{
public:
    OneClickPerPress(QListWidget &list, SkinnedWindow &window, int index)
        : QObject(&list)
        , m_list(list)
        , m_window(window)
        , m_index(index)
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            press(*static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                OnSettingsListDoubleClick(m_window, m_index);
            return true;
        case QEvent::MouseButtonRelease:
            return true;
        case QEvent::MouseMove:
            return static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    void press(const QMouseEvent &event)
    {
        if (event.button() != Qt::LeftButton)
            return;
        QListWidgetItem *item = m_list.itemAt(event.position().toPoint());
        if (!item)
            return;
        // A line still current from code would not count as newly selected.
        m_list.setCurrentItem(nullptr);
        m_list.setCurrentItem(item);
    }

    QListWidget &m_list;
    SkinnedWindow &m_window;
    int m_index;
};

// The keyboard moves through a list's lines without choosing them, since a line that becomes
// current is a click: the focus arriving in the list (which makes its first line current) and
// the moving keys run with the list's signals held back. Enter or Space chooses the line, as a
// press of the mouse on it does.
class KeyboardChoice : public QObject
{
public:
    explicit KeyboardChoice(QListWidget &list)
        : QObject(&list)
        , m_list(list)
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (isChoiceKey(*key)) {
                choose();
                return true;
            }
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return QObject::eventFilter(watched, event);
        } else if (event->type() != QEvent::FocusIn) {
            return QObject::eventFilter(watched, event);
        }
        const QSignalBlocker quiet(&m_list);
        static_cast<QObject &>(m_list).event(event);
        return true;
    }

private:
    static bool isChoiceKey(const QKeyEvent &key)
    {
        return !key.isAutoRepeat() && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
                                       key.key() == Qt::Key_Space);
    }

    void choose()
    {
        QListWidgetItem *item = m_list.currentItem();
        if (!item)
            return;
        m_list.setCurrentItem(nullptr);
        m_list.setCurrentItem(item);
    }

    QListWidget &m_list;
};

} // namespace

void connectSettingsLists(SkinnedWindow &window, const skin::Theme &theme, int &SelectedLine)
{
    const QString names[] = {QStringLiteral("Buttons"), QStringLiteral("Themes"),
                             QStringLiteral("Switches")};
    for (int index = 1; index <= 3; ++index) {
        QListWidget *list = window.lstBox(index);
        if (!list)
            continue;
        list->setAccessibleName(names[index - 1]);
        // Clearing the selection (by the handler or by a refill) is no click.
        QObject::connect(list, &QListWidget::currentRowChanged, list,
                         [&window, &theme, &SelectedLine, index](int row) {
                             if (row >= 0)
                                 OnSettingsListClick(window, theme, index, SelectedLine);
                         });
        list->viewport()->installEventFilter(new OneClickPerPress(*list, window, index));
        list->installEventFilter(new KeyboardChoice(*list));
    }
}

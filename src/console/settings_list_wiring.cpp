#include "console/settings_list_wiring.h"

#include "console/result_words.h"
#include "console/settings_entries.h"
#include "console/settings_list_click.h"
#include "skin/announcer.h"
#include "skin/line_look.h"
#include "skin/list_lines.h"
#include "skin/skinned_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

constexpr int protectionList = 1;
constexpr int themeList = 2;
constexpr int switchList = 3;

bool isHeading(const QListWidget &list, int row)
{
    return skin::lineFacts(list, row).kind == skin::LineFacts::Kind::Heading;
}

// One line chosen by the person: the click handler has run on it. The line becomes the chosen
// one (marked when the keyboard chose it) and what came of it is told.
class Choice
{
public:
    Choice(SkinnedWindow &window, int index)
        : m_window(window)
        , m_index(index)
    {}

    void told(QListWidget &list, int row, const QString &lineBefore, bool byKeyboard) const
    {
        if (row < 0 || row >= list.count() || isHeading(list, row))
            return;
        skin::setChosenLine(list, row, byKeyboard);
        skin::announce(m_window, words(list.item(row)->text(), lineBefore));
    }

private:
    QString words(const QString &line, const QString &lineBefore) const
    {
        switch (m_index) {
        case protectionList: {
            QList<const QLabel *> labels;
            for (int label = 1; label <= 6; ++label)
                labels.append(m_window.lblInfo(label));
            const QString shown = console::labelWords(labels);
            return shown.isEmpty() ? console::lineText(line) : shown;
        }
        case themeList:
            return console::themeChosenWords(line);
        case switchList:
            // A switch whose write failed keeps its line; the message box says why.
            return line == lineBefore ? QString() : console::switchWords(line);
        default:
            return {};
        }
    }

    SkinnedWindow &m_window;
    int m_index;
};

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
        const int row = m_list.row(item);
        const QString before = item->text();
        // A line still current from code would not count as newly selected.
        m_list.setCurrentItem(nullptr);
        m_list.setCurrentItem(item);
        Choice(m_window, m_index).told(m_list, row, before, false);
    }

    QListWidget &m_list;
    SkinnedWindow &m_window;
    int m_index;
};

// The keyboard moves through a list's lines without choosing them and passes over its headings:
// the focus arriving in the list and the moving keys run with the list's signals held back, since
// a line that becomes current by the mouse or from code is a click. The focus arrives on the line
// chosen last. Enter or Space chooses the line the keyboard is on, and the keyboard stays there.
class KeyboardChoice : public QObject
{
public:
    KeyboardChoice(QListWidget &list, SkinnedWindow &window, const skin::Theme &theme,
                   int &SelectedLine, int index)
        : QObject(&list)
        , m_list(list)
        , m_window(window)
        , m_theme(theme)
        , m_selectedLine(SelectedLine)
        , m_index(index)
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const QSignalBlocker quiet(&m_list);
            returnToChosenLine();
            static_cast<QObject &>(m_list).event(event);
            QMetaObject::invokeMethod(
                &m_list, [list = &m_list] { skin::tellCurrentLine(*list); }, Qt::QueuedConnection);
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            // The line the keyboard leaves is not chosen: a click on it, by the mouse or from
            // code, must find it newly current.
            static_cast<QObject &>(m_list).event(event);
            const QSignalBlocker quiet(&m_list);
            m_list.setCurrentItem(nullptr);
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isChoiceKey(*key)) {
            choose();
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return QObject::eventFilter(watched, event);
        const QSignalBlocker quiet(&m_list);
        static_cast<QObject &>(m_list).event(event);
        passHeading(isBackward(key->key()) ? -1 : 1);
        return true;
    }

private:
    static bool isChoiceKey(const QKeyEvent &key)
    {
        return !key.isAutoRepeat() && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
                                       key.key() == Qt::Key_Space);
    }

    static bool isBackward(int key)
    {
        return key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_End;
    }

    // The nearest line from row on in direction step that is no heading; -1 when there is none.
    int lineFrom(int row, int step) const
    {
        for (; row >= 0 && row < m_list.count(); row += step) {
            if (!isHeading(m_list, row))
                return row;
        }
        return -1;
    }

    void moveTo(int row)
    {
        if (row < 0 || row == m_list.currentRow())
            return;
        m_list.setCurrentRow(row, QItemSelectionModel::NoUpdate);
        m_list.scrollToItem(m_list.item(row));
    }

    void returnToChosenLine()
    {
        const int chosen = skin::chosenLine(m_list);
        const int current = m_list.currentRow();
        moveTo(chosen >= 0 ? chosen : lineFrom(std::max(current, 0), 1));
    }

    void passHeading(int step)
    {
        const int current = m_list.currentRow();
        if (current < 0 || !isHeading(m_list, current))
            return;
        const int ahead = lineFrom(current, step);
        moveTo(ahead >= 0 ? ahead : lineFrom(current, -step));
    }

    void choose()
    {
        const int row = m_list.currentRow();
        if (row < 0 || isHeading(m_list, row))
            return;
        const QString before = m_list.item(row)->text();
        OnSettingsListClick(m_window, m_theme, m_index, m_selectedLine);
        Choice(m_window, m_index).told(m_list, row, before, true);
    }

    QListWidget &m_list;
    SkinnedWindow &m_window;
    const skin::Theme &m_theme;
    int &m_selectedLine;
    int m_index;
};

skin::LineDescriber describerOf(int index)
{
    switch (index) {
    case protectionList:
        return console::protectionLineFacts;
    case switchList:
        return console::switchLineFacts;
    default:
        return {};
    }
}

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
        skin::describeLines(*list, describerOf(index));
        // The current line is a click and the chosen line is the console's own: the system's
        // selection colours would only mark the line the keyboard passes.
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setItemDelegate(new skin::LineLook(list));
        // Clearing the selection (by the handler or by a refill) is no click.
        QObject::connect(list, &QListWidget::currentRowChanged, list,
                         [&window, &theme, &SelectedLine, index](int row) {
                             if (row >= 0)
                                 OnSettingsListClick(window, theme, index, SelectedLine);
                         });
        list->viewport()->installEventFilter(new OneClickPerPress(*list, window, index));
        list->installEventFilter(new KeyboardChoice(*list, window, theme, SelectedLine, index));
    }
}

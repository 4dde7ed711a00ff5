#include "platform/password_field.h"

#include "platform/password_field_access.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace platform {
namespace {

// Inside the frame, as a line edit keeps its text off the frame.
constexpr int textMargin = 2;

bool typesText(const QKeyEvent &event)
{
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint() &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

// A pasted text goes in as one line, the way a line edit takes it.
QString firstLine(const QString &text)
{
    return text.section(u'\n', 0, 0).remove(u'\r');
}

void wipe(QString &text)
{
    if (text.isDetached())
        std::fill(text.begin(), text.end(), QChar());
    text.clear();
}

} // namespace

PasswordField::PasswordField(QWidget *parent)
    : QWidget(parent)
    , m_mask(QChar(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this)))
{
    installPasswordFieldAccess();
    // Room for any password, so that typing never moves the text and leaves a copy behind.
    m_text.reserve(256);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMasked(true);
}

PasswordField::~PasswordField()
{
    wipe(m_text);
}

void PasswordField::setText(const QString &text)
{
    remove(0, m_text.size());
    insert(firstLine(text));
}

void PasswordField::setMasked(bool masked)
{
    m_masked = masked;
    setInputMethodHints(masked ? Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                     Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase
                               : Qt::ImhNone);
    update();
}

void PasswordField::setMaskCharacter(QChar mask)
{
    m_mask = mask;
    update();
}

QString PasswordField::displayText() const
{
    return m_masked ? QString(m_text.size(), m_mask) : m_text;
}

void PasswordField::setCursorPosition(int position)
{
    const int clamped = std::clamp(position, 0, int(m_text.size()));
    if (clamped == m_cursor)
        return;
    m_cursor = clamped;
    update();
    QAccessibleTextCursorEvent event(this, m_cursor);
    QAccessible::updateAccessibility(&event);
}

QRect PasswordField::textArea() const
{
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(textMargin, 0, -textMargin, 0);
}

int PasswordField::scrolled() const
{
    const int caret = fontMetrics().horizontalAdvance(displayText().left(m_cursor));
    return std::max(0, caret - textArea().width() + 1);
}

QRect PasswordField::characterRect(int offset) const
{
    const QString shown = displayText();
    const QFontMetrics metrics = fontMetrics();
    const QRect area = textArea();
    const int x = area.left() - scrolled() + metrics.horizontalAdvance(shown.left(offset));
    const int width = offset < shown.size() ? metrics.horizontalAdvance(shown.at(offset)) : 1;
    const int top = area.top() + (area.height() - metrics.height()) / 2;
    return {x, top, width, metrics.height()};
}

int PasswordField::positionAt(QPoint point) const
{
    int best = 0;
    for (int offset = 0; offset <= m_text.size(); ++offset) {
        if (std::abs(characterRect(offset).left() - point.x()) <
            std::abs(characterRect(best).left() - point.x()))
            best = offset;
    }
    return best;
}

QSize PasswordField::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(u'x') * 17 + 4 * textMargin, metrics.height() + 8};
}

QSize PasswordField::minimumSizeHint() const
{
    return {4 * textMargin + fontMetrics().maxWidth(), fontMetrics().height() + 4};
}

QVariant PasswordField::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // An input method is told where to put its window and nothing of what was typed.
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return characterRect(m_cursor);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return m_masked ? 0 : m_cursor;
    case Qt::ImSurroundingText:
        return m_masked ? QString() : m_text;
    case Qt::ImCurrentSelection:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        return QString();
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void PasswordField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);

    const QRect area = textArea();
    painter.setClipRect(area);
    painter.setPen(palette().color(QPalette::Text));
    const QRect first = characterRect(0);
    painter.drawText(QPoint(first.left(), first.top() + fontMetrics().ascent()), displayText());
    if (hasFocus())
        painter.fillRect(QRect(characterRect(m_cursor).topLeft(), QSize(1, first.height())),
                         palette().color(QPalette::Text));
}

void PasswordField::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit returnPressed();
    } else if (event->matches(QKeySequence::Paste)) {
        insert(firstLine(QGuiApplication::clipboard()->text()));
    } else if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
               event->matches(QKeySequence::SelectAll)) {
        // Nothing is selected and nothing leaves: taken, so that no other widget acts on it.
    } else if (key == Qt::Key_Backspace && (event->modifiers() & Qt::ControlModifier)) {
        remove(0, m_cursor);
    } else if (key == Qt::Key_Backspace) {
        remove(m_cursor - 1, m_cursor > 0 ? 1 : 0);
    } else if (key == Qt::Key_Delete) {
        remove(m_cursor, m_cursor < m_text.size() ? 1 : 0);
    } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
        setCursorPosition(m_cursor + (key == Qt::Key_Left ? -1 : 1));
    } else if (key == Qt::Key_Home || key == Qt::Key_End) {
        setCursorPosition(key == Qt::Key_Home ? 0 : int(m_text.size()));
    } else if (typesText(*event)) {
        insert(event->text());
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PasswordField::inputMethodEvent(QInputMethodEvent *event)
{
    // The field shows no pre-edit text: it could show a character in clear.
    insert(event->commitString());
    event->accept();
}

void PasswordField::mousePressEvent(QMouseEvent *event)
{
    setCursorPosition(positionAt(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}

void PasswordField::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void PasswordField::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void PasswordField::insert(const QString &typed)
{
    if (typed.isEmpty())
        return;
    const int at = m_cursor;
    m_text.insert(at, typed);
    m_cursor = at + int(typed.size());
    update();
    QAccessibleTextInsertEvent inserted(this, at, displayText().mid(at, typed.size()));
    QAccessible::updateAccessibility(&inserted);
    QAccessibleTextCursorEvent moved(this, m_cursor);
    QAccessible::updateAccessibility(&moved);
}

void PasswordField::remove(int from, int count)
{
    if (from < 0 || count <= 0)
        return;
    const QString told = displayText().mid(from, count);
    std::fill(m_text.begin() + from, m_text.begin() + from + count, QChar());
    m_text.remove(from, count);
    m_cursor = from;
    update();
    QAccessibleTextRemoveEvent removed(this, from, told);
    QAccessible::updateAccessibility(&removed);
    QAccessibleTextCursorEvent moved(this, m_cursor);
    QAccessible::updateAccessibility(&moved);
}

} // namespace platform

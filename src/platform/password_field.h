#pragma once

#include <QString>
#include <QWidget>

namespace platform {

// The one-line entry of every password the console asks for. What is typed stays in the field:
// it shows one mask character per character typed, and assistive technology and input methods
// learn nothing more (a mask character per key at most); nothing can be selected, copied, cut or
// dragged out of it. Pasting into it works. Its caret does not blink, so an idle field runs no
// timer. In the console's application (platform::ConsoleApplication) the keyboard listeners of
// the accessibility bus do not hear the keys typed into it either.
//
// Unmasked (setMasked(false)) it is a plain entry that shows and tells what it holds.
class PasswordField : public QWidget
{
    Q_OBJECT

public:
    explicit PasswordField(QWidget *parent = nullptr);
    // Overwrites the typed text before its memory goes.
    ~PasswordField() override;

    QString text() const { return m_text; }
    void setText(const QString &text);
    void clear() { setText({}); }

    bool isMasked() const { return m_masked; }
    void setMasked(bool masked);
    // One character shown for each character typed; by default the style's.
    void setMaskCharacter(QChar mask);

    // What the field shows and tells: the mask, or the text when unmasked.
    QString displayText() const;

    int cursorPosition() const { return m_cursor; }
    void setCursorPosition(int position);

    // Where the field draws character `offset` of displayText() (the caret's place at the end);
    // and the character position nearest to point. In the field's pixels.
    QRect characterRect(int offset) const;
    int positionAt(QPoint point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void returnPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void insert(const QString &typed);
    void remove(int from, int count);
    // The text area inside the frame, and how far it is scrolled to keep the caret in view.
    QRect textArea() const;
    int scrolled() const;

    QString m_text;
    int m_cursor = 0;
    bool m_masked = true;
    QChar m_mask;
};

} // namespace platform

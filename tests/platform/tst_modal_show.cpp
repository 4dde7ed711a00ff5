// The modal show of a window and the system's input prompt, which block for a person.

#include "platform/message_box.h"
#include "platform/modal_show.h"

#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

class TestModalShow : public QObject
{
    Q_OBJECT

private slots:
    void returnsWhenTheWindowClosesOrIsDeleted();
    void passwordPromptIsMasked();
};

void TestModalShow::returnsWhenTheWindowClosesOrIsDeleted()
{
    QWidget window;
    bool wasModalAndShown = false;
    QTimer::singleShot(0, &window, [&] {
        wasModalAndShown = window.isVisible() && window.isModal();
        window.close();
    });
    platform::showModal(window);
    QVERIFY(wasModalAndShown && !window.isVisible());

    QPointer<QWidget> deleted = new QWidget;
    QTimer::singleShot(0, deleted, [&] { delete deleted.data(); });
    platform::showModal(*deleted);
    QVERIFY(deleted.isNull());
}

void TestModalShow::passwordPromptIsMasked()
{
    // Masked on screen, and a password field to screen readers.
    bool masked = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QLineEdit *line = dialog ? dialog->findChild<QLineEdit *>() : nullptr;
        if (!line)
            return;
        masked = line->echoMode() == QLineEdit::Password &&
                 QAccessible::queryAccessibleInterface(line)->state().passwordEdit;
        line->setText("s3cret");
        dialog->accept();
    });
    QCOMPARE(platform::inputPrompt("New:", "KESTA Terminal", {}, platform::PromptEcho::Password),
             "s3cret");
    QVERIFY(masked);
}

QTEST_MAIN(TestModalShow)
#include "tst_modal_show.moc"

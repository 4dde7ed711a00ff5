#include "platform/message_box.h"
#include "platform/modal_show.h"

#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

class TestModalShow : public QObject
{
    Q_OBJECT

private slots:
    void returnsWhenTheWindowCloses();
    void returnsWhenTheWindowIsDeleted();
    void passwordPromptIsMasked();
};

void TestModalShow::returnsWhenTheWindowCloses()
{
    QWidget window;
    bool wasModalAndShown = false;
    QTimer::singleShot(0, &window, [&] {
        wasModalAndShown = window.isVisible() && window.isModal();
        window.close();
    });
    platform::showModal(window);
    QVERIFY(wasModalAndShown);
    QVERIFY(!window.isVisible());
}

void TestModalShow::returnsWhenTheWindowIsDeleted()
{
    QPointer<QWidget> window = new QWidget;
    QTimer::singleShot(0, window, [&] { delete window.data(); });
    platform::showModal(*window);
    QVERIFY(window.isNull());
}

void TestModalShow::passwordPromptIsMasked()
{
    // Masked on screen, and a password field to screen readers.
    bool masked = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (QLineEdit *line = dialog ? dialog->findChild<QLineEdit *>() : nullptr) {
            masked = line->echoMode() == QLineEdit::Password &&
                     QAccessible::queryAccessibleInterface(line)->state().passwordEdit;
            line->setText("s3cret");
        }
        if (dialog)
            dialog->accept();
    });
    QCOMPARE(platform::inputPrompt("New:", "KESTA Terminal", {}, platform::PromptEcho::Password),
             "s3cret");
    QVERIFY(masked);
}

QTEST_MAIN(TestModalShow)
#include "tst_modal_show.moc"

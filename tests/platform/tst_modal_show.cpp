#include "platform/modal_show.h"

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

QTEST_MAIN(TestModalShow)
#include "tst_modal_show.moc"

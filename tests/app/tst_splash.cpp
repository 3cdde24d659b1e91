#include <app/splash.h>

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace lexordo;

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void showsItsTexts();
    void closesAfterFourSeconds();
    void clickOpensTheNextWindowOnce();
};

void TestSplash::showsItsTexts()
{
    Splash splash([] {});
    QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
    auto *title = splash.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(title);
    QCOMPARE(title->text(), QStringLiteral("Lexordo"));
    QCOMPARE(title->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblPlatform"))->text(),
             QStringLiteral("Software"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version 2.0"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblVersion"))->font().family(),
             QStringLiteral("Arial"));
    QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("imgLogo"))->pixmap().isNull());
    auto *timer = splash.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 4000);
    QVERIFY(timer->isActive());
}

void TestSplash::closesAfterFourSeconds()
{
    int opened = 0;
    QPointer<Splash> splash = new Splash([&opened] { ++opened; });
    splash->show();
    auto *timer = splash->findChild<QTimer *>(QStringLiteral("Timer1"));
    timer->start(20); // the same timer, run faster
    QTRY_COMPARE(opened, 1);
    QTRY_VERIFY(splash.isNull());
}

void TestSplash::clickOpensTheNextWindowOnce()
{
    int opened = 0;
    QPointer<Splash> splash = new Splash([&opened] { ++opened; });
    splash->show();
    auto *timer = splash->findChild<QTimer *>(QStringLiteral("Timer1"));
    QTest::mouseClick(splash->findChild<QWidget *>(QStringLiteral("Frame1")), Qt::LeftButton);
    QCOMPARE(opened, 1);
    QVERIFY(!timer->isActive());
    QTest::mouseClick(splash->findChild<QWidget *>(QStringLiteral("Frame1")), Qt::LeftButton);
    QCOMPARE(opened, 1);
    QTRY_VERIFY(splash.isNull());
    QTest::qWait(50);
    QCOMPARE(opened, 1);
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"

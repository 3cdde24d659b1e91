#include <app/splash.h>
#include <QColor>
#include <QImage>
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
    void versionLineIsClearOfThePicturesRule();
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
    // Gone with its timer, so nothing is left that could open the window again.
    QCoreApplication::processEvents();
    QCOMPARE(opened, 1);
}

// The picture behind the texts has a rule across it; no text may stand on it.
void TestSplash::versionLineIsClearOfThePicturesRule()
{
    Splash splash([] {});
    const QImage picture =
        QImage(QStringLiteral(":/images/splash.png")).scaled(splash.size(), Qt::IgnoreAspectRatio);
    QVERIFY(!picture.isNull());
    QList<int> ruleRows;
    for (int y = 4; y < picture.height(); ++y) {
        const int here = qGray(picture.pixel(picture.width() / 2, y));
        const int above = qGray(picture.pixel(picture.width() / 2, y - 4));
        if (std::abs(here - above) > 6)
            ruleRows << y;
    }
    QVERIFY(!ruleRows.isEmpty()); // the rule is found
    for (const char *name : {"Label1", "lblPlatform", "lblVersion"}) {
        auto *label = splash.findChild<QLabel *>(QLatin1String(name));
        const QRect place(label->mapTo(&splash, QPoint(0, 0)), label->size());
        for (int y : std::as_const(ruleRows))
            QVERIFY2(y < place.top() || y > place.bottom(), name);
    }
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"

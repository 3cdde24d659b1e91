#include <browser/browser.h>
#include <browser/webpageview.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace lexordo;

// The browser window on the real web engine, offscreen.
class TestWebPageView : public QObject
{
    Q_OBJECT

public:
    static void initMain() { prepareWebEngine(); }

private slots:
    void loadsALocalPageAndShowsItsTitle();
};

void TestWebPageView::loadsALocalPageAndShowsItsTitle()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cause list.html"));
    QFile page(path);
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write(QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                              "<title>Cause List — उच्च न्यायालय</title></head>"
                              "<body><h1>Cause List</h1></body></html>")
                   .toUtf8());
    page.close();

    auto *browser = new Browser;
    QPointer<Browser> guard(browser);
    browser->resize(800, 600);
    browser->show();
    // The blank start page comes first.
    QTRY_COMPARE_WITH_TIMEOUT(
        browser->findChild<QComboBox *>(QStringLiteral("cboAddress"))->itemText(0),
        QStringLiteral("about:blank"), 60000);

    auto *address = browser->findChild<QComboBox *>(QStringLiteral("cboAddress"));
    QLineEdit *edit = address->lineEdit();
    // A fresh browser: the blank page's address is typed over, and a bare
    // path of this computer opens as a file.
    QTRY_COMPARE(edit->selectedText(), QStringLiteral("about:blank"));
    const QString url = QUrl::fromLocalFile(path).toString();
    QTest::keyClicks(address, path);
    QTest::keyClick(address, Qt::Key_Enter, Qt::KeypadModifier);

    QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), QStringLiteral("Cause List — उच्च न्यायालय"),
                              60000);
    QTRY_COMPARE_WITH_TIMEOUT(address->itemText(0), url, 60000);
    QCOMPARE(browser->pageView()->title(), QStringLiteral("Cause List — उच्च न्यायालय"));
    QCOMPARE(browser->pageView()->address(), url);
    QCOMPARE(address->count(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!browser->busyTimer()->isActive(), 60000);
    delete guard;
}

QTEST_MAIN(TestWebPageView)
#include "tst_webpageview.moc"

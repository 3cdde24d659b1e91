#include "fakepageview.h"
#include "support/scriptedmessenger.h"

#include <browser/address.h>
#include <browser/browser.h>
#include <browser/browsersettings.h>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

using namespace lexordo;
using namespace lexordo::test;

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnABlankPageWithItsControls();
    void addressListHoldsEachAddressOnceNewestFirst();
    void rewritingTheListNeverStartsANavigation();
    void enterOrAChoiceInTheListNavigates();
    void titleFollowsThePageAndSaysWorkingWhileBusy();
    void backWithNoEarlierPageChangesNothingVisible();
    void toolbarKeys();
    void homeAndSearchPagesAreConfigurable();
    void typedAddressMeans_data();
    void typedAddressMeans();
    void typingReplacesTheAddressShown();
    void pageThatCannotLoadSaysWhy();

private:
    QComboBox *address() const
    {
        return m_browser->findChild<QComboBox *>(QStringLiteral("cboAddress"));
    }
    QStringList addresses() const;
    void press(const char *key);

    std::unique_ptr<ScriptedMessenger> m_messages;
    QPointer<Browser> m_browser;
    FakePageView *m_view = nullptr;
};

void TestBrowser::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestBrowser::init()
{
    QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"))
        .remove(QStringLiteral("browser"));
    m_messages = std::make_unique<ScriptedMessenger>();
    m_view = new FakePageView;
    m_browser = new Browser(m_view);
    m_browser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_browser));
}

void TestBrowser::cleanup()
{
    delete m_browser;
    // Nothing else was said to the user.
    QCOMPARE(m_messages->texts(), QStringList());
    m_messages.reset();
}

QStringList TestBrowser::addresses() const
{
    QStringList list;
    for (int i = 0; i < address()->count(); ++i)
        list << address()->itemText(i);
    return list;
}

void TestBrowser::press(const char *key)
{
    auto *toolbar = m_browser->findChild<QToolBar *>(QStringLiteral("tbToolBar"));
    QAction *action = m_browser->findChild<QAction *>(QString::fromLatin1(key));
    QVERIFY(toolbar && action);
    QTest::mouseClick(toolbar->widgetForAction(action), Qt::LeftButton);
}

void TestBrowser::opensOnABlankPageWithItsControls()
{
    QCOMPARE(m_browser->objectName(), QStringLiteral("frmBrowser"));
    QCOMPARE(m_view->navigations, QStringList{QStringLiteral("about:blank")});
    QCOMPARE(addresses(), QStringList{QStringLiteral("about:blank")});
    QCOMPARE(address()->currentText(), QStringLiteral("about:blank"));
    // The cursor waits in the address box, its text selected to be typed over.
    QCOMPARE(m_browser->focusWidget(), address());
    QCOMPARE(address()->lineEdit()->selectedText(), QStringLiteral("about:blank"));
    QVERIFY(m_browser->busyTimer()->isActive());
    QCOMPARE(m_browser->busyTimer()->interval(), 5);

    auto *label = m_browser->findChild<QLabel *>(QStringLiteral("lblAddress"));
    QCOMPARE(label->text(), QStringLiteral("&Address:"));
    QCOMPARE(label->buddy(), address());
    QCOMPARE(m_browser->findChild<QWidget *>(QStringLiteral("brwWebBrowser")), m_view->widget());

    QStringList keys;
    for (QAction *action :
         m_browser->findChild<QToolBar *>(QStringLiteral("tbToolBar"))->actions()) {
        QCOMPARE(action->text(), action->objectName());
        QVERIFY(!action->icon().isNull());
        keys << action->objectName();
    }
    QCOMPARE(keys, (QStringList{"Back", "Forward", "Stop", "Refresh", "Home", "Search"}));
}

void TestBrowser::addressListHoldsEachAddressOnceNewestFirst()
{
    m_view->complete(QStringLiteral("about:blank"), QStringLiteral("about:blank"));
    QCOMPARE(addresses(), QStringList{QStringLiteral("about:blank")});
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    m_view->complete(QStringLiteral("https://indiankanoon.org/"), QStringLiteral("Indian Kanoon"));
    QCOMPARE(addresses(),
             (QStringList{"https://indiankanoon.org/", "https://ecourts.gov.in/", "about:blank"}));

    // Visiting an address again moves it to the top.
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    QCOMPARE(addresses(),
             (QStringList{"https://ecourts.gov.in/", "https://indiankanoon.org/", "about:blank"}));
    QCOMPARE(address()->currentIndex(), 0);
    QCOMPARE(address()->currentText(), QStringLiteral("https://ecourts.gov.in/"));

    // Addresses are compared exactly: another letter case is another address.
    m_view->complete(QStringLiteral("https://ECOURTS.gov.in/"), QStringLiteral("eCourts"));
    QCOMPARE(addresses().size(), 4);
    QCOMPARE(addresses().first(), QStringLiteral("https://ECOURTS.gov.in/"));
}

void TestBrowser::rewritingTheListNeverStartsANavigation()
{
    const QStringList before = m_view->navigations;
    int entered = 0;
    connect(address(), &QComboBox::currentTextChanged, this, [this, &entered] {
        // The list is rewritten under the flag, and the flag is down again after.
        QVERIFY(m_browser->suppressed());
        ++entered;
    });
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    m_view->complete(QStringLiteral("about:blank"), QStringLiteral("about:blank"));
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    QVERIFY(entered > 0);
    QVERIFY(!m_browser->suppressed());
    QCOMPARE(m_view->navigations, before);
}

void TestBrowser::enterOrAChoiceInTheListNavigates()
{
    m_view->complete(QStringLiteral("about:blank"), QString());
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    m_browser->busyTimer()->stop();
    m_view->navigations.clear();

    QLineEdit *edit = address()->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("https://www.sci.gov.in/"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(m_view->navigations, QStringList{QStringLiteral("https://www.sci.gov.in/")});
    QVERIFY(m_browser->busyTimer()->isActive());
    // A typed address joins the list once its page has come.
    QCOMPARE(addresses().size(), 2);

    // Enter on an address already in the list navigates once.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("about:blank"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(m_view->navigations.size(), 2);
    QCOMPARE(m_view->navigations.last(), QStringLiteral("about:blank"));

    // Leaving the box with a text of the list is no choice.
    QTest::keyClick(address(), Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(address()->view()->isVisible());
    QCOMPARE(m_view->navigations.size(), 2);

    // Choosing from the list navigates to the choice, by key or by mouse.
    address()->view()->setCurrentIndex(address()->model()->index(0, 0));
    QTest::keyClick(address()->view(), Qt::Key_Down);
    QTest::keyClick(address()->view(), Qt::Key_Return);
    QCOMPARE(m_view->navigations.size(), 3);
    QCOMPARE(m_view->navigations.last(), QStringLiteral("about:blank"));
    QTRY_VERIFY(!address()->view()->isVisible());

    address()->showPopup();
    QTRY_VERIFY(address()->view()->isVisible());
    const QRect first = address()->view()->visualRect(address()->model()->index(0, 0));
    QTest::mouseClick(address()->view()->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(m_view->navigations.size(), 4);
    QCOMPARE(m_view->navigations.last(), QStringLiteral("https://ecourts.gov.in/"));

    // An address the view cannot take goes nowhere, and the user is told why.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("not an address"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(m_view->navigations.size(), 4);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("That is not a web address.")});
    m_messages->clear();
}

void TestBrowser::titleFollowsThePageAndSaysWorkingWhileBusy()
{
    m_view->busy = true;
    QTRY_COMPARE(m_browser->windowTitle(), QStringLiteral("Working..."));
    QVERIFY(m_browser->busyTimer()->isActive());

    m_view->pageTitle = QStringLiteral("ಕರ್ನಾಟಕ ಉಚ್ಚ ನ್ಯಾಯಾಲಯ"); // every Indian script shows
    m_view->busy = false;
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    QCOMPARE(m_browser->windowTitle(), QStringLiteral("ಕರ್ನಾಟಕ ಉಚ್ಚ ನ್ಯಾಯಾಲಯ"));

    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts Services"));
    QCOMPARE(m_browser->windowTitle(), QStringLiteral("eCourts Services"));

    // A link followed in the page shows the indicator too.
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    m_view->start();
    QVERIFY(m_browser->busyTimer()->isActive());
    QTRY_COMPARE(m_browser->windowTitle(), QStringLiteral("Working..."));
    m_view->complete(QStringLiteral("https://ecourts.gov.in/case-status"),
                     QStringLiteral("Case Status"));
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    QCOMPARE(m_browser->windowTitle(), QStringLiteral("Case Status"));
    m_view->retitle(QStringLiteral("Case Status: Crl. A. 5/2026"));
    QCOMPARE(m_browser->windowTitle(), QStringLiteral("Case Status: Crl. A. 5/2026"));
}

void TestBrowser::backWithNoEarlierPageChangesNothingVisible()
{
    m_view->complete(QStringLiteral("about:blank"), QStringLiteral("Blank"));
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    const QStringList listBefore = addresses();
    const QString titleBefore = m_browser->windowTitle();

    press("Back");
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    QCOMPARE(m_view->backs, 0);
    QCOMPARE(addresses(), listBefore);
    QCOMPARE(address()->currentText(), QStringLiteral("about:blank"));
    QCOMPARE(m_browser->windowTitle(), titleBefore);

    press("Forward");
    QTRY_VERIFY(!m_browser->busyTimer()->isActive());
    QCOMPARE(addresses(), listBefore);
    QCOMPARE(m_browser->windowTitle(), titleBefore);

    // With an earlier page, Back goes there and the list follows.
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    press("Back");
    QCOMPARE(m_view->backs, 1);
    QCOMPARE(address()->currentText(), QStringLiteral("about:blank"));
    QCOMPARE(addresses(), (QStringList{"about:blank", "https://ecourts.gov.in/"}));
}

void TestBrowser::toolbarKeys()
{
    m_view->complete(QStringLiteral("https://ecourts.gov.in/"), QStringLiteral("eCourts"));
    m_view->navigations.clear();

    press("Refresh");
    QCOMPARE(m_view->refreshes, 1);
    QVERIFY(m_browser->busyTimer()->isActive());

    // Stop ends the busy indicator and shows the page's title at once.
    m_view->busy = true;
    QTRY_COMPARE(m_browser->windowTitle(), QStringLiteral("Working..."));
    press("Stop");
    QCOMPARE(m_view->stops, 1);
    QVERIFY(!m_browser->busyTimer()->isActive());
    QCOMPARE(m_browser->windowTitle(), QStringLiteral("eCourts"));

    // The keys answer their shortcuts from the address box.
    address()->setFocus();
    QTest::keyClick(address()->lineEdit(), Qt::Key_F5);
    QCOMPARE(m_view->refreshes, 2);
    QTest::keyClick(address()->lineEdit(), Qt::Key_Home, Qt::AltModifier);
    QCOMPARE(m_view->navigations, QStringList{browser::defaultHomePage});
}

void TestBrowser::homeAndSearchPagesAreConfigurable()
{
    m_view->navigations.clear();
    press("Home");
    press("Search");
    QCOMPARE(m_view->navigations,
             (QStringList{browser::defaultHomePage, browser::defaultSearchPage}));

    browser::setHomePage(QStringLiteral("  https://hckarnataka.gov.in/  "));
    browser::setSearchPage(QStringLiteral("https://indiankanoon.org/"));
    QCOMPARE(browser::homePage(), QStringLiteral("https://hckarnataka.gov.in/"));
    m_view->navigations.clear();
    press("Home");
    press("Search");
    QCOMPARE(m_view->navigations,
             (QStringList{"https://hckarnataka.gov.in/", "https://indiankanoon.org/"}));

    // An empty setting falls back to the defaults.
    browser::setHomePage(QString());
    QCOMPARE(browser::homePage(), browser::defaultHomePage);
}

void TestBrowser::typedAddressMeans_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("url"); // "local:NAME" a file in the current folder
    QTest::newRow("web address kept") << "http://127.0.0.1:9/x"
                                      << "http://127.0.0.1:9/x";
    QTest::newRow("secure address kept") << "https://ecourts.gov.in/"
                                         << "https://ecourts.gov.in/";
    QTest::newRow("file address kept") << "file:///srv/diary/causelist.html"
                                       << "file:///srv/diary/causelist.html";
    QTest::newRow("blank page") << "about:blank"
                                << "about:blank";
    QTest::newRow("bare host") << "ecourts.gov.in"
                               << "https://ecourts.gov.in";
    QTest::newRow("host and path") << " indiankanoon.org/search "
                                   << "https://indiankanoon.org/search";
    QTest::newRow("host and port") << "localhost:8080"
                                   << "https://localhost:8080";
    QTest::newRow("absolute path") << "/srv/diary/cause list.html"
                                   << "file:///srv/diary/cause list.html";
    QTest::newRow("path in the home folder")
        << "~/causelist.html"
        << QUrl::fromLocalFile(QDir::homePath() + "/causelist.html").toString();
    QTest::newRow("file of the current folder") << "causelist.html"
                                                << "local:causelist.html";
    QTest::newRow("nothing") << "   "
                             << "";
}

void TestBrowser::typedAddressMeans()
{
    QFETCH(QString, typed);
    QFETCH(QString, url);
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    if (url.startsWith(QStringLiteral("local:"))) {
        QFile file(url.mid(6));
        QVERIFY(file.open(QIODevice::WriteOnly));
        url = QUrl::fromLocalFile(QDir(folder.path()).filePath(url.mid(6))).toString();
    }
    const QUrl resolved = browser::addressUrl(typed);
    QDir::setCurrent(before);
    QCOMPARE(resolved.toString(), url);
    QCOMPARE(resolved.isValid(), !url.isEmpty());
}

// However the box gets the cursor back, what is typed replaces the address.
void TestBrowser::typingReplacesTheAddressShown()
{
    m_view->complete(QStringLiteral("about:blank"), QString());
    QLineEdit *edit = address()->lineEdit();
    m_view->widget()->setFocusPolicy(Qt::StrongFocus);
    m_view->widget()->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    QVERIFY(!edit->hasSelectedText());

    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QTRY_COMPARE(edit->selectedText(), QStringLiteral("about:blank"));
    // Typed as the keyboard does: to the box that has the focus.
    QCOMPARE(QApplication::focusWidget(), address());
    m_view->navigations.clear();
    QTest::keyClicks(address(), QStringLiteral("ecourts.gov.in"));
    QTest::keyClick(address(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_view->navigations, QStringList{QStringLiteral("https://ecourts.gov.in")});
    QTest::keyClicks(address(), QStringLiteral("/x"));
    QTest::keyClick(address(), Qt::Key_Return);
    QCOMPARE(m_view->navigations.last(), QStringLiteral("https://ecourts.gov.in/x"));
}

void TestBrowser::pageThatCannotLoadSaysWhy()
{
    auto *problem = m_browser->findChild<QLabel *>(QStringLiteral("lblProblem"));
    QVERIFY(problem->isHidden());
    emit m_view->navigationFailed(QStringLiteral("http://127.0.0.1:9/x"),
                                  QStringLiteral("Connection refused"));
    QVERIFY(problem->isVisible());
    QVERIFY(problem->text().contains(QStringLiteral("http://127.0.0.1:9/x")));
    QVERIFY(problem->text().contains(QStringLiteral("Connection refused")));
    // A screen reader hears it too.
    QVERIFY(problem->accessibleName().contains(QStringLiteral("Connection refused")));
    // The next page asked for clears it.
    m_view->start();
    QVERIFY(problem->isHidden());
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"

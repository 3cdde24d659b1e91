#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <app/loginscreen.h>
#include <app/passwordchange.h>
#include <app/passwordstore.h>
#include <data/dataerror.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hashIsSaltedSlowAndTrimmed();
    void freshDatabaseAcceptsTheReadmePassword();
    void screensAsTheOfficeKnowsThem();
    void userNameExactPasswordTrimmed_data();
    void userNameExactPasswordTrimmed();
    void refusedLoginOffersAnotherTryOrEnds();
    void enterMovesFromUserNameToPasswordAndLogsIn();
    void plainTextPasswordLogsInOnceAndIsHashed();
    void emptyPasswordTableAcceptsOnlyAnEmptyPassword();
    void passwordChangeOutcomesTakeEffectAtOnce();
    void passwordChangeGivesAnEmptyTableItsRow();
    void passwordChangedAtAnotherDeskIsKept();
    void passwordThatCannotBeReadIsNoEmptyPassword();

private:
    static QLineEdit *field(QWidget *screen, const char *name);
    static QPushButton *button(QWidget *screen, const char *name);
    QString stored() const;
    void setStored(const QString &value);
    bool tryLogin(const QString &user, const QString &password, Answer onRefusal = Answer::Ok);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

// Rounds enough to be a real PBKDF2, few enough not to wait for.
constexpr int testRounds = 1000;

void TestLogin::initTestCase()
{
    QCOMPARE(PasswordStore::hashRounds(), 600000); // the program's own cost
    PasswordStore::setHashRounds(testRounds);
}

// The schema's own password is hashed at the program's cost; all but the test
// of that row log in against the same password hashed cheaply.
void TestLogin::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    setStored(PasswordStore::hash(QStringLiteral("lexordo")));
}

void TestLogin::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const int unanswered = m_messages->unansweredCount();
    const int pending = m_messages->pendingAnswers();
    m_messages.reset();
    m_db.reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
}

QLineEdit *TestLogin::field(QWidget *screen, const char *name)
{
    return screen->findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *TestLogin::button(QWidget *screen, const char *name)
{
    return screen->findChild<QPushButton *>(QLatin1String(name));
}

QString TestLogin::stored() const
{
    return m_db->scalar(QStringLiteral("SELECT pass_word FROM password1")).toString();
}

void TestLogin::setStored(const QString &value)
{
    m_db->exec(QStringLiteral("DELETE FROM password1"));
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    query.prepare(QStringLiteral("INSERT INTO password1 (pass_word) VALUES (?)"));
    query.addBindValue(value);
    QVERIFY(query.exec());
}

// Types into a fresh login screen and presses OK; true when it let the user in.
bool TestLogin::tryLogin(const QString &user, const QString &password, Answer onRefusal)
{
    QPointer<LoginScreen> login = new LoginScreen;
    login->show();
    QSignalSpy accepted(login.data(), &LoginScreen::accepted);
    field(login, "txtusername")->clear();
    QTest::keyClicks(field(login, "txtusername"), user);
    QTest::keyClicks(field(login, "txtpassword"), password);
    const qsizetype before = m_messages->shown().size();
    m_messages->answer(onRefusal);
    QTest::mouseClick(button(login, "cmdok"), Qt::LeftButton);
    const bool in = accepted.count() == 1;
    if (in) {
        if (m_messages->shown().size() != before)
            QTest::qFail("a right login showed a message", __FILE__, __LINE__);
        m_messages->clear(); // the answer scripted for a refusal was not asked for
    } else if (m_messages->shown().size() != before + 1 ||
               m_messages->lastText() !=
                   QStringLiteral("You have entered wrong username/password")) {
        QTest::qFail(qPrintable(QStringLiteral("the refusal was not said as it should be: ") +
                                m_messages->lastText()),
                     __FILE__, __LINE__);
    }
    if (login)
        login->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return in;
}

void TestLogin::hashIsSaltedSlowAndTrimmed()
{
    const QString a = PasswordStore::hash(QStringLiteral("lexordo"));
    const QString b = PasswordStore::hash(QStringLiteral("lexordo"));
    QVERIFY(a != b); // a salt of its own each time
    QVERIFY(PasswordStore::isHash(a));
    QVERIFY(a.startsWith(QStringLiteral("pbkdf2-sha256$%1$").arg(testRounds)));
    QVERIFY(!a.contains(QStringLiteral("lexordo")));
    QVERIFY(PasswordStore::matches(QStringLiteral("lexordo"), a));
    QVERIFY(PasswordStore::matches(QStringLiteral("  lexordo "), b));
    QVERIFY(!PasswordStore::matches(QStringLiteral("Lexordo"), a));
    QVERIFY(!PasswordStore::matches(QStringLiteral("lex ordo"), a));
    QVERIFY(!PasswordStore::matches(QString(), a));
    // Known salt and rounds give a known hash (the same derivation every time).
    QCOMPARE(PasswordStore::hash(QStringLiteral("x"), QByteArray("salt"), 1),
             PasswordStore::hash(QStringLiteral(" x "), QByteArray("salt"), 1));
    QVERIFY(PasswordStore::hash(QStringLiteral("x"), QByteArray("salt"), 1) !=
            PasswordStore::hash(QStringLiteral("x"), QByteArray("salt"), 2));
    QVERIFY(!PasswordStore::isHash(QStringLiteral("lexordo")));
    QVERIFY(!PasswordStore::isHash(QStringLiteral("pbkdf2-sha256$x$salt$hash")));
    // The rounds recorded are the rounds checked.
    QString otherRounds = a;
    otherRounds.replace(QStringLiteral("$%1$").arg(testRounds),
                        QStringLiteral("$%1$").arg(testRounds - 1));
    QVERIFY(PasswordStore::isHash(otherRounds));
    QVERIFY(!PasswordStore::matches(QStringLiteral("lexordo"), otherRounds));
}

void TestLogin::freshDatabaseAcceptsTheReadmePassword()
{
    m_db.reset();
    m_db = std::make_unique<test::TestDatabase>();
    // Hashed at the program's cost, and checked at it while new hashes are cheap.
    QVERIFY(stored().startsWith(QStringLiteral("pbkdf2-sha256$600000$")));
    QVERIFY(PasswordStore::isHash(stored()));
    const QString before = stored();
    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral("lexordo")));
    QCOMPARE(stored(), before); // a hash is left as it is
}

void TestLogin::screensAsTheOfficeKnowsThem()
{
    LoginScreen login;
    QCOMPARE(login.objectName(), QStringLiteral("frmpassword"));
    QCOMPARE(field(&login, "txtusername")->text(), QStringLiteral("clerk"));
    QCOMPARE(field(&login, "txtpassword")->echoMode(), QLineEdit::Password);
    QCOMPARE(button(&login, "cmdok")->text(), QStringLiteral("OK"));
    QCOMPARE(button(&login, "cmdChange")->text(), QStringLiteral("Change Password"));
    QCOMPARE(button(&login, "cmdcancel")->text(), QStringLiteral("E&xit"));
    QCOMPARE(login.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("User Name :"));
    QCOMPARE(login.findChild<QLabel *>(QStringLiteral("Label1"))->buddy(),
             field(&login, "txtusername"));
    QCOMPARE(login.findChild<QLabel *>(QStringLiteral("Label2"))->text(),
             QStringLiteral("Password :"));
    QCOMPARE(login.findChild<QLabel *>(QStringLiteral("Label2"))->buddy(),
             field(&login, "txtpassword"));

    PasswordChange change;
    QCOMPARE(change.objectName(), QStringLiteral("frmChPass"));
    const QList<QPair<const char *, QString>> boxes{
        {"txtOp", "Old Password"}, {"txtNp1", "New Password"}, {"txtNp2", "Re-Enter Password"}};
    for (const auto &[name, label] : boxes) {
        QCOMPARE(field(&change, name)->echoMode(), QLineEdit::Password);
        bool found = false;
        for (QLabel *l : change.findChildren<QLabel *>())
            found = found || (l->text() == label && l->buddy() == field(&change, name));
        QVERIFY2(found, name);
    }
    QCOMPARE(button(&change, "cmdOK")->text(), QStringLiteral("OK"));
    QCOMPARE(button(&change, "Command1")->text(), QStringLiteral("Cancel"));
}

void TestLogin::userNameExactPasswordTrimmed_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("as given") << "clerk"
                              << "lexordo" << true;
    QTest::newRow("blanks around the password") << "clerk"
                                                << "  lexordo  " << true;
    QTest::newRow("blank inside the password") << "clerk"
                                               << "lex ordo" << false;
    QTest::newRow("password case") << "clerk"
                                   << "Lexordo" << false;
    QTest::newRow("user name with a blank") << "clerk "
                                            << "lexordo" << false;
    QTest::newRow("user name case") << "Clerk"
                                    << "lexordo" << false;
    QTest::newRow("empty password") << "clerk"
                                    << "" << false;
    QTest::newRow("quote in the password") << "clerk"
                                           << "lexordo' or '1'='1" << false;
}

void TestLogin::userNameExactPasswordTrimmed()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    QCOMPARE(tryLogin(user, password), accepted);
}

void TestLogin::refusedLoginOffersAnotherTryOrEnds()
{
    QPointer<LoginScreen> login = new LoginScreen;
    login->show();
    QSignalSpy accepted(login.data(), &LoginScreen::accepted);
    QSignalSpy left(login.data(), &LoginScreen::left);
    QTest::keyClicks(field(login, "txtpassword"), "wrong");

    m_messages->answer(Answer::Ok);
    QTest::mouseClick(button(login, "cmdok"), Qt::LeftButton);
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::OkCancel);
    QCOMPARE(m_messages->lastText(), QStringLiteral("You have entered wrong username/password"));
    QVERIFY(login->isVisible());
    QCOMPARE(field(login, "txtusername")->text(), QStringLiteral("clerk"));
    QCOMPARE(field(login, "txtpassword")->text(), QStringLiteral("wrong"));
    QCOMPARE(left.count(), 0);

    m_messages->answer(Answer::Cancel);
    QTest::mouseClick(button(login, "cmdok"), Qt::LeftButton);
    QCOMPARE(left.count(), 1);
    QCOMPARE(accepted.count(), 0);
    QVERIFY(login.isNull() || !login->isVisible());

    // Exit leaves without a login too.
    QPointer<LoginScreen> again = new LoginScreen;
    again->show();
    QSignalSpy leftAgain(again.data(), &LoginScreen::left);
    QTest::mouseClick(button(again, "cmdcancel"), Qt::LeftButton);
    QCOMPARE(leftAgain.count(), 1);
}

void TestLogin::enterMovesFromUserNameToPasswordAndLogsIn()
{
    QPointer<LoginScreen> login = new LoginScreen;
    login->show();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QSignalSpy accepted(login.data(), &LoginScreen::accepted);
    QSignalSpy left(login.data(), &LoginScreen::left);
    field(login, "txtusername")->setFocus();
    QTest::keyClick(field(login, "txtusername"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field(login, "txtpassword"));
    QCOMPARE(accepted.count(), 0);
    QTest::keyClicks(field(login, "txtpassword"), "lexordo");
    QTest::keyClick(field(login, "txtpassword"), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(left.count(), 0);
    QVERIFY(login.isNull() || !login->isVisible());
}

void TestLogin::plainTextPasswordLogsInOnceAndIsHashed()
{
    setStored(QStringLiteral(" old secret "));
    QVERIFY(!tryLogin(QStringLiteral("clerk"), QStringLiteral("old")));
    QCOMPARE(stored(), QStringLiteral(" old secret ")); // a refusal changes nothing

    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral("old secret")));
    const QString hashed = stored();
    QVERIFY(PasswordStore::isHash(hashed));
    QVERIFY(!hashed.contains(QStringLiteral("secret")));
    QCOMPARE(m_db->count(QStringLiteral("password1")), 1);
    // The same password goes on working, now against the hash.
    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral("  old secret")));
    QCOMPARE(stored(), hashed);
    QVERIFY(!tryLogin(QStringLiteral("clerk"), hashed));

    // A row without a password: an empty one logs in, and is hashed too.
    m_db->exec(QStringLiteral("UPDATE password1 SET pass_word = NULL"));
    QVERIFY(!tryLogin(QStringLiteral("clerk"), QStringLiteral("old secret")));
    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral(" ")));
    QVERIFY(PasswordStore::isHash(stored()));
    QVERIFY(PasswordStore::matches(QString(), stored()));
}

void TestLogin::emptyPasswordTableAcceptsOnlyAnEmptyPassword()
{
    m_db->exec(QStringLiteral("DELETE FROM password1"));
    QVERIFY(tryLogin(QStringLiteral("clerk"), QString()));
    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral("   ")));
    QVERIFY(!tryLogin(QStringLiteral("clerk"), QStringLiteral("lexordo")));
    QVERIFY(!tryLogin(QStringLiteral("clerk "), QString()));
    QCOMPARE(m_db->count(QStringLiteral("password1")), 0);
}

void TestLogin::passwordChangeOutcomesTakeEffectAtOnce()
{
    QPointer<LoginScreen> login = new LoginScreen;
    login->show();
    QTest::mouseClick(button(login, "cmdChange"), Qt::LeftButton);
    QPointer<PasswordChange> change = login->passwordChange();
    QVERIFY(change);
    QVERIFY(change->isVisible());
    QVERIFY(login->isVisible());
    const QString before = stored();

    // The old password is wrong.
    QTest::keyClicks(field(change, "txtOp"), "lexordo2");
    QTest::keyClicks(field(change, "txtNp1"), "new pass");
    QTest::keyClicks(field(change, "txtNp2"), "new pass");
    QTest::mouseClick(button(change, "cmdOK"), Qt::LeftButton);
    QCOMPARE(m_messages->lastText(), QStringLiteral("You have entered Wrong old  Password "));
    QCOMPARE(stored(), before);
    QVERIFY(change->isVisible());

    // The two new entries differ only in case.
    field(change, "txtOp")->clear();
    QTest::keyClicks(field(change, "txtOp"), " lexordo ");
    field(change, "txtNp2")->clear();
    QTest::keyClicks(field(change, "txtNp2"), "New pass");
    QTest::mouseClick(button(change, "cmdOK"), Qt::LeftButton);
    QCOMPARE(m_messages->lastText(), QStringLiteral("Your re-entered password doesn't match"));
    QCOMPARE(stored(), before);

    // Not trimmed either when compared with each other.
    field(change, "txtNp2")->clear();
    QTest::keyClicks(field(change, "txtNp2"), "new pass ");
    QTest::mouseClick(button(change, "cmdOK"), Qt::LeftButton);
    QCOMPARE(m_messages->lastText(), QStringLiteral("Your re-entered password doesn't match"));
    QCOMPARE(stored(), before);

    // Right: stored as a hash, said, and the screen closes. Enter walks the boxes.
    field(change, "txtNp1")->clear();
    field(change, "txtNp2")->clear();
    field(change, "txtNp1")->setFocus();
    QTest::keyClicks(field(change, "txtNp1"), "new pass  ");
    QTest::keyClick(field(change, "txtNp1"), Qt::Key_Return);
    QTest::keyClicks(field(change, "txtNp2"), "new pass  ");
    QTest::keyClick(field(change, "txtNp2"), Qt::Key_Return);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Your Password has been Successfully changed "));
    QVERIFY(change.isNull() || !change->isVisible());
    QVERIFY(PasswordStore::isHash(stored()));
    QVERIFY(stored() != before);
    QVERIFY(!stored().contains(QStringLiteral("new pass")));

    // At once, on the login that is still open: the old password is refused.
    field(login, "txtpassword")->setText(QStringLiteral("lexordo"));
    m_messages->answer(Answer::Ok);
    QSignalSpy accepted(login.data(), &LoginScreen::accepted);
    QTest::mouseClick(button(login, "cmdok"), Qt::LeftButton);
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(m_messages->lastText(), QStringLiteral("You have entered wrong username/password"));
    field(login, "txtpassword")->setText(QStringLiteral("new pass"));
    QTest::mouseClick(button(login, "cmdok"), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);

    // Cancel closes the change without a word.
    PasswordChange cancelled;
    cancelled.show();
    QTest::keyClicks(field(&cancelled, "txtOp"), "new pass");
    QTest::mouseClick(button(&cancelled, "Command1"), Qt::LeftButton);
    QVERIFY(!cancelled.isVisible());
    QVERIFY(PasswordStore::checkPassword(QStringLiteral("new pass")));
}

void TestLogin::passwordChangeGivesAnEmptyTableItsRow()
{
    m_db->exec(QStringLiteral("DELETE FROM password1"));
    PasswordChange change;
    change.show();
    QTest::keyClicks(field(&change, "txtNp1"), "first");
    QTest::keyClicks(field(&change, "txtNp2"), "first");
    QTest::mouseClick(button(&change, "cmdOK"), Qt::LeftButton);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Your Password has been Successfully changed "));
    QCOMPARE(m_db->count(QStringLiteral("password1")), 1);
    QVERIFY(tryLogin(QStringLiteral("clerk"), QStringLiteral("first")));
    QVERIFY(!tryLogin(QStringLiteral("clerk"), QString()));
}

// The password is replaced only while it is still the one read: NULL and
// empty text as well as a hash.
void TestLogin::passwordChangedAtAnotherDeskIsKept()
{
    const std::optional<QString> read = PasswordStore::storedValue();
    const QString elsewhere = PasswordStore::hash(QStringLiteral("elsewhere"), "salt", 1);
    m_db->execElsewhere(QStringLiteral("UPDATE password1 SET pass_word = '%1'").arg(elsewhere));
    QVERIFY_THROWS_EXCEPTION(ChangedElsewhere,
                             PasswordStore::changePassword(QStringLiteral("mine"), read));
    QCOMPARE(stored(), elsewhere);

    for (const char *kept : {"NULL", "''"}) {
        m_db->exec(QStringLiteral("UPDATE password1 SET pass_word = %1").arg(QLatin1String(kept)));
        PasswordStore::changePassword(QStringLiteral("mine"), PasswordStore::storedValue());
        QVERIFY2(PasswordStore::matches(QStringLiteral("mine"), stored()), kept);
    }
}

// A failed read is told, never taken for a table without a password (which
// lets an empty password in).
void TestLogin::passwordThatCannotBeReadIsNoEmptyPassword()
{
    m_db->replaceByFailingView(QStringLiteral("password1"), QStringLiteral("pass_word"));
    QVERIFY_THROWS_EXCEPTION(DataError, PasswordStore::storedValue());
    QVERIFY_THROWS_EXCEPTION(DataError, PasswordStore::checkLogin(PasswordStore::userName, {}));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"

#include "fakediaryhost.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <diary/conversionscreen.h>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <widgets/screennames.h>

using namespace lexordo;

class TestConversionScreen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cancelledOrEmptyAnswerDoesNothing();
    void answerThatIsNotADate();
    void dayWithoutHearingsIsNotFound();
    void showsTheHearingsAndTheWarning();
    void noWarningWhenEveryRecentHearingHasANextDate();
    void convertReturnsToTheRegisterAtItsLastRow();
    void convertingTheSameDayAgainAsksFirst();

private:
    ConversionScreen *start(const QString &answer);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::FakeHost> m_host;
};

void TestConversionScreen::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, Party1, Party2, caseno, courtname, CourtIndex, "
        "fixedfor, ndate, fixedforN) VALUES "
        "('2026-11-20', 'part heard', 'A', 'B', 'CS 1', 'High Court', 1, 'evidence', "
        "'2026-12-09', 'arguments'),"
        "('2026-11-25', NULL, 'C', 'D', 'CS 2', 'Civil Court', 3, 'reply', '2026-12-09', 'orders'),"
        "('2026-11-30', NULL, 'E', 'F', 'CS 3', 'Civil Court', 3, 'reply', NULL, NULL),"
        "('2026-12-01', NULL, 'G', 'H', 'CS 4', 'Civil Court', 3, 'reply', NULL, NULL)"));
    m_host = std::make_unique<test::FakeHost>();
    m_host->add(screens::caseRegister, [] { return new test::FakeCaseRegister; });
    m_host->add(screens::conversion, [] { return new ConversionScreen; });
}

void TestConversionScreen::cleanup()
{
    m_host.reset();
    m_db.reset();
}

ConversionScreen *TestConversionScreen::start(const QString &answer)
{
    ScriptedMessenger messages;
    messages.answerInput(answer);
    startConversion();
    return qobject_cast<ConversionScreen *>(m_host->findScreen(screens::conversion));
}

void TestConversionScreen::cancelledOrEmptyAnswerDoesNothing()
{
    m_host->openScreen(screens::caseRegister);
    ScriptedMessenger messages;
    messages.cancelInput();
    startConversion();
    messages.answerInput(QStringLiteral("  "));
    startConversion();
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.shown().first().text,
             QStringLiteral("Enter Next Date(This is Done for single time only for a particular "
                            "date)"));
    QCOMPARE(messages.shown().first().title, QStringLiteral("Blank Next Date Entry "));
    QVERIFY(m_host->caseRegister());
}

void TestConversionScreen::answerThatIsNotADate()
{
    ScriptedMessenger messages;
    messages.answerInput(QStringLiteral("9 Dec"));
    startConversion();
    QCOMPARE(messages.lastText(), QStringLiteral("Enter The Date in DD/MM/YYYY Format "));
    QVERIFY(!m_host->findScreen(screens::conversion));
}

void TestConversionScreen::dayWithoutHearingsIsNotFound()
{
    m_host->openScreen(screens::caseRegister);
    ScriptedMessenger messages;
    messages.answerInput(QStringLiteral("10/12/2026"));
    startConversion();
    QCOMPARE(messages.lastText(), QStringLiteral("Record Not Found "));
    QVERIFY(!m_host->findScreen(screens::conversion));
    // The register was closed as the conversion began.
    QVERIFY(!m_host->caseRegister());
}

void TestConversionScreen::showsTheHearingsAndTheWarning()
{
    m_host->openScreen(screens::caseRegister);
    ConversionScreen *screen = start(QStringLiteral("9/12/2026"));
    QVERIFY(screen);
    QVERIFY(!m_host->caseRegister());
    QCOMPARE(screen->findChild<QLineEdit *>(QStringLiteral("txtCdate"))->text(),
             QStringLiteral("09/12/2026"));
    QVERIFY(screen->findChild<QLineEdit *>(QStringLiteral("txtCdate"))->isReadOnly());
    auto *warning = screen->findChild<QLabel *>(QStringLiteral("lblWarning"));
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(),
             QStringLiteral("Next Date is not entered for Dates :  30/11/2026 01/12/2026"));
    QCOMPARE(QAccessible::queryAccessibleInterface(warning)->text(QAccessible::Name),
             warning->text());

    auto *grid = screen->findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Prev Date"));
    QCOMPARE(grid->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("fixedfor"));
    QCOMPARE(grid->model()->index(0, 5).data().toString(), QStringLiteral("arguments"));
    QCOMPARE(grid->model()->index(0, 6).data().toString(), QString());
}

void TestConversionScreen::noWarningWhenEveryRecentHearingHasANextDate()
{
    m_db->exec(QStringLiteral("UPDATE advocate SET ndate = '2026-12-20' WHERE ndate IS NULL"));
    ConversionScreen *screen = start(QStringLiteral("09/12/2026"));
    QVERIFY(screen);
    auto *warning = screen->findChild<QLabel *>(QStringLiteral("lblWarning"));
    QVERIFY(!warning->isVisible());
    QCOMPARE(warning->text(), QStringLiteral("Next Date is not entered for Dates : "));
}

void TestConversionScreen::convertReturnsToTheRegisterAtItsLastRow()
{
    ConversionScreen *screen = start(QStringLiteral("09/12/2026"));
    ScriptedMessenger messages;
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdinsertndate")),
                      Qt::LeftButton);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = "
                                         "'2026-12-09' AND remarks IS NULL AND ndate IS NULL"))
                 .toInt(),
             2);
    QVERIFY(!m_host->findScreen(screens::conversion));
    test::FakeCaseRegister *caseRegister = m_host->caseRegister();
    QVERIFY(caseRegister);
    QCOMPARE(caseRegister->timesRefreshed(), 1);
    QCOMPARE(caseRegister->diary()->position(), caseRegister->diary()->rowCount() - 1);
    QCOMPARE(caseRegister->diary()->value(QStringLiteral("cdate")), QVariant(QDate(2026, 12, 9)));
}

void TestConversionScreen::convertingTheSameDayAgainAsksFirst()
{
    ConversionScreen *screen = start(QStringLiteral("09/12/2026"));
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdinsertndate")),
                      Qt::LeftButton);
    screen = start(QStringLiteral("09/12/2026"));
    ScriptedMessenger messages;
    messages.answer(Messenger::Answer::Yes);
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdinsertndate")),
                      Qt::LeftButton);
    QCOMPARE(messages.texts(),
             QStringList{"Few Cases of this Date Already Exist and duplicate copy of the cases "
                         "can be converted. Do you want to continue?"});
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = "
                                         "'2026-12-09'"))
                 .toInt(),
             2);
}

QTEST_MAIN(TestConversionScreen)
#include "tst_conversionscreen.moc"

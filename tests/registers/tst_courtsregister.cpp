#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/recordset.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <registers/courtsregister.h>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestCourtsRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void listsCourtsInIndexOrder();
    void searchFindsNamesBeginningWithTheAnswer();
    void deleteReloadsEveryCourt();
    void emptyRegister();
    void entryChangedAtAnotherDeskIsReadAgain();

private:
    static QStringList courtsShown(const CourtsRegister &screen);
    static void click(QWidget &screen, const char *name);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestCourtsRegister::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
}

void TestCourtsRegister::cleanup()
{
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
}

QStringList TestCourtsRegister::courtsShown(const CourtsRegister &screen)
{
    const QAbstractItemModel *model =
        screen.findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString() + u'=' +
                     model->index(row, 1).data().toString();
    return shown;
}

void TestCourtsRegister::click(QWidget &screen, const char *name)
{
    screen.findChild<QPushButton *>(QLatin1String(name))->click();
}

void TestCourtsRegister::screenAsTheOfficeKnowsIt()
{
    CourtsRegister screen;
    QCOMPARE(screen.objectName(), QStringLiteral("frmCourts"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Court Entry"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Courts Entry"));
    QCOMPARE(screen.recordSet()->objectName(), QStringLiteral("Adodc1"));
    QCOMPARE(screen.recordSet()->source(),
             RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));

    const QList<QPair<QString, QString>> fields{
        {QStringLiteral("Court"), QStringLiteral("txtHdays")},
        {QStringLiteral("Index"), QStringLiteral("txtDate")}};
    for (const auto &[label, field] : fields) {
        bool found = false;
        for (QLabel *l : screen.findChildren<QLabel *>())
            found =
                found || (l->text() == label && l->buddy() && l->buddy()->objectName() == field);
        QVERIFY2(found, qPrintable(label));
        QVERIFY(screen.findChild<QLineEdit *>(field)->isReadOnly());
    }
    const QAbstractItemModel *grid =
        screen.findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QCOMPARE(grid->headerData(0, Qt::Horizontal).toString(), QStringLiteral("court"));
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("index"));

    const QList<QPair<QString, QString>> buttons{
        {QStringLiteral("cmdAdd"), QStringLiteral("&Add")},
        {QStringLiteral("cmdSave"), QStringLiteral("&Save")},
        {QStringLiteral("cmdModify"), QStringLiteral("Modify")},
        {QStringLiteral("cmdDelete"), QStringLiteral("Delete")},
        {QStringLiteral("cmdFind"), QStringLiteral("Search")},
        {QStringLiteral("cmdExit"), QStringLiteral("E&xit")},
        {QStringLiteral("cmdFirst"), QStringLiteral("|<")},
        {QStringLiteral("cmdPrevious"), QStringLiteral("<<")},
        {QStringLiteral("cmdNext"), QStringLiteral(">>")},
        {QStringLiteral("cmdLast"), QStringLiteral(">|")},
    };
    for (const auto &[name, caption] : buttons) {
        auto *b = screen.findChild<QPushButton *>(name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), caption);
        QVERIFY2(b->isEnabled(), qPrintable(name)); // all ten at load
    }
    // The arrows are read out by what they do.
    QCOMPARE(screen.findChild<QPushButton *>(QStringLiteral("cmdPrevious"))->accessibleName(),
             QStringLiteral("Previous record"));
}

void TestCourtsRegister::listsCourtsInIndexOrder()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('Sessions Court', 3), "
                              "('District Judge', 1), ('Family Court', 2), ('Lok Adalat', NULL), "
                              "('Consumer Forum', 2)"));
    CourtsRegister screen;
    const QStringList shown = courtsShown(screen);
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown.indexOf(QStringLiteral("District Judge=1")), 1);
    QCOMPARE(shown.last(), QStringLiteral("Sessions Court=3"));
    // The two courts of index 2 stand next to each other.
    QCOMPARE(qAbs(shown.indexOf(QStringLiteral("Family Court=2")) -
                  shown.indexOf(QStringLiteral("Consumer Forum=2"))),
             1);
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"))->text(),
             QStringLiteral("Lok Adalat"));
}

void TestCourtsRegister::searchFindsNamesBeginningWithTheAnswer()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('District Judge', 1), "
                              "('D''Souza Tribunal', 2), ('Addl. District Judge', 3), "
                              "('Sessions Court', 4)"));
    CourtsRegister screen;
    m_messages->answerInput(QStringLiteral("d"));
    click(screen, "cmdFind");
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("Enter The Name to Be Searched "));
    QCOMPARE(courtsShown(screen), (QStringList{QStringLiteral("District Judge=1"),
                                               QStringLiteral("D'Souza Tribunal=2")}));

    m_messages->answerInput(QStringLiteral("D'S"));
    click(screen, "cmdFind");
    QCOMPARE(courtsShown(screen), QStringList{QStringLiteral("D'Souza Tribunal=2")});
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"))->text(),
             QStringLiteral("D'Souza Tribunal"));

    m_messages->answerInput(QStringLiteral("Judge"));
    click(screen, "cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QVERIFY(courtsShown(screen).isEmpty());
    QCOMPARE(m_messages->texts().size(), 4);
}

void TestCourtsRegister::deleteReloadsEveryCourt()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('District Judge', 1), "
                              "('Family Court', 2), ('Sessions Court', 3)"));
    CourtsRegister screen;
    m_messages->answerInput(QStringLiteral("Fam"));
    click(screen, "cmdFind");
    m_messages->answer(Answer::Yes);
    click(screen, "cmdDelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Really You want to delete this record "));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
    QCOMPARE(courtsShown(screen),
             (QStringList{QStringLiteral("District Judge=1"), QStringLiteral("Sessions Court=3")}));
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"))->text(),
             QStringLiteral("Sessions Court"));
}

void TestCourtsRegister::emptyRegister()
{
    CourtsRegister screen;
    for (const char *move : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
        click(screen, move);
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"))->text(), QString());
    m_messages->answer(Answer::Yes);
    click(screen, "cmdDelete");
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("Really You want to delete this record ")});

    // The first court of the office, with its index.
    m_messages->answer(Answer::Yes);
    click(screen, "cmdAdd");
    QTest::keyClicks(screen.findChild<QLineEdit *>(QStringLiteral("txtHdays")),
                     QStringLiteral("District Judge"));
    QTest::keyClicks(screen.findChild<QLineEdit *>(QStringLiteral("txtDate")), QStringLiteral("1"));
    click(screen, "cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT court || '=' || indexx FROM courts")).toString(),
             QStringLiteral("District Judge=1"));
}

// Another desk changed the court being modified here: Save writes nothing,
// says so once, and shows the court as it now stands, for browsing. A Delete
// keeps the court another desk stored since under the key of the one shown.
void TestCourtsRegister::entryChangedAtAnotherDeskIsReadAgain()
{
    const QString readAgain = QStringLiteral(
        "This entry was changed or removed at another desk; it has been read again.");
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('District Judge', 1)"));
    CourtsRegister screen;
    auto *court = screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"));
    click(screen, "cmdModify");
    QTest::keyClicks(court, QStringLiteral(" (Civil)"));
    m_db->execElsewhere(
        QStringLiteral("UPDATE courts SET court = 'Other Office Court', indexx = 4"));
    m_messages->answer(Answer::Ok);
    click(screen, "cmdSave");
    QCOMPARE(m_messages->texts(), QStringList{readAgain});
    QCOMPARE(courtsShown(screen), QStringList{QStringLiteral("Other Office Court=4")});
    QCOMPARE(court->text(), QStringLiteral("Other Office Court"));
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtDate"))->text(), QStringLiteral("4"));
    QVERIFY(court->isReadOnly());

    m_db->execElsewhere(
        QStringLiteral("DELETE FROM courts; INSERT INTO courts VALUES ('Lok Adalat', 9)"));
    m_messages->answer(Answer::Yes);
    m_messages->answer(Answer::Ok);
    click(screen, "cmdDelete");
    QCOMPARE(m_messages->lastText(), readAgain);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    QCOMPARE(court->text(), QStringLiteral("Lok Adalat"));
}

QTEST_MAIN(TestCourtsRegister)
#include "tst_courtsregister.moc"

#include "registershost.h"
#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <diary/caseregister.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <registers/clientsregister.h>
#include <registers/folderopener.h>
#include <registers/rulingslibrary.h>
#include <reports/runtime/reportpainter.h>
#include <widgets/screennames.h>

using namespace lexordo;
using Answer = Messenger::Answer;
using Icon = Messenger::Icon;

class TestClientsRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitsTheScreenOfAnOfficeComputer();

    void screenAsTheOfficeKnowsIt();
    void fileNumberAndFolderAreStoredWhenTheRowChanges();
    void searchFindsAccountNamesBeginningWithTheAnswer();
    void addStartsInTheNameAndEnterMovesOn();
    void enteringTheDateWhileEditingFillsInTodaySelected();
    void lastOnAnEmptyRegisterDoesNothing();
    void printAsksForTheSortChoice_data();
    void printAsksForTheSortChoice();
    void printListsOnlyTheClientsOfASearch();
    void sectionDoubleClickShowsTheRulingsOnExactlyThatSection();
    void openFolderHandsTheTrimmedFolderToTheDesktop();
    void openFolderTellsWhatWentWrong();
    void caseRegisterShowsTheClientsOfItsCase();
    void clientListPrintsToPdf();

private:
    ClientsRegister *openClients();
    QLineEdit *field(const char *name) const;
    void click(const char *name) const;
    static QStringList printedColumn(report::ReportWindow *window, const QString &column);
    QStringList namesShown();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<test::RegistersHost> m_host;
    QPointer<ClientsRegister> m_screen;
    QList<QUrl> m_opened;
    bool m_openerWorks = true;
};

void TestClientsRegister::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    m_host = std::make_unique<test::RegistersHost>();
    m_host->add(screens::clients, [] { return new ClientsRegister; });
    m_host->add(screens::rulings, [] { return new RulingsLibrary; });
    Clock::setToday(QDate(2026, 12, 7));
    m_opened.clear();
    m_openerWorks = true;
    FolderOpener::setOpener([this](const QUrl &url) {
        m_opened << url;
        return m_openerWorks;
    });
    m_db->exec(QStringLiteral(
        "INSERT INTO Clients (ACname, Phoneno, MobileNumber, Email, Adresss, CaseNo, Parties, "
        "US1, US2, US3, US4, fileno, folderpath, date) VALUES "
        "('Sharma Traders', '011-2345', '98100', 's@example.in', 'Karol Bagh', 'CS 12/2026', "
        " 'Sharma Vs. Bank', '420', NULL, NULL, NULL, 'F-20', NULL, '2026-01-05'), "
        "('O''Brien & Sons', '022-1111', '98200', NULL, 'Fort', 'CR 7/2025', "
        " 'O''Brien Vs. Mehta', '302', '3''B', NULL, NULL, 'F-03', NULL, '2026-02-10'), "
        "('Anand Kumar', '033-7777', NULL, NULL, NULL, 'CS 9/2026', 'State Vs. Anand', "
        " NULL, NULL, NULL, NULL, 'F-11', NULL, '2026-03-15'), "
        "('आनंद शर्मा', '044-5555', NULL, NULL, NULL, 'CS 12/2026', 'Sharma Vs. Bank', "
        " NULL, NULL, NULL, NULL, 'F-07', NULL, '2026-04-20')"));
    m_db->exec(QStringLiteral(
        "INSERT INTO CourtOrders VALUES "
        "('302', 'AIR 2020 SC 1', 'Supreme Court', 'State v. Ram', 'Murder; motive.'), "
        "('302/34', '2019 Cri LJ 55', 'High Court', 'Ram v. State', 'Common intention.'), "
        "('3''B', '2021 SCC 9', 'Supreme Court', 'Union v. D''Souza', 'Notice.')"));
}

void TestClientsRegister::cleanup()
{
    test::RegistersHost::closeReports();
    m_host.reset();
    FolderOpener::setOpener(nullptr);
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

ClientsRegister *TestClientsRegister::openClients()
{
    m_screen = qobject_cast<ClientsRegister *>(m_host->openScreen(screens::clients));
    test::showScreen(m_screen);
    return m_screen;
}

QLineEdit *TestClientsRegister::field(const char *name) const
{
    return m_screen->findChild<QLineEdit *>(QLatin1String(name));
}

void TestClientsRegister::click(const char *name) const
{
    QPushButton *button = m_screen->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList TestClientsRegister::printedColumn(report::ReportWindow *window, const QString &column)
{
    QStringList texts;
    for (const report::ReportPage &page : window->document().pages) {
        for (const report::PlacedItem &item : page.textItems(QStringLiteral("Detail"))) {
            if (item.name.compare(column, Qt::CaseInsensitive) == 0)
                texts << item.text;
        }
    }
    return texts;
}

// The account names, row by row, as the moving buttons go through them.
QStringList TestClientsRegister::namesShown()
{
    QStringList names;
    click("cmdFirst");
    for (int i = 0; i < m_screen->recordSet()->rowCount(); ++i) {
        names << field("txtName")->text();
        click("cmdNext");
    }
    return names;
}

void TestClientsRegister::screenAsTheOfficeKnowsIt()
{
    ClientsRegister *screen = openClients();
    QCOMPARE(screen->objectName(), QStringLiteral("frmClients"));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Clients Entry"));
    QCOMPARE(screen->findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Clients Enrty Form"));
    QCOMPARE(screen->recordSet()->source(), RecordSource::table(QStringLiteral("Clients")));

    const QList<QPair<QString, QString>> labels{
        {"Client Name:", "txtName"}, {"Case No.:", "txtCaseNo"},
        {"Parties:", "txtParties"},  {"U/S", "txtUSec_0"},
        {"Address:", "txtAdd"},      {"Ph. No.:", "txtPhno"},
        {"Mobile No.:", "txtMno"},   {"E-mail:", "txtEmail"},
        {"File No.:", "txtfileno"},  {"Folder Path:", "txtfolderpath"},
        {"Dated:", "txtDate"},       {"Sort by :", "txtSortBy"}};
    QStringList seen;
    for (QLabel *label : screen->findChildren<QLabel *>()) {
        if (label->buddy())
            seen << label->text() + u'>' + label->buddy()->objectName();
    }
    for (const auto &[text, buddy] : labels)
        QVERIFY2(seen.contains(text + u'>' + buddy), qPrintable(text));
    for (int i = 1; i < 4; ++i)
        QVERIFY(
            !field(qPrintable(QStringLiteral("txtUSec_%1").arg(i)))->accessibleName().isEmpty());
    QCOMPARE(field("txtName")->toolTip(),
             QStringLiteral(
                 "This indicates the name of the account by which we maintain the Fee Records"));

    const QList<QPair<QString, QString>> buttons{{"cmdAdd", "&Add"},
                                                 {"cmdSave", "&Save"},
                                                 {"cmdModify", "&Modify"},
                                                 {"cmdDelete", "&Delete"},
                                                 {"cmdFind", "Sea&rch"},
                                                 {"cmdExit", "E&xit "},
                                                 {"cmdOpenFolder", "Open Folder"},
                                                 {"cmdFirst", "|<"},
                                                 {"cmdPrevious", "<<"},
                                                 {"cmdNext", ">>"},
                                                 {"cmdLast", ">|"},
                                                 {"cmdPrint", "&Print"}};
    for (const auto &[name, caption] : buttons) {
        auto *button = screen->findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->text(), caption);
        QVERIFY(button->isEnabled());
    }
    QCOMPARE(screen->findChild<QGroupBox *>()->title(),
             QStringLiteral("Printing Report of the Clients"));
    auto *sortBy = screen->findChild<QComboBox *>(QStringLiteral("txtSortBy"));
    QCOMPARE(sortBy->count(), 2);
    QCOMPARE(sortBy->itemText(0), QStringLiteral("Name"));
    QCOMPARE(sortBy->itemText(1), QStringLiteral("Fille No!"));
    QVERIFY(sortBy->currentText().isEmpty());

    // The first row as the table returns it; all but file number and folder locked.
    QCOMPARE(field("txtName")->text(), QStringLiteral("Sharma Traders"));
    QCOMPARE(field("txtDate")->text(), QStringLiteral("05/01/2026"));
    QCOMPARE(field("txtUSec_0")->text(), QStringLiteral("420"));
    QCOMPARE(field("txtAdd")->text(), QStringLiteral("Karol Bagh"));
    const QStringList locked{"txtName",   "txtCaseNo", "txtParties", "txtUSec_0",
                             "txtUSec_1", "txtUSec_2", "txtUSec_3",  "txtAdd",
                             "txtPhno",   "txtMno",    "txtEmail",   "txtDate"};
    for (const QString &name : locked)
        QVERIFY2(field(qPrintable(name))->isReadOnly(), qPrintable(name));
    QVERIFY(!field("txtfileno")->isReadOnly());
    QVERIFY(!field("txtfolderpath")->isReadOnly());

    // Modify unlocks them all; Save locks them again but the two stay open.
    click("cmdModify");
    for (const QString &name : locked)
        QVERIFY2(!field(qPrintable(name))->isReadOnly(), qPrintable(name));
    QVERIFY(!screen->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->isEnabled());
    click("cmdSave");
    for (const QString &name : locked)
        QVERIFY2(field(qPrintable(name))->isReadOnly(), qPrintable(name));
    QVERIFY(!field("txtfileno")->isReadOnly());
    QVERIFY(!field("txtfolderpath")->isReadOnly());
    QVERIFY(screen->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->isEnabled());
}

void TestClientsRegister::fileNumberAndFolderAreStoredWhenTheRowChanges()
{
    openClients();
    QLineEdit *fileno = field("txtfileno");
    fileno->selectAll();
    QTest::keyClicks(fileno, QStringLiteral("F-21"));
    QTest::keyClicks(field("txtfolderpath"), QStringLiteral("/srv/clients/Sharma Traders"));
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT fileno FROM Clients WHERE ACname = 'Sharma Traders'"))
            .toString(),
        QStringLiteral("F-20"));
    click("cmdNext");
    QCOMPARE(field("txtName")->text(), QStringLiteral("O'Brien & Sons"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT fileno || '|' || folderpath FROM Clients "
                                         "WHERE ACname = 'Sharma Traders'"))
                 .toString(),
             QStringLiteral("F-21|/srv/clients/Sharma Traders"));
    click("cmdPrevious");
    QCOMPARE(field("txtfileno")->text(), QStringLiteral("F-21"));
}

void TestClientsRegister::searchFindsAccountNamesBeginningWithTheAnswer()
{
    openClients();
    m_messages->answerInput(QStringLiteral("o'b"));
    click("cmdFind");
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("Enter The Name to Be Searched "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 1);
    QCOMPARE(field("txtName")->text(), QStringLiteral("O'Brien & Sons"));

    // Begins with, not contains: "Traders" is inside a name but begins none.
    m_messages->answerInput(QStringLiteral("Traders"));
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 0);

    // An empty answer leaves the filter as it stands.
    m_messages->answerInput(QStringLiteral("आनंद"));
    click("cmdFind");
    QCOMPARE(field("txtName")->text(), QStringLiteral("आनंद शर्मा"));
    m_messages->answerInput(QString());
    click("cmdFind");
    QCOMPARE(m_screen->recordSet()->rowCount(), 1);
}

void TestClientsRegister::addStartsInTheNameAndEnterMovesOn()
{
    openClients();
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
    QCOMPARE(QApplication::focusWidget(), field("txtName"));
    QTest::keyClicks(field("txtName"), QStringLiteral("D'Souza Estates"));
    QTest::keyClick(field("txtName"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field("txtCaseNo"));
    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 1/2027"));
    click("cmdSave");
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT CaseNo FROM Clients WHERE ACname = 'D''Souza Estates'"))
            .toString(),
        QStringLiteral("CS 1/2027"));
    QCOMPARE(field("txtName")->text(), QStringLiteral("D'Souza Estates")); // at the last row
}

void TestClientsRegister::enteringTheDateWhileEditingFillsInTodaySelected()
{
    openClients();
    QLineEdit *date = field("txtDate");
    QTest::mouseClick(date, Qt::LeftButton);
    QCOMPARE(date->text(), QStringLiteral("05/01/2026")); // browsing changes nothing

    click("cmdModify");
    QTest::mouseClick(date, Qt::LeftButton);
    QCOMPARE(date->text(), QStringLiteral("07/12/2026"));
    QCoreApplication::processEvents();
    QCOMPARE(date->selectedText(), QStringLiteral("07/12/2026"));
    QTest::keyClicks(date, QStringLiteral("01/12/2026"));
    QCOMPARE(date->text(), QStringLiteral("01/12/2026"));
    click("cmdSave");
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT date FROM Clients WHERE ACname = 'Sharma Traders'"))
            .toString(),
        QStringLiteral("2026-12-01"));
}

void TestClientsRegister::lastOnAnEmptyRegisterDoesNothing()
{
    m_db->exec(QStringLiteral("DELETE FROM Clients"));
    openClients();
    click("cmdLast");
    click("cmdFirst");
    QVERIFY(field("txtName")->text().isEmpty());
    QVERIFY(m_messages->shown().isEmpty());
}

void TestClientsRegister::printAsksForTheSortChoice_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("names"); // empty: nothing printed

    const QStringList byName{"Anand Kumar", "O'Brien & Sons", "Sharma Traders", "आनंद शर्मा"};
    const QStringList byFile{"O'Brien & Sons", "आनंद शर्मा", "Anand Kumar", "Sharma Traders"};
    QTest::newRow("blank") << QStringLiteral("   ") << QStringList();
    QTest::newRow("Name with blanks") << QStringLiteral("  Name  ") << byName;
    QTest::newRow("name in lower case") << QStringLiteral("name") << byFile;
    QTest::newRow("the file number entry") << QStringLiteral("Fille No!") << byFile;
    QTest::newRow("any other text") << QStringLiteral("Phone") << byFile;
}

void TestClientsRegister::printAsksForTheSortChoice()
{
    QFETCH(QString, choice);
    QFETCH(QStringList, names);
    openClients();
    QLineEdit *sortBy = m_screen->findChild<QComboBox *>(QStringLiteral("txtSortBy"))->lineEdit();
    QTest::keyClicks(sortBy, choice);
    click("cmdPrint");

    const QList<report::ReportWindow *> windows =
        test::RegistersHost::reports(QStringLiteral("drClientReport"));
    if (names.isEmpty()) {
        QCOMPARE(m_messages->shown().size(), 1);
        QCOMPARE(m_messages->lastText(),
                 QStringLiteral("Please Select the sorting type from Combo List"));
        QCOMPARE(m_messages->shown().last().icon, Icon::Critical);
        QVERIFY(windows.isEmpty());
        return;
    }
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows.first()->windowTitle(), QStringLiteral("Case Report"));
    QCOMPARE(printedColumn(windows.first(), QStringLiteral("acname")), names);
    // The sort stays on the register: the moving buttons follow it.
    QCOMPARE(namesShown(), names);
}

void TestClientsRegister::printListsOnlyTheClientsOfASearch()
{
    openClients();
    m_messages->answerInput(QStringLiteral("a"));
    click("cmdFind");
    auto *sortBy = m_screen->findChild<QComboBox *>(QStringLiteral("txtSortBy"));
    sortBy->setFocus();
    QTest::keyClicks(sortBy->lineEdit(), QStringLiteral("Fille No!"));
    QTest::keyClick(sortBy, Qt::Key_Return); // Enter in the choice prints too
    QCOMPARE(sortBy->count(), 2);            // and adds nothing to the list
    auto *window = test::RegistersHost::reports(QStringLiteral("drClientReport")).value(0);
    QVERIFY(window);
    QCOMPARE(printedColumn(window, QStringLiteral("acname")), QStringList{"Anand Kumar"});
    QCOMPARE(printedColumn(window, QStringLiteral("phoneno")), QStringList{"033-7777"});
    QCOMPARE(printedColumn(window, QStringLiteral("Fileno")), QStringList{"F-11"});
    const QStringList heads = window->document().pages.first().texts(QStringLiteral("PageHeader"));
    QCOMPARE(heads, (QStringList{"Client Name", "Phone No.", "File No"}));
    QVERIFY(window->document()
                .pages.first()
                .texts(QStringLiteral("Section1"))
                .contains(QStringLiteral("Clients Report")));
}

void TestClientsRegister::sectionDoubleClickShowsTheRulingsOnExactlyThatSection()
{
    openClients();
    // An empty box does nothing at all.
    QTest::mouseDClick(field("txtUSec_1"), Qt::LeftButton);
    QCOMPARE(m_host->timesAsked(screens::rulings), 0);
    QVERIFY(m_messages->shown().isEmpty());

    // A section without rulings: the library opens empty and says so.
    QTest::mouseDClick(field("txtUSec_0"), Qt::LeftButton);
    auto *library = qobject_cast<RulingsLibrary *>(m_host->findScreen(screens::rulings));
    QVERIFY(library);
    QCOMPARE(library->recordSet()->rowCount(), 0);
    QCOMPARE(m_messages->texts(), QStringList{"Record Not Found "});

    // 302 finds 302 only, where the library's own search would also find 302/34.
    click("cmdNext");
    QTest::mouseDClick(field("txtUSec_0"), Qt::LeftButton);
    QCOMPARE(m_host->timesMade(screens::rulings), 1);
    QCOMPARE(library->recordSet()->rowCount(), 1);
    QCOMPARE(library->findChild<QLineEdit *>(QStringLiteral("txtCitation"))->text(),
             QStringLiteral("AIR 2020 SC 1"));
    QVERIFY(library->search(QStringLiteral("section"), QStringLiteral("302"), false));
    QCOMPARE(library->recordSet()->rowCount(), 2);

    // A section with an apostrophe is matched as typed.
    QTest::mouseDClick(field("txtUSec_1"), Qt::LeftButton);
    QCOMPARE(library->recordSet()->rowCount(), 1);
    QCOMPARE(library->findChild<QLineEdit *>(QStringLiteral("txtCaseTitle"))->text(),
             QStringLiteral("Union v. D'Souza"));
    QCOMPARE(m_messages->shown().size(), 1);
    // The clients register keeps its own row and rows.
    QCOMPARE(m_screen->recordSet()->rowCount(), 4);
    QCOMPARE(field("txtName")->text(), QStringLiteral("O'Brien & Sons"));

    // A ruling being entered in the library is not stored by a filter.
    m_messages->answer(Answer::Yes);
    QTest::mouseClick(library->findChild<QPushButton *>(QStringLiteral("cmdAdd")), Qt::LeftButton);
    QTest::mouseDClick(field("txtUSec_0"), Qt::LeftButton);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Please save the ruling being entered before searching."));
    QCOMPARE(library->recordSet()->rowCount(), 2); // the found ruling and the new one
    QCOMPARE(m_db->count(QStringLiteral("CourtOrders")), 3);
    QTest::mouseClick(library->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
}

void TestClientsRegister::openFolderHandsTheTrimmedFolderToTheDesktop()
{
    QTemporaryDir base;
    const QString folder = base.filePath(QStringLiteral("Client Files/O'Brien & Sons"));
    QVERIFY(QDir().mkpath(folder));
    openClients();
    QTest::keyClicks(field("txtfolderpath"), QStringLiteral("  ") + folder + QStringLiteral("  "));
    click("cmdOpenFolder");
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(m_opened.first().isLocalFile());
    QCOMPARE(m_opened.first().toLocalFile(), folder);
}

void TestClientsRegister::openFolderTellsWhatWentWrong()
{
    QTemporaryDir base;
    openClients();
    click("cmdOpenFolder");
    QCOMPARE(m_messages->lastText(), QStringLiteral("No folder path is entered for this client."));

    const QString missing = base.filePath(QStringLiteral("No Such Folder"));
    QTest::keyClicks(field("txtfolderpath"), missing);
    click("cmdOpenFolder");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("The folder \"%1\" does not exist.").arg(missing));
    QVERIFY(m_opened.isEmpty());

    // A desktop with no file browser.
    m_openerWorks = false;
    field("txtfolderpath")->clear();
    QTest::keyClicks(field("txtfolderpath"), base.path());
    click("cmdOpenFolder");
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("The folder \"%1\" could not be opened: no file browser is "
                            "available on this computer.")
                 .arg(base.path()));
    QCOMPARE(m_messages->shown().size(), 3);
    QVERIFY(m_screen); // still open
}

void TestClientsRegister::caseRegisterShowsTheClientsOfItsCase()
{
    m_db->exec(
        QStringLiteral("INSERT INTO advocate (cdate, caseno, Party1, Party2, courtname) VALUES "
                       "('2026-12-01', ' CS 12/2026 ', 'Sharma', 'Bank', 'District Court'), "
                       "('2026-12-02', '', 'O''Brien Vs. Mehta', 'Mehta', 'District Court')"));
    m_host->add(QStringLiteral("frmCases"), [] { return new CaseRegister; });
    m_host->addOpener(screens::clients, [this](const QVariant &argument) {
        return ClientsRegister::openOnClientsOf(*m_host, argument);
    });
    auto *cases = m_host->openScreen(QStringLiteral("frmCases"));
    auto *see = cases->findChild<QPushButton *>(QStringLiteral("cmdSeeDetails"));
    QVERIFY(see->isEnabled());

    // The last row has no case number: its parties are looked up, apostrophe and all.
    QTest::mouseClick(see, Qt::LeftButton);
    auto *clients = qobject_cast<ClientsRegister *>(m_host->findScreen(screens::clients));
    QVERIFY(clients);
    m_screen = clients;
    QCOMPARE(clients->recordSet()->rowCount(), 1);
    QCOMPARE(field("txtName")->text(), QStringLiteral("O'Brien & Sons"));

    // The case number is trimmed; the open register is filtered where it stands.
    cases->findChild<QPushButton *>(QStringLiteral("cmdprev"))->click();
    QTest::mouseClick(see, Qt::LeftButton);
    QCOMPARE(m_host->timesMade(screens::clients), 1);
    QCOMPARE(clients->recordSet()->rowCount(), 2);
    QCOMPARE(field("txtName")->text(), QStringLiteral("Sharma Traders"));
    QVERIFY(m_messages->shown().isEmpty());

    // A client being modified is not stored behind the clerk's back by a filter.
    click("cmdModify");
    QTest::keyClick(field("txtPhno"), Qt::Key_End);
    QTest::keyClicks(field("txtPhno"), QStringLiteral("9"));
    cases->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
    QTest::mouseClick(see, Qt::LeftButton);
    QCOMPARE(m_messages->texts(), QStringList{"Please save the client being entered first."});
    QCOMPARE(clients->recordSet()->rowCount(), 2);
    QCOMPARE(field("txtPhno")->text(), QStringLiteral("011-23459"));
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT Phoneno FROM Clients WHERE ACname = 'Sharma Traders'"))
            .toString(),
        QStringLiteral("011-2345"));
    click("cmdSave");
}

void TestClientsRegister::clientListPrintsToPdf()
{
    openClients();
    QTest::keyClicks(m_screen->findChild<QComboBox *>(QStringLiteral("txtSortBy"))->lineEdit(),
                     QStringLiteral("Name"));
    click("cmdPrint");
    auto *window = test::RegistersHost::reports(QStringLiteral("drClientReport")).value(0);
    QVERIFY(window);
    const QString out = qEnvironmentVariable("LEXORDO_PDF_DIR");
    QTemporaryDir dir;
    const QString path = (out.isEmpty() ? dir.path() : out) + QStringLiteral("/clients.pdf");
    QString error;
    QVERIFY2(window->exportPdf(path, &error), qPrintable(error));
    QVERIFY(QFileInfo(path).size() > 1000);
    QCOMPARE(window->document().pageCount(), 1);
}

// The window opens whole on a 1024x768 screen, the workspace's frame and menu
// included; LEXORDO_SHOT_DIR keeps a picture of it to look at.
void TestClientsRegister::fitsTheScreenOfAnOfficeComputer()
{
    openClients();
    const QSize needed = m_screen->minimumSizeHint();
    QVERIFY2(needed.width() <= 1000 && needed.height() <= 680,
             qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
    QVERIFY(m_screen->width() <= 1000 && m_screen->height() <= 680);
    const QString shots = qEnvironmentVariable("LEXORDO_SHOT_DIR");
    if (!shots.isEmpty())
        QVERIFY(m_screen->grab().save(shots + QStringLiteral("/clients.png")));
}

QTEST_MAIN(TestClientsRegister)
#include "tst_clientsregister.moc"

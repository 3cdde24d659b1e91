#include "registershost.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/recordset.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <registers/rulingslibrary.h>
#include <registers/searchrulings.h>
#include <widgets/screennames.h>

using namespace lexordo;

namespace {

// Clicks an option where its caption is, as a user would.
void chooseOption(QWidget *dialog, const QString &name)
{
    auto *option = dialog->findChild<QRadioButton *>(name);
    if (!option)
        qFatal("no option %s", qPrintable(name));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

} // namespace
using Answer = Messenger::Answer;

class TestRulingsLibrary : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitsTheScreenOfAnOfficeComputer();

    void screenAsTheOfficeKnowsIt();
    void searchDialogAsTheOfficeKnowsIt();
    void searchFindsTheAnswerAnywhereInTheChosenColumn_data();
    void searchFindsTheAnswerAnywhereInTheChosenColumn();
    void everySearchSeesRulingsStoredMeanwhile();
    void emptyAnswerOrCancelLeavesTheLibraryAsItIs();
    void firstAndLastOnAnEmptyLibraryDoNothing();
    void addStartsInTheSectionAndSaveStores();
    void printShowsTheRulingOnTheScreenWithAllItsHeadNotes();
    void printOfAnEmptyLibraryPrintsTheCaptions();

private:
    RulingsLibrary *openLibrary();
    SearchRulings *openSearch();
    QStringList citationsShown() const;
    static void click(QWidget *screen, const char *name);
    static QString longHeadNotes();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<test::RegistersHost> m_host;
    QPointer<RulingsLibrary> m_library;
};

void TestRulingsLibrary::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    m_host = std::make_unique<test::RegistersHost>();
    m_host->add(screens::rulings, [] { return new RulingsLibrary; });
    m_host->add(screens::searchRulings, [] { return new SearchRulings; });
    m_db->exec(QStringLiteral(
        "INSERT INTO CourtOrders VALUES "
        "('302', 'AIR 2020 SC 1', 'Supreme Court', 'State v. Ram', 'Murder; motive proved.'), "
        "('302/34', '2019 Cri LJ 55', 'High Court', 'Ram v. State', 'Common intention.'), "
        "('498''A', '2021 SCC 9', 'Supreme Court', 'Union v. D''Souza', "
        " 'Cruelty; the wife''s statement.'), "
        "('138', '(2018) 3 SCC 1 ''Suppl.''', 'Supreme Court', 'Kaur v. Singh', 'धारा 138 "
        "notice.')"));
}

void TestRulingsLibrary::cleanup()
{
    test::RegistersHost::closeReports();
    m_host.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
}

RulingsLibrary *TestRulingsLibrary::openLibrary()
{
    m_library = qobject_cast<RulingsLibrary *>(m_host->openScreen(screens::rulings));
    return m_library;
}

SearchRulings *TestRulingsLibrary::openSearch()
{
    click(m_library, "cmdFind");
    auto *search = qobject_cast<SearchRulings *>(m_host->findScreen(screens::searchRulings));
    if (!search)
        qFatal("the search screen did not open");
    return search;
}

QStringList TestRulingsLibrary::citationsShown() const
{
    const QAbstractItemModel *model =
        m_library->findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 1).data().toString();
    return shown;
}

void TestRulingsLibrary::click(QWidget *screen, const char *name)
{
    auto *button = screen->findChild<QPushButton *>(QLatin1String(name));
    if (!button)
        qFatal("no button %s", name);
    QTest::mouseClick(button, Qt::LeftButton);
}

QString TestRulingsLibrary::longHeadNotes()
{
    QStringList sentences;
    for (int i = 1; i <= 120; ++i)
        sentences << QStringLiteral("Point %1 of the head notes, on the evidence of the "
                                    "witness and the law that applies to it.")
                         .arg(i);
    return sentences.join(u' ');
}

void TestRulingsLibrary::screenAsTheOfficeKnowsIt()
{
    RulingsLibrary *library = openLibrary();
    QCOMPARE(library->objectName(), QStringLiteral("frmCourtsOrders"));
    QCOMPARE(library->windowTitle(), QStringLiteral("Rulings"));
    QCOMPARE(library->findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Rulings"));
    QCOMPARE(library->recordSet()->source(), RecordSource::table(QStringLiteral("CourtOrders")));

    const QList<QPair<QString, QString>> labels{{"Section", "txtSection"},
                                                {"Citation", "txtCitation"},
                                                {"Case Title", "txtCaseTitle"},
                                                {"Court", "txtCourt"},
                                                {"Head Notes", "txtHnotes"}};
    QStringList seen;
    for (QLabel *label : library->findChildren<QLabel *>()) {
        if (label->buddy())
            seen << label->text() + u'>' + label->buddy()->objectName();
    }
    for (const auto &[text, buddy] : labels)
        QVERIFY2(seen.contains(text + u'>' + buddy), qPrintable(text));

    const QAbstractItemModel *grid =
        library->findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList titles;
    for (int c = 0; c < grid->columnCount(); ++c)
        titles << grid->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Section", "Citation", "Court", "Case Title"}));
    QCOMPARE(grid->rowCount(), 4);

    const QList<QPair<QString, QString>> buttons{
        {"cmdAdd", "&Add"},          {"cmdSave", "&Save"},  {"cmdModify", "Modify"},
        {"cmdDelete", "Delete"},     {"cmdFind", "Search"}, {"cmdFirst", "First"},
        {"cmdPrevious", "Previous"}, {"cmdNext", "Next"},   {"cmdLast", "Last"},
        {"cmdPrint", "Print"},       {"cmdExit", "E&xit"}};
    for (const auto &[name, caption] : buttons) {
        auto *button = library->findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->text(), caption);
    }
    for (const char *name : {"txtSection", "txtCitation", "txtCaseTitle", "txtCourt"})
        QVERIFY(library->findChild<QLineEdit *>(QLatin1String(name))->isReadOnly());
    auto *notes = library->findChild<QPlainTextEdit *>(QStringLiteral("txtHnotes"));
    QVERIFY(notes->isReadOnly());
    QCOMPARE(notes->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(notes->toPlainText(), QStringLiteral("Murder; motive proved."));
}

void TestRulingsLibrary::searchDialogAsTheOfficeKnowsIt()
{
    openLibrary();
    SearchRulings *search = openSearch();
    QCOMPARE(search->objectName(), QStringLiteral("frmSearchRulings"));
    QCOMPARE(search->windowTitle(), QStringLiteral("Search Rulings"));
    QCOMPARE(search->findChild<QGroupBox *>()->title(),
             QStringLiteral("Search According to the  : "));
    QStringList captions;
    for (int i = 0; i < 4; ++i)
        captions << search->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i))->text();
    QCOMPARE(captions, (QStringList{"Section ", "Citation", "Case Title", "Head Notes"}));
    QVERIFY(search->findChild<QRadioButton *>(QStringLiteral("Option1_0"))->isChecked());
    QCOMPARE(search->findChild<QPushButton *>(QStringLiteral("cmdOK"))->text(),
             QStringLiteral("OK"));

    // Cancel closes it and asks nothing.
    click(search, "cmdCancel");
    QVERIFY(!m_host->findScreen(screens::searchRulings));
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(citationsShown().size(), 4);
}

void TestRulingsLibrary::searchFindsTheAnswerAnywhereInTheChosenColumn_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("citations");

    QTest::newRow("section 302 also finds 302/34")
        << 0 << "302"
        << "Enter Section "
        << "Finding The Record" << QStringList{"AIR 2020 SC 1", "2019 Cri LJ 55"};
    QTest::newRow("section with an apostrophe")
        << 0 << "8'a"
        << "Enter Section "
        << "Finding The Record" << QStringList{"2021 SCC 9"};
    QTest::newRow("citation fragment") << 1 << "scc"
                                       << "Enter the Citation to be Searched"
                                       << "Finding The Record by Cuurent Date"
                                       << QStringList{"2021 SCC 9", "(2018) 3 SCC 1 'Suppl.'"};
    QTest::newRow("citation with an apostrophe")
        << 1 << "1 'sup"
        << "Enter the Citation to be Searched"
        << "Finding The Record by Cuurent Date" << QStringList{"(2018) 3 SCC 1 'Suppl.'"};
    QTest::newRow("case title with an apostrophe")
        << 2 << "d'souza"
        << "Enter the Case Title to be Searched "
        << "Finding The Record" << QStringList{"2021 SCC 9"};
    QTest::newRow("head notes word in the middle")
        << 3 << "wife's"
        << "Enter the Case no. to be Searched"
        << "Finding The Record" << QStringList{"2021 SCC 9"};
    QTest::newRow("head notes in Devanagari")
        << 3 << "धारा"
        << "Enter the Case no. to be Searched"
        << "Finding The Record" << QStringList{"(2018) 3 SCC 1 'Suppl.'"};
    QTest::newRow("nothing matches") << 1 << "AIR 1950"
                                     << "Enter the Citation to be Searched"
                                     << "Finding The Record by Cuurent Date" << QStringList();
}

void TestRulingsLibrary::searchFindsTheAnswerAnywhereInTheChosenColumn()
{
    QFETCH(int, option);
    QFETCH(QString, answer);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QFETCH(QStringList, citations);

    openLibrary();
    SearchRulings *search = openSearch();
    chooseOption(search, QStringLiteral("Option1_%1").arg(option));
    m_messages->answerInput(answer);
    click(search, "cmdOK");

    QVERIFY(!m_host->findScreen(screens::searchRulings)); // closed before asking
    QCOMPARE(m_messages->shown().size(), 1);              // no message when nothing matches
    QCOMPARE(m_messages->shown().first().text, prompt);
    QCOMPARE(m_messages->shown().first().title, title);
    QCOMPARE(citationsShown(), citations);
    QVERIFY(m_library->isMaximized());
    QCOMPARE(m_host->timesMade(screens::rulings), 1);
}

void TestRulingsLibrary::everySearchSeesRulingsStoredMeanwhile()
{
    openLibrary();
    m_db->exec(QStringLiteral("INSERT INTO CourtOrders VALUES "
                              "('302', 'AIR 2024 SC 7', 'Supreme Court', 'X v. Y', 'Motive.')"));
    SearchRulings *search = openSearch();
    chooseOption(search, QStringLiteral("Option1_0"));
    m_messages->answerInput(QStringLiteral("302"));
    click(search, "cmdOK");
    // The search runs in the database, so a ruling stored by another program
    // since the library opened is found too.
    QCOMPARE(citationsShown(), (QStringList{"AIR 2020 SC 1", "2019 Cri LJ 55", "AIR 2024 SC 7"}));

    search = openSearch();
    chooseOption(search, QStringLiteral("Option1_3"));
    m_messages->answerInput(QStringLiteral("motive"));
    click(search, "cmdOK");
    QCOMPARE(citationsShown(), (QStringList{"AIR 2020 SC 1", "AIR 2024 SC 7"}));
}

void TestRulingsLibrary::emptyAnswerOrCancelLeavesTheLibraryAsItIs()
{
    openLibrary();
    SearchRulings *search = openSearch();
    m_messages->answerInput(QStringLiteral("302"));
    click(search, "cmdOK");
    QCOMPARE(citationsShown().size(), 2);

    search = openSearch();
    m_messages->answerInput(QString());
    click(search, "cmdOK");
    QVERIFY(!m_host->findScreen(screens::searchRulings));
    QCOMPARE(citationsShown().size(), 2);

    search = openSearch();
    chooseOption(search, QStringLiteral("Option1_3"));
    m_messages->cancelInput();
    click(search, "cmdOK");
    QCOMPARE(citationsShown().size(), 2); // a cancelled head notes search reads nothing afresh
}

void TestRulingsLibrary::firstAndLastOnAnEmptyLibraryDoNothing()
{
    m_db->exec(QStringLiteral("DELETE FROM CourtOrders"));
    openLibrary();
    click(m_library, "cmdLast");
    click(m_library, "cmdFirst");
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(m_library->findChild<QLineEdit *>(QStringLiteral("txtSection"))->text().isEmpty());
}

void TestRulingsLibrary::addStartsInTheSectionAndSaveStores()
{
    openLibrary();
    QApplication::setActiveWindow(m_library);
    QVERIFY(QTest::qWaitForWindowActive(m_library));
    m_messages->answer(Answer::Yes);
    click(m_library, "cmdAdd");
    auto *section = m_library->findChild<QLineEdit *>(QStringLiteral("txtSection"));
    QCOMPARE(QApplication::focusWidget(), section);
    QTest::keyClicks(section, QStringLiteral("438"));
    QTest::keyClick(section, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtCitation"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2022 SCC 4"));
    auto *notes = m_library->findChild<QPlainTextEdit *>(QStringLiteral("txtHnotes"));
    notes->setFocus();
    QTest::keyClicks(notes, QStringLiteral("Bail."));
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, QStringLiteral("Second line."));
    click(m_library, "cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT HeadNotes FROM CourtOrders WHERE Section = '438'"))
                 .toString(),
             QStringLiteral("Bail.\nSecond line."));
    QCOMPARE(citationsShown().last(), QStringLiteral("2022 SCC 4"));
}

void TestRulingsLibrary::printShowsTheRulingOnTheScreenWithAllItsHeadNotes()
{
    const QString notes = longHeadNotes();
    m_db->exec(
        QStringLiteral("UPDATE CourtOrders SET HeadNotes = '%1' WHERE Section = '138'").arg(notes));
    openLibrary();
    click(m_library, "cmdLast");
    // What the screen shows is printed, typed changes included.
    click(m_library, "cmdModify");
    auto *court = m_library->findChild<QLineEdit *>(QStringLiteral("txtCourt"));
    court->selectAll();
    QTest::keyClicks(court, QStringLiteral("Supreme Court of India"));
    click(m_library, "cmdPrint");

    auto *window = test::RegistersHost::reports(QStringLiteral("drCourtsOrders")).value(0);
    QVERIFY(window);
    const report::ReportDocument &doc = window->document();
    QVERIFY(doc.pageCount() >= 2); // the head notes run on to a second page
    auto value = [&](const char *name) {
        QStringList lines;
        for (const report::ReportPage &page : doc.pages) {
            for (const report::PlacedItem &item : page.textItems()) {
                if (item.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    lines << item.lines;
            }
        }
        return lines;
    };
    QCOMPARE(value("lblSec"), QStringList{"138"});
    QCOMPARE(value("lblCit"), QStringList{"(2018) 3 SCC 1 'Suppl.'"});
    QCOMPARE(value("lblCourt"), QStringList{"Supreme Court of India"});
    QCOMPARE(value("lblCT"), QStringList{"Kaur v. Singh"});
    const QStringList lines = value("lblHnotes");
    QVERIFY(lines.size() > 40);
    QCOMPARE(lines.join(u' ').simplified(), notes);
    const QStringList captions = doc.pages.first().texts(QStringLiteral("Section2"));
    for (const char *caption : {"Section:", "Citation:", "Court:", "Case Title:", "Head Notes"})
        QVERIFY2(captions.contains(QLatin1String(caption)), caption);

    const QString out = qEnvironmentVariable("LEXORDO_PDF_DIR");
    QTemporaryDir dir;
    QString error;
    QVERIFY2(window->exportPdf((out.isEmpty() ? dir.path() : out) + QStringLiteral("/ruling.pdf"),
                               &error),
             qPrintable(error));
    click(m_library, "cmdSave");
}

void TestRulingsLibrary::printOfAnEmptyLibraryPrintsTheCaptions()
{
    m_db->exec(QStringLiteral("DELETE FROM CourtOrders"));
    openLibrary();
    click(m_library, "cmdPrint");
    auto *window = test::RegistersHost::reports(QStringLiteral("drCourtsOrders")).value(0);
    QVERIFY(window);
    const report::ReportPage &page = window->document().pages.first();
    QVERIFY(page.texts(QStringLiteral("Section2")).contains(QStringLiteral("Head Notes")));
    for (const char *name : {"lblSec", "lblCit", "lblCourt", "lblCT", "lblHnotes"}) {
        const report::PlacedItem *value =
            page.find(QStringLiteral("Section2"), QLatin1String(name));
        QVERIFY2(!value || value->text.isEmpty(), name);
    }
}

// The window opens whole on a 1024x768 screen, the workspace's frame and menu
// included; LEXORDO_SHOT_DIR keeps a picture of it to look at.
void TestRulingsLibrary::fitsTheScreenOfAnOfficeComputer()
{
    openLibrary();
    const QSize needed = m_library->minimumSizeHint();
    QVERIFY2(needed.width() <= 1000 && needed.height() <= 680,
             qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
    QVERIFY(m_library->width() <= 1000 && m_library->height() <= 680);
    const QString shots = qEnvironmentVariable("LEXORDO_SHOT_DIR");
    if (!shots.isEmpty())
        QVERIFY(m_library->grab().save(shots + QStringLiteral("/rulings.png")));

    // So does its search screen, captions whole.
    click(m_library, "cmdFind");
    QWidget *search = m_host->findScreen(screens::searchRulings);
    QVERIFY(search);
    for (QRadioButton *option : search->findChildren<QRadioButton *>())
        QVERIFY(option->width() >= option->sizeHint().width());
    if (!shots.isEmpty())
        QVERIFY(search->grab().save(shots + QStringLiteral("/searchrulings.png")));
}

QTEST_MAIN(TestRulingsLibrary)
#include "tst_rulingslibrary.moc"

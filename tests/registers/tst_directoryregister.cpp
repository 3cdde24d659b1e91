#include "registershost.h"
#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/recordset.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <registers/directoryregister.h>
#include <registers/searchdirectory.h>
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

class TestDirectoryRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitsTheScreenOfAnOfficeComputer();

    void screenAsTheOfficeKnowsIt();
    void searchDialogAsTheOfficeKnowsIt();
    void searchByEachField_data();
    void searchByEachField();
    void addAsksNothingAndAMoveStoresTheEntry();
    void saveStoresThePendingEntry();
    void refreshStoresThePendingEntryAndShowsAllInNameOrder();
    void closingStoresThePendingEntry();
    void deleteAsksNothing();

private:
    DirectoryRegister *openDirectory();
    QStringList namesShown() const;
    QLineEdit *field(const char *name) const;
    void search(int option, const QString &answer);
    static void click(QWidget *screen, const char *name);
    QStringList namesStored() const;

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<test::RegistersHost> m_host;
    QPointer<DirectoryRegister> m_directory;
};

void TestDirectoryRegister::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    m_host = std::make_unique<test::RegistersHost>();
    m_host->add(screens::directory, [] { return new DirectoryRegister; });
    m_host->add(screens::searchDirectory, [] { return new SearchDirectory; });
    m_db->exec(QStringLiteral(
        "INSERT INTO directory VALUES "
        "('Suresh Rao', 'Tis Hazari, Delhi', 'D/101/1990', '011-1000', '98100', '011-1001', "
        " 'suresh@bar.in', 'B+'), "
        "('Asha Sharma', 'O''Neill Chambers, Saket', 'D/202/2001', '011-2000', '98200', NULL, "
        " 'asha.o''neill@bar.in', 'O+'), "
        "('Pradeep D''Mello', 'Fort, Mumbai', 'MAH/33/1985', '022-3000', '98300', '022-3001', "
        " 'pdm@bar.in', 'A-'), "
        "('Shanti Devi', 'Patiala House', 'D/404/2010', '011-4000', '98400', NULL, "
        " 'shanti@bar.in', 'AB+')"));
}

void TestDirectoryRegister::cleanup()
{
    m_host.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
}

DirectoryRegister *TestDirectoryRegister::openDirectory()
{
    m_directory = qobject_cast<DirectoryRegister *>(m_host->openScreen(screens::directory));
    test::showScreen(m_directory);
    return m_directory;
}

QStringList TestDirectoryRegister::namesShown() const
{
    const QAbstractItemModel *model =
        m_directory->findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString();
    return shown;
}

QStringList TestDirectoryRegister::namesStored() const
{
    RecordSet stored(
        RecordSource::table(QStringLiteral("directory")).orderBy(QStringLiteral("name")));
    QStringList names;
    for (int row = 0; row < stored.rowCount(); ++row)
        names << stored.textAt(row, 0);
    return names;
}

QLineEdit *TestDirectoryRegister::field(const char *name) const
{
    return m_directory->findChild<QLineEdit *>(QLatin1String(name));
}

void TestDirectoryRegister::click(QWidget *screen, const char *name)
{
    auto *button = screen->findChild<QPushButton *>(QLatin1String(name));
    if (!button)
        qFatal("no button %s", name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestDirectoryRegister::search(int option, const QString &answer)
{
    click(m_directory, "cmdFind");
    auto *dialog = m_host->findScreen(screens::searchDirectory);
    QVERIFY(dialog);
    chooseOption(dialog, QStringLiteral("Option1_%1").arg(option));
    m_messages->answerInput(answer);
    click(dialog, "cmdOK");
    QVERIFY(!m_host->findScreen(screens::searchDirectory));
}

void TestDirectoryRegister::screenAsTheOfficeKnowsIt()
{
    DirectoryRegister *directory = openDirectory();
    QCOMPARE(directory->objectName(), QStringLiteral("frmDirectory"));
    QCOMPARE(directory->windowTitle(), QStringLiteral("Directory"));
    QCOMPARE(directory->recordSet()->source(),
             RecordSource::table(QStringLiteral("directory")).orderBy(QStringLiteral("name")));

    const QList<QPair<QString, QString>> labels{
        {"NAME  :", "txtName"},   {"ADDRESS  :", "Text1"},    {"ENROLMENT NO. :", "Text2"},
        {"PHONE NO. :", "Text3"}, {"BLOOD GROUP :", "Text4"}, {"Mobiole No.", "Text5"},
        {"E-mail:", "Text6"},     {"FAX No.:", "Text7"}};
    QStringList seen;
    for (QLabel *label : directory->findChildren<QLabel *>()) {
        if (label->buddy())
            seen << label->text() + u'>' + label->buddy()->objectName();
    }
    for (const auto &[text, buddy] : labels) {
        QVERIFY2(seen.contains(text + u'>' + buddy), qPrintable(text));
        QVERIFY2(!field(qPrintable(buddy))->isReadOnly(), qPrintable(buddy)); // always open
    }

    const QAbstractItemModel *grid =
        directory->findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList titles;
    for (int c = 0; c < grid->columnCount(); ++c)
        titles << grid->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Name", "Address", "Enrolment", "Phno", "Mobile", "FAX", "Email",
                                  "BloodGroup"}));
    QCOMPARE(namesShown(),
             (QStringList{"Asha Sharma", "Pradeep D'Mello", "Shanti Devi", "Suresh Rao"}));
    QCOMPARE(field("Text4")->text(), QStringLiteral("O+"));

    const QList<QPair<QString, QString>> buttons{{"cmdAdd", "&Add"},      {"cmdSave", "&Save"},
                                                 {"cmdDelete", "Delete"}, {"cmdFind", "Search"},
                                                 {"Command1", "Refresh"}, {"cmdExit", "E&xit"},
                                                 {"cmdFirst", "|<"},      {"cmdPrevious", "<<"},
                                                 {"cmdNext", ">>"},       {"cmdLast", ">|"}};
    for (const auto &[name, caption] : buttons) {
        auto *button = directory->findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->text(), caption);
        QVERIFY(button->isEnabled());
    }
    QVERIFY(!directory->findChild<QPushButton *>(QStringLiteral("cmdModify")));
}

void TestDirectoryRegister::searchDialogAsTheOfficeKnowsIt()
{
    openDirectory();
    click(m_directory, "cmdFind");
    QWidget *dialog = m_host->findScreen(screens::searchDirectory);
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmSearchDirectory"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Searching from Directory According to"));
    QCOMPARE(dialog->findChild<QGroupBox *>()->title(),
             QStringLiteral("Search According to the  : "));
    QStringList captions;
    for (int i = 0; i < 7; ++i)
        captions << dialog->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i))->text();
    QCOMPARE(captions, (QStringList{"Name", "Address", "Enrolment No.", "Phone No", "Mobile No.",
                                    "FAX No", "Email"}));
    QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("Option1_0"))->isChecked());
    click(dialog, "cmdCancel");
    QVERIFY(!m_host->findScreen(screens::searchDirectory));
    QVERIFY(m_messages->shown().isEmpty());
}

void TestDirectoryRegister::searchByEachField_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("names");

    const QString record = QStringLiteral("Finding The Record");
    QTest::newRow("one letter of a name begins it")
        << 0 << "s"
        << "Enter the Name to be Searched" << record << QStringList{"Shanti Devi", "Suresh Rao"};
    QTest::newRow("two letters of a name are found anywhere")
        << 0 << "Sh"
        << "Enter the Name to be Searched" << record
        << QStringList{"Asha Sharma", "Shanti Devi", "Suresh Rao"};
    QTest::newRow("a name with an apostrophe")
        << 0 << "d'm"
        << "Enter the Name to be Searched" << record << QStringList{"Pradeep D'Mello"};
    QTest::newRow("one letter inside a name is not enough")
        << 0 << "h"
        << "Enter the Name to be Searched" << record << QStringList();
    QTest::newRow("address with an apostrophe")
        << 1 << "o'neill"
        << "Enter Address to be Searched"
        << "Finding The Record by Cuurent Date" << QStringList{"Asha Sharma"};
    QTest::newRow("address of one letter is found anywhere")
        << 1 << "M"
        << "Enter Address to be Searched"
        << "Finding The Record by Cuurent Date" << QStringList{"Asha Sharma", "Pradeep D'Mello"};
    QTest::newRow("enrolment") << 2 << "/1990"
                               << "Enter the Enrolment No. to be Searched" << record
                               << QStringList{"Suresh Rao"};
    QTest::newRow("phone") << 3 << "022"
                           << "Enter the Phone No. to be Searched" << record
                           << QStringList{"Pradeep D'Mello"};
    QTest::newRow("mobile") << 4 << "84"
                            << "Enter the Mobile No. to be Searched" << record
                            << QStringList{"Shanti Devi"};
    QTest::newRow("fax") << 5 << "1001"
                         << "Enter the FAX No. to be Searched" << record
                         << QStringList{"Suresh Rao"};
    QTest::newRow("enrolment with an apostrophe")
        << 2 << "D'2"
        << "Enter the Enrolment No. to be Searched" << record << QStringList();
    QTest::newRow("phone with an apostrophe")
        << 3 << "011'"
        << "Enter the Phone No. to be Searched" << record << QStringList();
    QTest::newRow("mobile with an apostrophe")
        << 4 << "'98"
        << "Enter the Mobile No. to be Searched" << record << QStringList();
    QTest::newRow("fax with an apostrophe")
        << 5 << "0'22"
        << "Enter the FAX No. to be Searched" << record << QStringList();
    QTest::newRow("email with an apostrophe")
        << 6 << "o'neill@"
        << "Enter the Email to be Searched" << record << QStringList{"Asha Sharma"};
    QTest::newRow("email") << 6 << "@BAR"
                           << "Enter the Email to be Searched" << record
                           << QStringList{"Asha Sharma", "Pradeep D'Mello", "Shanti Devi",
                                          "Suresh Rao"};
}

void TestDirectoryRegister::searchByEachField()
{
    QFETCH(int, option);
    QFETCH(QString, answer);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QFETCH(QStringList, names);

    openDirectory();
    search(option, answer);
    QCOMPARE(m_messages->shown().size(), 1); // nothing is said when nothing matches
    QCOMPARE(m_messages->shown().first().text, prompt);
    QCOMPARE(m_messages->shown().first().title, title);
    QCOMPARE(namesShown(), names);

    // Refresh brings every entry back, in name order.
    click(m_directory, "Command1");
    QCOMPARE(namesShown().size(), 4);
}

void TestDirectoryRegister::addAsksNothingAndAMoveStoresTheEntry()
{
    openDirectory();
    click(m_directory, "cmdAdd");
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(QApplication::focusWidget(), field("txtName"));
    QTest::keyClicks(field("txtName"), QStringLiteral("Zubin O'Hara"));
    QTest::keyClick(field("txtName"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
    // Typed as a keyboard of the script sends it, one character at a time.
    for (const QChar c : QStringLiteral("कचहरी रोड"))
        QTest::sendKeyEvent(QTest::Click, field("Text1"), Qt::Key_unknown, QString(c), {});
    QCOMPARE(namesStored().size(), 4);
    click(m_directory, "cmdFirst");
    QCOMPARE(namesStored().size(), 5);
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT Address FROM directory WHERE Name = 'Zubin O''Hara'"))
            .toString(),
        QStringLiteral("कचहरी रोड"));
}

void TestDirectoryRegister::saveStoresThePendingEntry()
{
    openDirectory();
    click(m_directory, "cmdAdd");
    QTest::keyClicks(field("txtName"), QStringLiteral("Meera Iyer"));
    click(m_directory, "cmdSave");
    QVERIFY(namesStored().contains(QStringLiteral("Meera Iyer")));
    QCOMPARE(field("txtName")->text(), QStringLiteral("Meera Iyer")); // stays on the entry

    // A change to an entry is stored by Save as well.
    field("Text3")->selectAll();
    QTest::keyClicks(field("Text3"), QStringLiteral("044-9999"));
    click(m_directory, "cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT Phno FROM directory WHERE Name = 'Meera Iyer'"))
                 .toString(),
             QStringLiteral("044-9999"));
    QVERIFY(m_messages->shown().isEmpty());
}

void TestDirectoryRegister::refreshStoresThePendingEntryAndShowsAllInNameOrder()
{
    openDirectory();
    search(0, QStringLiteral("r"));
    QCOMPARE(namesShown(), QStringList{});
    click(m_directory, "Command1");
    click(m_directory, "cmdAdd");
    QTest::keyClicks(field("txtName"), QStringLiteral("Bhavna Kapoor"));
    click(m_directory, "Command1");
    QCOMPARE(namesShown(), (QStringList{"Asha Sharma", "Bhavna Kapoor", "Pradeep D'Mello",
                                        "Shanti Devi", "Suresh Rao"}));
    QCOMPARE(namesStored().size(), 5);
}

void TestDirectoryRegister::closingStoresThePendingEntry()
{
    openDirectory();
    click(m_directory, "cmdLast");
    field("Text4")->selectAll();
    QTest::keyClicks(field("Text4"), QStringLiteral("O-"));
    click(m_directory, "cmdAdd");
    QTest::keyClicks(field("txtName"), QStringLiteral("Kiran Bedi"));
    click(m_directory, "cmdExit");
    QVERIFY(!m_host->findScreen(screens::directory));
    QVERIFY(m_messages->shown().isEmpty()); // stored without asking
    QVERIFY(namesStored().contains(QStringLiteral("Kiran Bedi")));
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT BloodGroup FROM directory WHERE Name = 'Suresh Rao'"))
            .toString(),
        QStringLiteral("O-"));
}

void TestDirectoryRegister::deleteAsksNothing()
{
    openDirectory();
    click(m_directory, "cmdNext");
    QCOMPARE(field("txtName")->text(), QStringLiteral("Pradeep D'Mello"));
    click(m_directory, "cmdDelete");
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(namesStored(), (QStringList{"Asha Sharma", "Shanti Devi", "Suresh Rao"}));
    QCOMPARE(namesShown(), (QStringList{"Asha Sharma", "Shanti Devi", "Suresh Rao"}));

    // Past the last entry Delete deletes nothing.
    click(m_directory, "cmdLast");
    click(m_directory, "cmdNext");
    click(m_directory, "cmdDelete");
    QCOMPARE(namesStored().size(), 3);
}

// The window opens whole on a 1024x768 screen, the workspace's frame and menu
// included; LEXORDO_SHOT_DIR keeps a picture of it to look at.
void TestDirectoryRegister::fitsTheScreenOfAnOfficeComputer()
{
    openDirectory();
    const QSize needed = m_directory->minimumSizeHint();
    QVERIFY2(needed.width() <= 1000 && needed.height() <= 680,
             qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
    QVERIFY(m_directory->width() <= 1000 && m_directory->height() <= 680);
    const QString shots = qEnvironmentVariable("LEXORDO_SHOT_DIR");
    if (!shots.isEmpty())
        QVERIFY(m_directory->grab().save(shots + QStringLiteral("/directory.png")));

    // So does its search screen, captions whole.
    click(m_directory, "cmdFind");
    QWidget *search = m_host->findScreen(screens::searchDirectory);
    QVERIFY(search);
    for (QRadioButton *option : search->findChildren<QRadioButton *>())
        QVERIFY(option->width() >= option->sizeHint().width());
    if (!shots.isEmpty())
        QVERIFY(search->grab().save(shots + QStringLiteral("/searchdirectory.png")));
}

QTEST_MAIN(TestDirectoryRegister)
#include "tst_directoryregister.moc"

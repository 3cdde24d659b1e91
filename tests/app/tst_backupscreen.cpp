#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"
#include "support/testserver.h"

#include <app/backupscreen.h>
#include <app/mainwindow.h>
#include <app/restore.h>
#include <data/backup.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/serverbackup.h>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace lexordo;
using namespace lexordo::test;

namespace {
// What a screen reader says of a widget: its name and its description.
QString spoken(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) + u'|' + face->text(QAccessible::Description)
                : QString();
}
} // namespace

class TestBackupScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsItsCaptionsAndStartsAtTheLastFolder();
    void backUpWritesTheCopyAndSaysSo();
    void backingUpTwiceReplacesWithoutAsking();
    void aFolderThatCannotTakeTheCopyShowsTheError();
    void aDriveThatIsNotReadyIsIgnored();
    void theRootOfADriveTakesTheCopy();
    void chosenFolderIsTheDestination();
    void enterBacksUpAndExitCloses();
    void keepsDatedCopiesAndRemembersHowMany();

    void restoreReplacesTheDiaryAndKeepsTheOldOne();
    void restoreRefusesAFileThatIsNotABackup();
    void restoreChangesNothingWhenTheUserSaysNo();
    void restoreStopsWhenAScreenStaysOpen();
    void restoreClosesTheOpenScreensFirst();
    void restoreRefusesTheDiaryItself();
    void aDiaryOnAServerIsBackedUpAsItsDump();

private:
    BackupScreen *screen() { return m_screen; }
    template <typename T> T *control(const char *name) const
    {
        T *widget = m_screen->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void backUp() { QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton); }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    QPointer<BackupScreen> m_screen;
    QTemporaryDir m_folder;
};

void TestBackupScreen::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestBackupScreen::init()
{
    QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"))
        .remove(QStringLiteral("backup"));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('D''Souza Court', 1)"));
    m_messages = std::make_unique<ScriptedMessenger>();
    m_screen = new BackupScreen;
    m_screen->setAttribute(Qt::WA_DeleteOnClose);
    m_screen->show();
}

void TestBackupScreen::cleanup()
{
    delete m_screen;
    m_messages.reset();
    m_db.reset();
    QDir(m_folder.path()).removeRecursively();
    QDir().mkpath(m_folder.path());
}

void TestBackupScreen::showsItsCaptionsAndStartsAtTheLastFolder()
{
    QCOMPARE(screen()->objectName(), QStringLiteral("frmBackup"));
    QCOMPARE(screen()->windowTitle(), QStringLiteral("Select Destination to  Backup :"));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("Select Drive :"));
    QCOMPARE(control<QLabel>("Label1")->buddy(), control<QComboBox>("Drive1"));
    QCOMPARE(control<QLabel>("Label2")->text(), QStringLiteral("Select Folder :"));
    QCOMPARE(control<QLabel>("Label2")->buddy(), control<QTreeView>("Dir1"));
    QCOMPARE(control<QPushButton>("cmdOK")->text(), QStringLiteral("&Back Up"));
    QCOMPARE(control<QPushButton>("Command1")->text(), QStringLiteral("E&xit"));
    QVERIFY(control<QComboBox>("Drive1")->count() > 0);
    // With no backup taken yet it starts at the current folder, on its drive.
    QCOMPARE(screen()->folder(), QDir::currentPath());
    QVERIFY(QDir::currentPath().startsWith(screen()->drive()));

    // Once a backup is taken, the next screen starts where it went.
    screen()->setFolder(m_folder.path());
    backUp();
    QCOMPARE(m_messages->lastText(), BackupScreen::completedMessage);
    BackupScreen next;
    QCOMPARE(next.folder(), m_folder.path());
}

void TestBackupScreen::backUpWritesTheCopyAndSaysSo()
{
    screen()->setFolder(m_folder.path());
    QCOMPARE(screen()->folder(), m_folder.path());
    const QString copy = m_folder.filePath(QStringLiteral("advocate.mdb"));
    QCOMPARE(control<QLabel>("lblDestination")->text(), copy);
    // A screen reader hears the file, not only what the line is.
    QCOMPARE(spoken(control<QLabel>("lblDestination")),
             QStringLiteral("Backup file: %1|%1").arg(copy));
    screen()->setFolder(QDir::tempPath());
    QVERIFY(spoken(control<QLabel>("lblDestination"))
                .startsWith(QStringLiteral("Backup file: ") +
                            QDir(QDir::tempPath()).filePath(QStringLiteral("advocate.mdb"))));
    screen()->setFolder(m_folder.path());
    backUp();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Backing up completed")});
    DatabaseBackup::checkFile(copy);
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("advocate.mdb")});
    QVERIFY(screen()->isVisible()); // the screen stays open
}

void TestBackupScreen::backingUpTwiceReplacesWithoutAsking()
{
    screen()->setFolder(m_folder.path());
    backUp();
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));
    backUp();
    QCOMPARE(m_messages->texts(),
             (QStringList{BackupScreen::completedMessage, BackupScreen::completedMessage}));
    QCOMPARE(m_messages->unansweredCount(), 0);

    // The second copy is the one there: restoring it brings back both courts.
    m_db->exec(QStringLiteral("DELETE FROM courts"));
    DatabaseBackup::restoreFrom(m_folder.filePath(QStringLiteral("advocate.mdb")),
                                m_folder.filePath(QStringLiteral("kept.mdb")));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
}

void TestBackupScreen::aFolderThatCannotTakeTheCopyShowsTheError()
{
    const QString gone = m_folder.filePath(QStringLiteral("usb"));
    QVERIFY(QDir().mkpath(gone));
    screen()->setFolder(gone);
    QVERIFY(QDir(gone).removeRecursively()); // the stick was pulled out
    backUp();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("The folder %1 does not exist.").arg(gone)});
    QCOMPARE(m_messages->shown().constLast().buttons, Messenger::Buttons::Ok);

    // A folder that cannot be written in, whoever asks.
    if (QFileInfo(QStringLiteral("/proc/self")).isDir()) {
        m_messages->clear();
        screen()->setFolder(QStringLiteral("/proc"));
        QCOMPARE(screen()->folder(), QStringLiteral("/proc"));
        backUp();
        QCOMPARE(m_messages->texts().size(), 1);
        QVERIFY2(m_messages->lastText().startsWith(
                     QStringLiteral("/proc/advocate.mdb could not be written: ")),
                 qPrintable(m_messages->lastText()));
        QCOMPARE(m_messages->shown().constLast().icon, Messenger::Icon::Critical);
    }

    // An earlier copy that cannot be replaced is left as it was.
    m_messages->clear();
    screen()->setFolder(m_folder.path());
    QVERIFY(QDir(m_folder.path()).mkdir(QStringLiteral("advocate.mdb")));
    backUp();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("%1 is a folder; it has been left as it is.")
                             .arg(m_folder.filePath(QStringLiteral("advocate.mdb")))});
}

void TestBackupScreen::aDriveThatIsNotReadyIsIgnored()
{
    QTemporaryDir usb;
    screen()->listDrives({m_folder.path(), QStringLiteral("/no/such/drive"), usb.path()});
    auto *drives = control<QComboBox>("Drive1");
    drives->setCurrentIndex(drives->findData(m_folder.path()));
    QCOMPARE(drives->currentData().toString(), m_folder.path());

    drives->setCurrentIndex(drives->findData(QStringLiteral("/no/such/drive")));
    QCOMPARE(screen()->drive(), m_folder.path());
    QCOMPARE(screen()->folder(), m_folder.path());
    QCOMPARE(drives->currentData().toString(), m_folder.path());
    QVERIFY(m_messages->texts().isEmpty());

    // A ready drive is taken, and the folder list shows it from its root.
    drives->setCurrentIndex(drives->findData(usb.path()));
    QCOMPARE(screen()->drive(), usb.path());
    QCOMPARE(screen()->folder(), usb.path());
    auto *tree = control<QTreeView>("Dir1");
    QCOMPARE(tree->model()->data(tree->rootIndex(), Qt::UserRole + 1).toString(), usb.path());
}

void TestBackupScreen::theRootOfADriveTakesTheCopy()
{
    // A drive at the root of the file system gives "/advocate.mdb", one separator.
    QCOMPARE(DatabaseBackup::copyPathIn(QStringLiteral("/")), QStringLiteral("/advocate.mdb"));

    // A drive chosen in the list is backed up to at its root.
    QTemporaryDir usb;
    screen()->listDrives({m_folder.path(), usb.path()});
    auto *drives = control<QComboBox>("Drive1");
    drives->setCurrentIndex(drives->findData(usb.path()));
    QCOMPARE(screen()->folder(), usb.path());
    backUp();
    QCOMPARE(m_messages->texts(), QStringList{BackupScreen::completedMessage});
    DatabaseBackup::checkFile(QDir(usb.path()).filePath(QStringLiteral("advocate.mdb")));
}

void TestBackupScreen::chosenFolderIsTheDestination()
{
    QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("Diary backups/December")));
    const QString chosen = m_folder.filePath(QStringLiteral("Diary backups/December"));
    screen()->listDrives({m_folder.path()});
    screen()->setFolder(chosen);
    QCOMPARE(screen()->drive(), QStorageInfo(m_folder.path()).rootPath());
    QCOMPARE(screen()->folder(), chosen);
    auto *tree = control<QTreeView>("Dir1");
    QCOMPARE(tree->model()->data(tree->currentIndex(), Qt::DisplayRole).toString(),
             QStringLiteral("December"));
    backUp();
    QVERIFY(QFile::exists(chosen + QStringLiteral("/advocate.mdb")));

    // Clicking another folder in the list makes it the destination.
    const QModelIndex parent = tree->currentIndex().parent();
    tree->setCurrentIndex(parent);
    QCOMPARE(screen()->folder(), m_folder.filePath(QStringLiteral("Diary backups")));
}

void TestBackupScreen::enterBacksUpAndExitCloses()
{
    screen()->setFolder(m_folder.path());
    control<QTreeView>("Dir1")->setFocus();
    QTest::keyClick(control<QTreeView>("Dir1"), Qt::Key_Return);
    QCOMPARE(m_messages->texts(), QStringList{BackupScreen::completedMessage});
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QTRY_VERIFY(!m_screen);
}

void TestBackupScreen::keepsDatedCopiesAndRemembersHowMany()
{
    auto *keep = control<QSpinBox>("spnKeep");
    QCOMPARE(control<QLabel>("lblKeep")->buddy(), keep);
    QCOMPARE(keep->value(), 0); // no dated copies until asked

    const QDir dir(m_folder.path());
    for (const char *day : {"04", "05", "06"}) {
        QFile earlier(
            dir.filePath(QStringLiteral("advocate-2026-12-%1.mdb").arg(QLatin1String(day))));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
    }
    Clock::setToday(QDate(2026, 12, 7));
    screen()->setFolder(m_folder.path());
    keep->setValue(2);
    backUp();
    Clock::reset();
    QCOMPARE(m_messages->texts(), QStringList{BackupScreen::completedMessage});
    QCOMPARE(
        dir.entryList(QDir::Files, QDir::Name),
        (QStringList{QStringLiteral("advocate-2026-12-06.mdb"),
                     QStringLiteral("advocate-2026-12-07.mdb"), QStringLiteral("advocate.mdb")}));
    DatabaseBackup::checkFile(dir.filePath(QStringLiteral("advocate-2026-12-07.mdb")));

    BackupScreen next;
    QCOMPARE(next.findChild<QSpinBox *>(QStringLiteral("spnKeep"))->value(), 2);
}

void TestBackupScreen::restoreReplacesTheDiaryAndKeepsTheOldOne()
{
    const QString copy = DatabaseBackup::copyPathIn(m_folder.path());
    DatabaseBackup::writeSnapshot(copy);
    m_db->exec(
        QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('Typed after the backup', 2)"));

    int closed = 0;
    m_messages->answer(Messenger::Answer::Yes);
    QVERIFY(restoreDiary(copy, [&closed] {
        ++closed;
        return true;
    }));
    QCOMPARE(closed, 1);
    QCOMPARE(m_messages->shown().size(), 2);
    const QString question = m_messages->shown().at(0).text;
    QVERIFY2(
        question.startsWith(QStringLiteral("Replace the diary with the backup %1 of ").arg(copy)),
        qPrintable(question));
    QCOMPARE(m_messages->shown().at(0).buttons, Messenger::Buttons::YesNo);

    // The replaced diary lies beside it under a dated name.
    const QStringList kept =
        QDir(m_db->folder()).entryList({QStringLiteral("advocate_v2-replaced-*.mdb")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    const QString keptPath = QDir(m_db->folder()).filePath(kept.first());
    QVERIFY(
        question.endsWith(QStringLiteral("The present diary will be kept as %1.").arg(keptPath)));
    QCOMPARE(m_messages->lastText(), QStringLiteral("The diary has been restored from %1.\n"
                                                    "The replaced diary is kept as %2.")
                                         .arg(copy, keptPath));

    QVERIFY(Database::isOpen());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(court) FROM courts")).toString(),
             QStringLiteral("D'Souza Court"));
    DatabaseBackup::checkFile(keptPath);
}

void TestBackupScreen::restoreRefusesAFileThatIsNotABackup()
{
    const QString letter = m_folder.filePath(QStringLiteral("letter.mdb"));
    QFile file(letter);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("To the Registrar, High Court.\n").repeated(100));
    file.close();

    int closed = 0;
    QVERIFY(!restoreDiary(letter, [&closed] {
        ++closed;
        return true;
    }));
    QCOMPARE(closed, 0);
    QCOMPARE(m_messages->shown().size(), 1);
    QVERIFY(m_messages->lastText().startsWith(letter +
                                              QStringLiteral(" is not a backup of the diary: ")));
    QVERIFY(m_messages->lastText().endsWith(QStringLiteral("\nNothing has been changed.")));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*replaced*")}, QDir::Files),
             QStringList());

    // Cancelling the choice of a file does nothing at all.
    m_messages->clear();
    QVERIFY(!restoreDiary(QString(), [&closed] {
        ++closed;
        return true;
    }));
    QVERIFY(m_messages->texts().isEmpty());
}

void TestBackupScreen::restoreChangesNothingWhenTheUserSaysNo()
{
    const QString copy = DatabaseBackup::copyPathIn(m_folder.path());
    DatabaseBackup::writeSnapshot(copy);
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));

    int closed = 0;
    m_messages->answer(Messenger::Answer::No);
    QVERIFY(!restoreDiary(copy, [&closed] {
        ++closed;
        return true;
    }));
    QCOMPARE(closed, 0);
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
    QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*replaced*")}, QDir::Files),
             QStringList());
}

void TestBackupScreen::restoreStopsWhenAScreenStaysOpen()
{
    const QString copy = DatabaseBackup::copyPathIn(m_folder.path());
    DatabaseBackup::writeSnapshot(copy);
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));

    m_messages->answer(Messenger::Answer::Yes);
    QVERIFY(!restoreDiary(copy, [] { return false; }));
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
    QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*replaced*")}, QDir::Files),
             QStringList());
}

void TestBackupScreen::restoreClosesTheOpenScreensFirst()
{
    const QString copy = DatabaseBackup::copyPathIn(m_folder.path());
    DatabaseBackup::writeSnapshot(copy);
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));

    MainWindow window;
    window.show();
    window.menuEntry(QStringLiteral("mnuCEntry"))->trigger();
    window.menuEntry(QStringLiteral("mnuHoli"))->trigger();
    QPointer<QWidget> courts = window.findScreen(QStringLiteral("frmCourts"));
    QVERIFY(courts);
    QCOMPARE(window.mdiArea()->subWindowList().size(), 2);

    m_messages->answer(Messenger::Answer::Yes);
    QVERIFY(restoreDiary(copy, [&window] { return window.closeAllScreens(); }));
    QVERIFY(!courts); // gone before the diary was replaced
    QCOMPARE(window.mdiArea()->subWindowList().size(), 0);
    QVERIFY(m_messages->lastText().startsWith(QStringLiteral("The diary has been restored from ")));

    // Opened again, the register reads the restored diary.
    window.menuEntry(QStringLiteral("mnuCEntry"))->trigger();
    QWidget *reopened = window.findScreen(QStringLiteral("frmCourts"));
    QVERIFY(reopened);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    auto *court = reopened->findChild<QLineEdit *>(QStringLiteral("txtHdays"));
    QVERIFY(court);
    QCOMPARE(court->text(), QStringLiteral("D'Souza Court"));
}

void TestBackupScreen::restoreRefusesTheDiaryItself()
{
    const QString link = m_folder.filePath(QStringLiteral("advocate.mdb"));
    QVERIFY(QFile::link(m_db->path(), link));
    QVERIFY(!restoreDiary(link, [] { return true; }));
    QCOMPARE(m_messages->texts(),
             QStringList{link + QStringLiteral(" is the diary itself, not a backup of it.\n"
                                               "Nothing has been changed.")});
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*replaced*")}, QDir::Files),
             QStringList());
}

void TestBackupScreen::aDiaryOnAServerIsBackedUpAsItsDump()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress server = TestServer::shared().newDatabase();
    Database::createOnServer(server);
    Database::openServer(server);

    screen()->setFolder(m_folder.path());
    const QString dump = m_folder.filePath(QStringLiteral("advocate.dump"));
    QCOMPARE(control<QLabel>("lblDestination")->text(), dump);
    backUp();
    QCOMPARE(m_messages->texts(), QStringList{BackupScreen::completedMessage});
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("advocate.dump")});
    ServerBackup::checkDump(dump);
}

QTEST_MAIN(TestBackupScreen)
#include "tst_backupscreen.moc"

#include "support/scriptedmessenger.h"

#include <data/database.h>
#include <data/datasource.h>
#include <data/diaryfolder.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

// Each case gets its own catalogue (ODBCINI), its own install tree and its
// own user data folder (XDG_DATA_HOME), so that cases may run side by side.
class TestDiaryFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aBuildFolderKeepsTheDiaryBesideTheProgram();
    void anInstalledProgramUsesTheUserDataFolder();
    void firstStartOfAnInstalledProgramCreatesAndRegistersTheDiary();
    void secondStartChangesNothing();
    void anExistingEntryIsLeftAsItIs();
    void anEntryThatNamesNoDiaryGetsNoNewDiary();

private:
    QString installTree(bool withDesktopEntry) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_dataFolder;
};

void TestDiaryFolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("ODBCINI", m_dir->filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("data")).toLocal8Bit());
    m_dataFolder = diaryfolder::folder(installTree(true));
}

void TestDiaryFolder::cleanup()
{
    Database::close();
    qunsetenv("ODBCINI");
    qunsetenv("XDG_DATA_HOME");
}

// PREFIX/bin, with PREFIX/share/applications/<id>.desktop when asked.
QString TestDiaryFolder::installTree(bool withDesktopEntry) const
{
    const QString prefix =
        m_dir->filePath(withDesktopEntry ? QStringLiteral("usr") : QStringLiteral("build"));
    QDir().mkpath(prefix + QStringLiteral("/bin"));
    if (withDesktopEntry) {
        QDir().mkpath(prefix + QStringLiteral("/share/applications"));
        QFile entry(prefix + QStringLiteral("/share/applications/org.lexordo.Lexordo.desktop"));
        if (entry.open(QIODevice::WriteOnly))
            entry.write("[Desktop Entry]\n");
    }
    return prefix + QStringLiteral("/bin");
}

void TestDiaryFolder::aBuildFolderKeepsTheDiaryBesideTheProgram()
{
    const QString program = installTree(false);
    QVERIFY(!diaryfolder::isInstalled(program));
    QCOMPARE(diaryfolder::folder(program), program);
    // A folder of its own that is not called bin is not an install tree either.
    QVERIFY(!diaryfolder::isInstalled(m_dir->path()));

    ScriptedMessenger messages;
    QCOMPARE(diaryfolder::prepare(program), program);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(!DataSource::registeredDatabase());
    QVERIFY(!QFile::exists(DataSource::defaultDatabase(program)));
}

void TestDiaryFolder::anInstalledProgramUsesTheUserDataFolder()
{
    const QString program = installTree(true);
    QVERIFY(diaryfolder::isInstalled(program));
    const QString folder = diaryfolder::folder(program);
    QCOMPARE(folder, m_dir->filePath(QStringLiteral("data/Lexordo")));
}

void TestDiaryFolder::firstStartOfAnInstalledProgramCreatesAndRegistersTheDiary()
{
    const QString program = installTree(true);
    ScriptedMessenger messages;
    QCOMPARE(diaryfolder::prepare(program), m_dataFolder);

    const QString database = QDir(m_dataFolder).filePath(QStringLiteral("advocate_v2.mdb"));
    QVERIFY(QFileInfo(database).isFile());
    QCOMPARE(DataSource::registeredDatabase().value_or(QString()), database);
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("A new diary has been created in %1.\nThe data source "
                                        "\"advocate\" names it; the user name is clerk and the "
                                        "password lexordo.")
                             .arg(database)});
    QCOMPARE(messages.unansweredCount(), 0);
    // The new diary opens with every table.
    Database::open(DataSource::databasePath(m_dataFolder));
    QVERIFY(Database::isOpen());
}

void TestDiaryFolder::secondStartChangesNothing()
{
    const QString program = installTree(true);
    {
        ScriptedMessenger first;
        diaryfolder::prepare(program);
    }
    const QString database = QDir(m_dataFolder).filePath(QStringLiteral("advocate_v2.mdb"));
    const QDateTime written = QFileInfo(database).lastModified();
    ScriptedMessenger second;
    QCOMPARE(diaryfolder::prepare(program), m_dataFolder);
    QVERIFY(second.shown().isEmpty());
    QCOMPARE(QFileInfo(database).lastModified(), written);
}

void TestDiaryFolder::anExistingEntryIsLeftAsItIs()
{
    const QString elsewhere = m_dir->filePath(QStringLiteral("office.mdb"));
    QVERIFY(DataSource::writeEntry(elsewhere));
    ScriptedMessenger messages;
    diaryfolder::prepare(installTree(true));
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(!QFile::exists(QDir(m_dataFolder).filePath(QStringLiteral("advocate_v2.mdb"))));
    QCOMPARE(DataSource::registeredDatabase().value_or(QString()), elsewhere);
}

void TestDiaryFolder::anEntryThatNamesNoDiaryGetsNoNewDiary()
{
    QFile catalogue(m_dir->filePath(QStringLiteral("odbc.ini")));
    QVERIFY(catalogue.open(QIODevice::WriteOnly));
    catalogue.write("[advocate]\nDriver=SQLite3\nDatabase=\n");
    catalogue.close();
    ScriptedMessenger messages;
    QCOMPARE(diaryfolder::prepare(installTree(true)), m_dataFolder);
    // Start-up reports the entry; no diary is made to stand in for it.
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(!QFile::exists(QDir(m_dataFolder).filePath(QStringLiteral("advocate_v2.mdb"))));
    QCOMPARE(DataSource::entry().state, DataSource::Entry::State::Unusable);
}

QTEST_GUILESS_MAIN(TestDiaryFolder)
#include "tst_diaryfolder.moc"

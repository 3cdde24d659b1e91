#include "startup.h"

#include "mainwindow.h"
#include "qtmessenger.h"
#include "splash.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/messenger.h>
#include <data/schemacheck.h>

#include <QApplication>
#include <QFileInfo>
#include <QPointer>

namespace lexordo {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool prepareDatabase(const QString &folder)
{
    const DataSource::Outcome outcome = DataSource::ensureRegistered(folder);
    const QString path = DataSource::databasePath(folder);
    if (outcome == DataSource::Outcome::FileMissing)
        return true; // already told; the program starts without its database
    try {
        SchemaCheck::openDiary(path);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        // A missing file leaves the program to start without its database, as
        // on the first start; a file that is there but is no diary stops it
        // before any screen would fail on it.
        return !QFileInfo::exists(path);
    }
    return true;
}

int runDesktop(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexordo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexordo"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    QtMessenger screenMessenger;
    setMessenger(&screenMessenger);

    if (!prepareDatabase(programFolder())) {
        setMessenger(nullptr);
        return 1;
    }

    QPointer<MainWindow> mainWindow;
    auto *splash = new Splash([&mainWindow] {
        mainWindow = new MainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
    });
    splash->show();

    const int result = QApplication::exec();
    setMessenger(nullptr);
    Database::close();
    return result;
}

} // namespace lexordo

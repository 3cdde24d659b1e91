#include "backupscreen.h"

#include "ui_backupscreen.h"

#include <data/backup.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/serverbackup.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSettings>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTimer>
#include <widgets/valuelabel.h>

namespace lexordo {

namespace {

const QString lastFolderKey = QStringLiteral("backup/lastFolder");
const QString keepKey = QStringLiteral("backup/keep");

QSettings settings()
{
    return QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
}

QString driveText(const QString &root)
{
    const QStorageInfo volume(root);
    const QString name = volume.isValid() ? volume.name() : QString();
    const QString shown = QDir::toNativeSeparators(root);
    return name.isEmpty() || name == shown ? shown : QStringLiteral("%1  [%2]").arg(shown, name);
}

// The file a backup into `folder` writes: a copy of the diary file, or the
// server's dump of its database.
QString destinationIn(const QString &folder)
{
    return Database::isServer() ? ServerBackup::dumpPathIn(folder)
                                : DatabaseBackup::copyPathIn(folder);
}

} // namespace

BackupScreen::BackupScreen(QWidget *parent)
    : QDialog(parent), ui(new Ui::BackupScreen), m_folders(new QFileSystemModel(this))
{
    ui->setupUi(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setReadOnly(true);
    ui->Dir1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        ui->Dir1->hideColumn(column);

    // Folders are read in the background: the chosen one comes into view
    // once its folder has been read.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this] {
        // After the model has sorted what it read.
        QTimer::singleShot(0, this, [this] {
            if (ui->Dir1->currentIndex().isValid())
                ui->Dir1->scrollTo(ui->Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    });
    connect(ui->Drive1, &QComboBox::currentIndexChanged, this, &BackupScreen::driveChanged);
    connect(ui->Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &BackupScreen::folderChosen);
    connect(ui->cmdOK, &QPushButton::clicked, this, &BackupScreen::backUp);
    connect(exitButton(), &QPushButton::clicked, this, &QDialog::close);

    ui->spnKeep->setValue(lastKeep());
    listDrives(mountedDrives());
    QString start = lastFolder();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::currentPath();
    setFolder(start);
}

BackupScreen::~BackupScreen()
{
    delete ui;
}

QPushButton *BackupScreen::exitButton() const
{
    return ui->Command1;
}

QStringList BackupScreen::mountedDrives()
{
    QStringList roots;
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        // Files mounted on their own (a container's /etc/hosts) are no drives.
        if (volume.isValid() && volume.isReady() && !volume.isReadOnly() &&
            QFileInfo(volume.rootPath()).isDir() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    roots.sort();
    return roots;
}

void BackupScreen::listDrives(const QStringList &roots)
{
    const QSignalBlocker blocker(ui->Drive1);
    ui->Drive1->clear();
    for (const QString &root : roots)
        ui->Drive1->addItem(driveText(root), root);
    const int current = ui->Drive1->findData(m_drive);
    ui->Drive1->setCurrentIndex(current >= 0 ? current : -1);
}

bool BackupScreen::driveReady(const QString &root)
{
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QFileInfo(root).isDir();
}

QString BackupScreen::drive() const
{
    return m_drive;
}

QString BackupScreen::folder() const
{
    return m_folder;
}

void BackupScreen::driveChanged(int index)
{
    const QString root = ui->Drive1->itemData(index).toString();
    if (root.isEmpty() || root == m_drive)
        return;
    if (!driveReady(root)) {
        // A drive that is not ready is passed over; the list stays where it was.
        const QSignalBlocker blocker(ui->Drive1);
        ui->Drive1->setCurrentIndex(ui->Drive1->findData(m_drive));
        return;
    }
    showDrive(root);
}

void BackupScreen::showDrive(const QString &root)
{
    m_drive = root;
    m_folders->setRootPath(root);
    ui->Dir1->setRootIndex(m_folders->index(root));
    ui->Dir1->selectionModel()->clearCurrentIndex();
    m_folder = root;
    showValue(ui->lblDestination, QDir::toNativeSeparators(destinationIn(m_folder)));
}

void BackupScreen::setFolder(const QString &path)
{
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString root = QStorageInfo(folder).rootPath();
    if (root.isEmpty())
        root = QDir::rootPath();
    if (ui->Drive1->findData(root) < 0) {
        const QSignalBlocker blocker(ui->Drive1);
        ui->Drive1->addItem(driveText(root), root);
    }
    {
        const QSignalBlocker blocker(ui->Drive1);
        ui->Drive1->setCurrentIndex(ui->Drive1->findData(root));
    }
    showDrive(root);
    if (folder != QDir::cleanPath(root)) {
        const QModelIndex index = m_folders->index(folder);
        if (index.isValid()) {
            ui->Dir1->setCurrentIndex(index);
            ui->Dir1->scrollTo(index);
        }
    }
}

void BackupScreen::folderChosen()
{
    const QModelIndex current = ui->Dir1->currentIndex();
    m_folder = current.isValid() ? m_folders->filePath(current) : m_drive;
    showValue(ui->lblDestination, QDir::toNativeSeparators(destinationIn(m_folder)));
}

QString BackupScreen::lastFolder()
{
    return settings().value(lastFolderKey).toString();
}

int BackupScreen::lastKeep()
{
    return settings().value(keepKey, 0).toInt();
}

void BackupScreen::backUp()
{
    const int keep = ui->spnKeep->value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DatabaseBackup::backUpInto(m_folder, keep, Clock::today());
    } catch (const DataError &e) {
        QApplication::restoreOverrideCursor();
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return;
    }
    QApplication::restoreOverrideCursor();
    settings().setValue(lastFolderKey, m_folder);
    settings().setValue(keepKey, keep);
    showMessage(completedMessage);
}

} // namespace lexordo

#pragma once

#include <QDialog>
#include <QStringList>

class QFileSystemModel;
class QPushButton;

namespace Ui {
class BackupScreen;
}

namespace lexordo {

// `frmBackup`: copies the open diary to "advocate.mdb" in a folder that the
// user picks from the machine's drives and their folders, and, when asked,
// keeps the last few days' copies beside it under dated names. A diary on a
// server is dumped to "advocate.dump" instead.
class BackupScreen : public QDialog
{
    Q_OBJECT

public:
    static inline const QString completedMessage = QStringLiteral("Backing up completed");

    explicit BackupScreen(QWidget *parent = nullptr);
    ~BackupScreen() override;

    // The drives offered, by their root folders (the mounted volumes that can
    // take a copy unless set otherwise).
    void listDrives(const QStringList &roots);
    static QStringList mountedDrives();

    QString drive() const;
    // The path of the folder list: the folder chosen, or the drive's root.
    QString folder() const;
    // Moves to a folder, and to its drive.
    void setFolder(const QString &path);

    // The folder of the last backup taken here, remembered between sessions.
    static QString lastFolder();
    // How many dated copies the last backup taken here kept (0: none).
    static int lastKeep();

private:
    void driveChanged(int index);
    void showDrive(const QString &root);
    void folderChosen();
    void backUp();
    static bool driveReady(const QString &root);
    // The form's Exit button.
    QPushButton *exitButton() const;

    Ui::BackupScreen *ui;
    QFileSystemModel *m_folders;
    QString m_drive;
    QString m_folder;
};

} // namespace lexordo

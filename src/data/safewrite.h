#pragma once

#include <memory>
#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace lexordo::safewrite {

// Every file the program writes (PDF, CSV, calendar, backup copy, the copy a
// restore keeps) passes here first. A target that is the diary, or one of the
// files SQLite keeps beside it (-wal, -shm, -journal), is refused whatever
// name reaches it: a relative path, a symbolic link, a hard link.

// True when `target` is the diary at `diaryPath` or one of its companions.
bool isDiaryFile(const QString &target, const QString &diaryPath);

// Throws DataError naming `target` when it is the open diary or one of its
// companions; does nothing when no diary is open.
void refuseDiary(const QString &target);
// The same against a diary named by its path, open or not.
void refuseDiary(const QString &target, const QString &diaryPath);

// A file written under a temporary name in the target's folder and renamed
// into place only by commit(), so that a failure half-way (a full disk, a
// fault in the writer) leaves the earlier file as it was and no torn one.
// A device or a pipe (/dev/stdout) is written straight instead. Opening
// refuses the diary as refuseDiary() does. Not committed, nothing is left.
class AtomicFile
{
public:
    explicit AtomicFile(const QString &target); // throws DataError
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    QIODevice &device();
    // Writes all of `bytes` or throws DataError naming the target.
    void write(const QByteArray &bytes);
    // Puts the finished file in place; throws DataError naming the target.
    void commit();

private:
    QString m_target;
    std::unique_ptr<QFileDevice> m_file;
    bool m_straight = false;
    bool m_done = false;
};

// For a screen that has let the clerk choose a file to write: refuses the
// diary with a message at once, then asks whether an existing file is to be
// replaced. True when the writer may go on. A file dialog that asks itself is
// told not to (QFileDialog::DontConfirmOverwrite), so that the diary is
// refused before anyone is asked to replace it.
bool mayReplace(const QString &target);

// Writes a whole file at once through an AtomicFile.
void writeFile(const QString &target, const QByteArray &bytes); // throws DataError

} // namespace lexordo::safewrite

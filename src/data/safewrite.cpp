#include "data/safewrite.h"

#include "data/database.h"
#include "data/dataerror.h"
#include "data/messenger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace lexordo::safewrite {

namespace {

const QString companions[] = {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                              QStringLiteral("-journal")};

// The path through the real path of its folder, so that "../" and a linked
// folder compare too; the file itself may not be there yet.
QString inRealFolder(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + u'/' + info.fileName();
}

// The file that writing to `path` would reach: symbolic links followed to
// their end (also a link to a file not made yet, which writing would make).
// Empty when the links go round in a circle.
QString finalName(const QString &path)
{
    QString name = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; QFileInfo(name).isSymLink(); ++hops) {
        if (hops == 40)
            return QString();
        name = QFileInfo(name).symLinkTarget();
    }
    return inRealFolder(name);
}

bool sameInode(const QString &a, const QString &b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A device or a pipe (/dev/stdout, a printer's fifo) cannot be replaced by a
// finished copy; it is written straight. /dev/stdout sent to a plain file is
// written straight too, or the shell would keep the file that was replaced.
bool isStraight(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    return !info.isFile() || absolute.startsWith(QStringLiteral("/dev/")) ||
           absolute.startsWith(QStringLiteral("/proc/"));
}

DataError refusal(const QString &target)
{
    return DataError(QStringLiteral("%1 is the open diary or one of the files kept beside it; "
                                    "nothing was written.")
                         .arg(target));
}

} // namespace

bool isDiaryFile(const QString &target, const QString &diaryPath)
{
    if (target.isEmpty() || diaryPath.isEmpty())
        return false;
    const QString targetName = finalName(target);
    // The diary as named and as found: SQLite keeps its journals beside the
    // name it was opened by, or beside the real file.
    const QStringList diaryNames = {finalName(diaryPath), inRealFolder(diaryPath)};
    for (const QString &diaryName : diaryNames) {
        for (const QString &suffix : companions) {
            const QString name = diaryName + suffix;
            if (targetName == name || sameInode(target, name))
                return true;
        }
    }
    return false;
}

void refuseDiary(const QString &target, const QString &diaryPath)
{
    if (isDiaryFile(target, diaryPath))
        throw refusal(target);
}

void refuseDiary(const QString &target)
{
    if (Database::isOpen())
        refuseDiary(target, Database::path());
}

AtomicFile::AtomicFile(const QString &target) : m_target(target)
{
    if (target.isEmpty())
        throw DataError(QStringLiteral("No file name was given; nothing was written."));
    refuseDiary(target);
    if (QFileInfo(target).isDir())
        throw DataError(QStringLiteral("%1 could not be written: it is a folder.").arg(target));
    m_straight = isStraight(target);
    if (m_straight) {
        auto file = std::make_unique<QFile>(target);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw DataError(
                QStringLiteral("%1 could not be written: %2").arg(target, file->errorString()));
        m_file = std::move(file);
        return;
    }
    // The temporary file goes beside the file a link leads to, and replaces
    // that file; the link stays.
    const QString final = finalName(target);
    if (final.isEmpty())
        throw DataError(QStringLiteral("%1 is a link that leads round in a circle; nothing was "
                                       "written.")
                            .arg(target));
    auto file = std::make_unique<QSaveFile>(final);
    if (!file->open(QIODevice::WriteOnly))
        throw DataError(
            QStringLiteral("%1 could not be written: %2").arg(target, file->errorString()));
    m_file = std::move(file);
}

AtomicFile::~AtomicFile()
{
    if (!m_done && !m_straight)
        static_cast<QSaveFile *>(m_file.get())->cancelWriting();
}

QIODevice &AtomicFile::device()
{
    return *m_file;
}

void AtomicFile::write(const QByteArray &bytes)
{
    const qint64 written = m_file->write(bytes);
    if (written == bytes.size())
        return;
    // A disk filling up takes part of a block and says why only when the
    // rest is refused: asked once more for its reason, it is still a failure.
    if (written >= 0 && m_file->error() == QFileDevice::NoError)
        m_file->write(bytes.constData() + written, bytes.size() - written);
    throw DataError(
        QStringLiteral("%1 could not be written: %2").arg(m_target, m_file->errorString()));
}

void AtomicFile::commit()
{
    if (m_done)
        return;
    // The diary may have been named by a link made while the file was being
    // written; the rename is the last moment to refuse it.
    refuseDiary(m_target);
    if (m_straight) {
        m_file->close();
        m_done = true;
        if (m_file->error() != QFileDevice::NoError)
            throw DataError(
                QStringLiteral("%1 could not be written: %2").arg(m_target, m_file->errorString()));
        return;
    }
    auto *file = static_cast<QSaveFile *>(m_file.get());
    m_done = true;
    if (!file->commit())
        throw DataError(
            QStringLiteral("%1 could not be written: %2").arg(m_target, file->errorString()));
}

bool mayReplace(const QString &target)
{
    try {
        refuseDiary(target);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return false;
    }
    if (!QFileInfo::exists(target))
        return true;
    return askYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(target)),
                    Messenger::Icon::Exclamation);
}

void writeFile(const QString &target, const QByteArray &bytes)
{
    AtomicFile file(target);
    file.write(bytes);
    file.commit();
}

} // namespace lexordo::safewrite

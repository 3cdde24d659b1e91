#include "data/safewrite.h"

#include "data/database.h"
#include "data/dataerror.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace lexordo::safewrite {

namespace {

const QString companions[] = {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                              QStringLiteral("-journal")};

// The real path of a file that may not exist yet: its folder's real path and
// its own name, so that a link to the folder or a "../" still compares.
QString realName(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

bool sameInode(const QString &a, const QString &b)
{
    struct stat sa{};
    struct stat sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
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
    const QString targetName = realName(target);
    const QString diaryName = realName(diaryPath);
    for (const QString &suffix : companions) {
        const QString name = diaryName + suffix;
        if (targetName == name || sameInode(target, name))
            return true;
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

AtomicFile::AtomicFile(const QString &target)
    : m_target(target)
{
    if (target.isEmpty())
        throw DataError(QStringLiteral("No file name was given; nothing was written."));
    refuseDiary(target);
    const QFileInfo info(target);
    if (info.isDir())
        throw DataError(QStringLiteral("%1 is a folder; nothing was written.").arg(target));
    m_straight = info.exists() && !info.isFile();
    if (m_straight) {
        // A device or a pipe cannot be replaced by a finished copy.
        auto file = std::make_unique<QFile>(target);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw DataError(QStringLiteral("%1 could not be written: %2").arg(target, file->errorString()));
        m_file = std::move(file);
    } else {
        auto file = std::make_unique<QSaveFile>(target);
        if (!file->open(QIODevice::WriteOnly))
            throw DataError(QStringLiteral("%1 could not be written: %2").arg(target, file->errorString()));
        m_file = std::move(file);
    }
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
    if (m_file->write(bytes) != bytes.size())
        throw DataError(QStringLiteral("%1 could not be written: %2").arg(m_target, m_file->errorString()));
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
            throw DataError(QStringLiteral("%1 could not be written: %2").arg(m_target, m_file->errorString()));
        return;
    }
    auto *file = static_cast<QSaveFile *>(m_file.get());
    m_done = true;
    if (!file->commit())
        throw DataError(QStringLiteral("%1 could not be written: %2").arg(m_target, file->errorString()));
}

void writeFile(const QString &target, const QByteArray &bytes)
{
    AtomicFile file(target);
    file.write(bytes);
    file.commit();
}

} // namespace lexordo::safewrite

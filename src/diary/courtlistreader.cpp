#include "courtlistreader.h"

#include <algorithm>
#include <data/dataerror.h>
#include <future>
#include <memory>
#include <poppler-qt6.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QThread>
#include <vector>

namespace lexordo::courtlist {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool looksLikeHtml(const QString &path, const QByteArray &bytes)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"html" || suffix == u"htm" || suffix == u"xhtml")
        return true;
    const QByteArray head = bytes.left(4096).toLower();
    return head.contains("<html") || head.contains("<!doctype html") || head.contains("<body") ||
           head.contains("<table");
}

QString decodedText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes); // an older page in a single-byte code
}

QString decodedEntity(const QString &name)
{
    if (name.startsWith(u"#x") || name.startsWith(u"#X")) {
        bool ok = false;
        const uint code = name.mid(2).toUInt(&ok, 16);
        return ok && code > 0 && code <= 0x10ffff
                   ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1)
                   : QString();
    }
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.mid(1).toUInt(&ok);
        return ok && code > 0 && code <= 0x10ffff
                   ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1)
                   : QString();
    }
    const QString lower = name.toLower();
    if (lower == u"nbsp" || lower == u"ensp" || lower == u"emsp" || lower == u"thinsp")
        return QStringLiteral(" ");
    if (lower == u"amp")
        return QStringLiteral("&");
    if (lower == u"lt")
        return QStringLiteral("<");
    if (lower == u"gt")
        return QStringLiteral(">");
    if (lower == u"quot")
        return QStringLiteral("\"");
    if (lower == u"apos")
        return QStringLiteral("'");
    if (lower == u"ndash" || lower == u"mdash")
        return QStringLiteral("-");
    return QString();
}

std::unique_ptr<Poppler::Document> loadPdf(const QString &path, const QByteArray &bytes)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document)
        throw DataError(QStringLiteral("%1 is not a PDF that can be read; it may be damaged or "
                                       "not yet saved in full.")
                            .arg(shown(path)));
    if (document->isLocked())
        throw DataError(QStringLiteral("%1 is locked with a password; save the list without one.")
                            .arg(shown(path)));
    return document;
}

QString pagesText(Poppler::Document &document, int first, int end)
{
    QString text;
    for (int i = first; i < end; ++i) {
        const std::unique_ptr<Poppler::Page> page = document.page(i);
        if (!page)
            continue;
        text += page->text(QRectF(), Poppler::Page::PhysicalLayout);
        text += u'\n';
    }
    return text;
}

ListText readPdf(const QString &path, const QByteArray &bytes)
{
    std::unique_ptr<Poppler::Document> document = loadPdf(path, bytes);
    ListText list;
    list.kind = ListText::Kind::Pdf;
    list.pages = document->numPages();
    // A long list is read in runs of pages at once, one document each (a
    // document is read by one thread at a time); the texts join in page order.
    constexpr int pagesForAThread = 16;
    const int threads = std::clamp(std::min(QThread::idealThreadCount(), 4), 1,
                                   std::max(1, list.pages / pagesForAThread));
    std::vector<std::future<QString>> runs;
    const auto runStart = [&list, threads](int run) {
        return int(qint64(list.pages) * run / threads);
    };
    for (int run = 1; run < threads; ++run) {
        runs.push_back(std::async(std::launch::async, [&path, &bytes, &runStart, run] {
            const std::unique_ptr<Poppler::Document> own = loadPdf(path, bytes);
            return pagesText(*own, runStart(run), runStart(run + 1));
        }));
    }
    try {
        list.text = pagesText(*document, 0, runStart(1));
    } catch (...) {
        for (std::future<QString> &run : runs)
            run.wait();
        throw;
    }
    for (std::future<QString> &run : runs)
        list.text += run.get();
    bool hasText = false;
    for (QChar c : std::as_const(list.text)) {
        if (c.isLetterOrNumber()) {
            hasText = true;
            break;
        }
    }
    if (!hasText)
        throw DataError(QStringLiteral("%1 has no text, only pictures of its pages (a scanned "
                                       "list), so its case numbers cannot be read. Save the "
                                       "court's list as a PDF with text, or as a web page.")
                            .arg(shown(path)));
    return list;
}

} // namespace

QString htmlText(const QByteArray &html)
{
    QStringDecoder decoder(
        QStringConverter::encodingForHtml(html).value_or(QStringConverter::Utf8));
    QString text = decoder.decode(html);
    if (decoder.hasError())
        text = decodedText(html);

    static const QRegularExpression hidden(
        QStringLiteral("<!--.*?-->|<(script|style|head|noscript)\\b[^>]*>.*?</\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression sourceBreaks(QStringLiteral("[\\r\\n]+"));
    static const QRegularExpression cellEnd(QStringLiteral("</t[dh]\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression blockTag(
        QStringLiteral("<(?:br|/?(?:tr|p|div|li|h[1-6]|table|thead|tbody|tfoot|caption|ul|ol|dl|dt|"
                       "dd|pre|section|article|header|footer|blockquote|hr))\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression anyTag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]{2,8});"));

    text.remove(hidden);
    text.replace(sourceBreaks, QStringLiteral(" "));
    text.replace(cellEnd, QStringLiteral("\t"));
    text.replace(blockTag, QStringLiteral("\n"));
    text.remove(anyTag);

    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString decoded = decodedEntity(m.captured(1));
        out += QStringView(text).mid(done, m.capturedStart() - done);
        out += decoded.isNull() ? m.captured() : decoded;
        done = m.capturedEnd();
    }
    out += QStringView(text).mid(done);
    return out;
}

ListText readListFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw DataError(QStringLiteral("%1 does not exist or is not a file.").arg(shown(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(
            QStringLiteral("%1 cannot be read: %2").arg(shown(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DataError(
            QStringLiteral("%1 cannot be read: %2").arg(shown(path), file.errorString()));
    if (bytes.trimmed().isEmpty())
        throw DataError(QStringLiteral("%1 is empty.").arg(shown(path)));
    file.close();

    if (bytes.startsWith("%PDF-"))
        return readPdf(path, bytes);
    if (bytes.left(4096).contains('\0'))
        throw DataError(QStringLiteral("%1 is not a court's list: save the list as a PDF, a web "
                                       "page or a text file.")
                            .arg(shown(path)));
    ListText list;
    if (looksLikeHtml(path, bytes)) {
        list.kind = ListText::Kind::Html;
        list.text = htmlText(bytes);
    } else {
        list.text = decodedText(bytes);
    }
    return list;
}

} // namespace lexordo::courtlist

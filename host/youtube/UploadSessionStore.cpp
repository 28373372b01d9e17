#include "UploadSessionStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <glog/logging.h>

namespace Tavrix::Social::YouTube {

namespace {
constexpr char kFind[] = "Tavrix::Social::YouTube::UploadSessionStore::Find: ";
constexpr char kSave[] = "Tavrix::Social::YouTube::UploadSessionStore::Save: ";
constexpr qint64 kEdge = 1024 * 1024;

QByteArray Sha256Hex(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QString Stamp(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime FromStamp(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}
} // namespace

FileIdentity FileIdentity::Of(const QString& file)
{
    FileIdentity identity;
    const QFileInfo info(file);
    QFile input(file);
    if (!info.isFile() || !input.open(QIODevice::ReadOnly))
        return identity;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(input.read(kEdge));
    if (info.size() > kEdge && input.seek(qMax(kEdge, info.size() - kEdge)))
        hash.addData(input.read(kEdge));
    identity.path = info.absoluteFilePath();
    identity.size = info.size();
    identity.modified = info.lastModified();
    identity.edgesHash = hash.result().toHex();
    return identity;
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return path == other.path && size == other.size && modified == other.modified && edgesHash == other.edgesHash;
}

struct UploadSessionStore::Impl
{
    QString folder;
    qint64 lifetime = 0;

    QString RecordOf(const QString& filePath) const
    {
        return QDir(folder).filePath(QString::fromLatin1(Sha256Hex(filePath.toUtf8()).left(32)) +
                                     QStringLiteral(".json"));
    }
};

UploadSessionStore::UploadSessionStore(const QString& folder, qint64 lifetimeSeconds)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->folder = folder;
    m_impl->lifetime = lifetimeSeconds;
}

UploadSessionStore::~UploadSessionStore() = default;

QByteArray UploadSessionStore::MetadataHash(const QByteArray& metadataJson)
{
    return Sha256Hex(metadataJson);
}

std::optional<StoredSession> UploadSessionStore::Find(const FileIdentity& file, const QByteArray& metadataHash,
                                                      qint64 chunkSize) const
{
    if (m_impl->folder.isEmpty() || file.size < 0)
        return std::nullopt;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString wanted = m_impl->RecordOf(file.path);
    std::optional<StoredSession> found;
    const QDir folder(m_impl->folder);
    for (const QFileInfo& entry : folder.entryInfoList({QStringLiteral("*.json")}, QDir::Files))
    {
        QFile record(entry.absoluteFilePath());
        const QJsonObject json =
            record.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(record.readAll()).object() : QJsonObject();
        StoredSession session;
        session.uri = QUrl(json.value(QStringLiteral("sessionUri")).toString());
        session.file.path = json.value(QStringLiteral("path")).toString();
        session.file.size = static_cast<qint64>(json.value(QStringLiteral("size")).toDouble(-1));
        session.file.modified = FromStamp(json.value(QStringLiteral("modified")).toString());
        session.file.edgesHash = json.value(QStringLiteral("edgesHash")).toString().toLatin1();
        session.metadataHash = json.value(QStringLiteral("metadataHash")).toString().toLatin1();
        session.chunkSize = static_cast<qint64>(json.value(QStringLiteral("chunkSize")).toDouble());
        session.openedAt = FromStamp(json.value(QStringLiteral("openedAt")).toString());
        if (!session.uri.isValid() || session.file.path.isEmpty() || !session.openedAt.isValid())
        {
            // A record cut short or edited by hand: never worth stopping an upload for.
            if (entry.absoluteFilePath() == wanted)
                LOG(WARNING) << kFind << "ignoring the unreadable upload session record "
                             << entry.absoluteFilePath().toStdString();
            continue;
        }
        if (session.openedAt.secsTo(now) >= m_impl->lifetime)
        {
            LOG(INFO) << kFind << "dropping the upload session opened " << Stamp(session.openedAt).toStdString()
                      << " for " << session.file.path.toStdString() << ": the server has let it go";
            QFile::remove(entry.absoluteFilePath());
            continue;
        }
        if (entry.absoluteFilePath() != wanted)
            continue;
        if (session.file != file)
            LOG(INFO) << kFind << "the file changed since its upload session was opened, starting a new one";
        else if (session.metadataHash != metadataHash || session.chunkSize != chunkSize)
            LOG(INFO) << kFind << "the video's details or the chunk size changed, starting a new session";
        else
            found = session;
    }
    return found;
}

bool UploadSessionStore::Save(const StoredSession& session) const
{
    if (m_impl->folder.isEmpty())
        return false;
    const QJsonObject json{
        {QStringLiteral("sessionUri"), session.uri.toString()},
        {QStringLiteral("path"), session.file.path},
        {QStringLiteral("size"), static_cast<double>(session.file.size)},
        {QStringLiteral("modified"), Stamp(session.file.modified)},
        {QStringLiteral("edgesHash"), QString::fromLatin1(session.file.edgesHash)},
        {QStringLiteral("metadataHash"), QString::fromLatin1(session.metadataHash)},
        {QStringLiteral("chunkSize"), static_cast<double>(session.chunkSize)},
        {QStringLiteral("openedAt"), Stamp(session.openedAt)},
    };
    // Written beside and renamed over: a kill at any moment leaves the old record or the new one.
    QSaveFile record(m_impl->RecordOf(session.file.path));
    if (!QDir().mkpath(m_impl->folder) || !record.open(QIODevice::WriteOnly) ||
        record.write(QJsonDocument(json).toJson(QJsonDocument::Compact)) < 0 || !record.commit())
    {
        LOG(ERROR) << kSave << "cannot keep the upload session in " << record.fileName().toStdString() << ": "
                   << record.errorString().toStdString() << "; this upload cannot resume after a restart";
        return false;
    }
    return true;
}

void UploadSessionStore::Remove(const QString& filePath) const
{
    if (!m_impl->folder.isEmpty())
        QFile::remove(m_impl->RecordOf(QFileInfo(filePath).absoluteFilePath()));
}

} // namespace Tavrix::Social::YouTube

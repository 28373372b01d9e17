#pragma once

// The upload sessions this computer has open at YouTube, kept on disk so an
// upload cut short by a crash, a power cut or a closed program goes on where
// the server stands instead of from byte 0. One small JSON record per file,
// written whole or not at all; records older than the server keeps its
// sessions are dropped, and a record that cannot be read is ignored.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace Tavrix::Social::YouTube {

// What tells one file from another, or from itself after a change: its place,
// size, modification time and a hash of its first and last MiB.
struct FileIdentity
{
    QString path; // absolute
    qint64 size = -1;
    QDateTime modified;
    QByteArray edgesHash; // hex SHA-256

    // Empty (size -1) when the file cannot be read.
    static FileIdentity Of(const QString& file);
    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

struct StoredSession
{
    QUrl uri;
    FileIdentity file;
    QByteArray metadataHash; // hex SHA-256 of the video resource sent
    qint64 chunkSize = 0;
    QDateTime openedAt;
};

class UploadSessionStore
{
public:
    // An empty folder keeps nothing; lifetime in seconds.
    UploadSessionStore(const QString& folder, qint64 lifetimeSeconds);
    ~UploadSessionStore();

    UploadSessionStore(const UploadSessionStore&) = delete;
    UploadSessionStore& operator=(const UploadSessionStore&) = delete;

    static QByteArray MetadataHash(const QByteArray& metadataJson);

    // The session kept for exactly this file, metadata and chunk size, if it
    // is young enough. Drops expired records on the way.
    std::optional<StoredSession> Find(const FileIdentity& file, const QByteArray& metadataHash, qint64 chunkSize) const;
    // Replaces the file's record atomically; false (logged) when it cannot.
    bool Save(const StoredSession& session) const;
    // Forgets the file's record, if any.
    void Remove(const QString& filePath) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube

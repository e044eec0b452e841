#ifndef QBLOBSTORE_H
#define QBLOBSTORE_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTemporaryFile>

#include <memory>

// Handle of a blob in a QBlobStore. Never 0 for a live blob, so 0 can mean
// "no blob" in the records that keep one.
using BlobId = quint32;

namespace morvane {
enum class BlobStoreMode : qint32 {
    BlobsInMemory = 0,
    BlobsInTemporaryFile = 1,
};
} // namespace morvane
using morvane::BlobStoreMode;

// Keeps the bulk bytes of a document (sprite pixels, wave data) apart from its
// small records, optionally zlib-compressed, either in memory or in one
// temporary file.
//
// In file mode the temporary file is exactly the stored bytes of all blobs
// that live there, back to back: removing or replacing a blob moves the tail
// of the file down. Should the temporary file refuse to open or to take the
// bytes, the store keeps those blobs in memory instead, so nothing given to
// it is ever lost.
class QBlobStore
{
public:
    QBlobStore(BlobStoreMode mode, const QString& templateName, bool compress, int level);
    ~QBlobStore();
    QBlobStore(const QBlobStore&) = delete;
    QBlobStore& operator=(const QBlobStore&) = delete;

    BlobId append(const QByteArray& bytes);
    // Replaces `out` with the bytes last given for the blob. False (and `out`
    // untouched) for an unknown handle. With compression, damaged stored bytes
    // read back as an empty array.
    bool read(BlobId id, QByteArray& out) const;
    bool replace(BlobId id, const QByteArray& bytes);
    bool remove(BlobId id);
    void clear();

    BlobStoreMode mode() const { return storeMode; }
    bool isCompressed() const { return compress; }
    int count() const { return int(records.size()); }
    bool contains(BlobId id) const { return records.contains(id); }

    // The bytes as they are kept (after compression); empty for an unknown handle.
    QByteArray storedBytes(BlobId id) const;
    // Stored size of one blob; 0 for an unknown handle.
    quint32 storedSize(BlobId id) const;
    // Length of the temporary file (0 in memory mode) and its name.
    qint64 fileSize() const;
    QString fileName() const;

private:
    struct Record {
        QByteArray data;      // stored bytes when not in the file
        quint32 offset = 0;   // position in the file
        quint32 storedSize = 0;
        bool inFile = false;
    };

    QByteArray pack(const QByteArray& bytes) const;
    BlobId nextId();
    // Puts stored bytes at the end of the file; false when the file would not take them.
    bool writeAtEnd(Record& r, const QByteArray& stored);
    // Cuts the record's bytes out of the file, moving the tail down.
    void cutFromFile(const Record& r);

    BlobStoreMode storeMode;
    QHash<BlobId, Record> records;
    std::unique_ptr<QTemporaryFile> file;
    bool fileUsable = false;
    bool compress;
    int level;
    BlobId lastId = 0;
};

#endif

#include "qblobstore.h"

namespace {
// The tail of the file moves down in pieces of this size, so removing a blob
// never needs a second copy of everything behind it.
constexpr qint64 MoveChunk = 1 << 20;

// Blobs are read and written whole at known offsets; the device's read-ahead
// buffer would only add a copy, so the file is opened unbuffered.
class UnbufferedTemporaryFile : public QTemporaryFile
{
public:
    using QTemporaryFile::QTemporaryFile;
    bool openUnbuffered() { return QTemporaryFile::open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};
}

QBlobStore::QBlobStore(BlobStoreMode mode, const QString& templateName, bool compress, int level)
    : storeMode(mode == BlobStoreMode::BlobsInTemporaryFile ? BlobStoreMode::BlobsInTemporaryFile : BlobStoreMode::BlobsInMemory),
      compress(compress), level(level)
{
    if (storeMode == BlobStoreMode::BlobsInTemporaryFile) {
        auto f = std::make_unique<UnbufferedTemporaryFile>(templateName);
        fileUsable = f->openUnbuffered();
        file = std::move(f);
    }
}

QBlobStore::~QBlobStore() = default;

QByteArray QBlobStore::pack(const QByteArray& bytes) const
{
    return compress ? qCompress(bytes, level) : bytes;
}

BlobId QBlobStore::nextId()
{
    // A counter rather than an address: stable across runs and never 0. After
    // four billion blobs it wraps and skips handles that are still alive.
    do {
        ++lastId;
    } while (lastId == 0 || records.contains(lastId));
    return lastId;
}

bool QBlobStore::writeAtEnd(Record& r, const QByteArray& stored)
{
    if (!fileUsable)
        return false;
    const qint64 end = file->size();
    if (end + stored.size() > qint64(0xFFFFFFFFu))
        return false; // offsets are 32-bit
    if (!file->seek(end) || file->write(stored) != stored.size()) {
        file->resize(end);
        return false;
    }
    r.offset = quint32(end);
    r.storedSize = quint32(stored.size());
    r.inFile = true;
    r.data.clear();
    return true;
}

void QBlobStore::cutFromFile(const Record& r)
{
    const qint64 from = qint64(r.offset) + r.storedSize;
    const qint64 end = file->size();
    for (qint64 src = from, dst = r.offset; src < end; src += MoveChunk, dst += MoveChunk) {
        file->seek(src);
        const QByteArray piece = file->read(qMin(MoveChunk, end - src));
        file->seek(dst);
        file->write(piece);
    }
    file->resize(end - r.storedSize);
    for (Record& other : records) {
        if (other.inFile && other.offset > r.offset)
            other.offset -= r.storedSize;
    }
}

BlobId QBlobStore::append(const QByteArray& bytes)
{
    Record r;
    const QByteArray stored = pack(bytes);
    if (storeMode != BlobStoreMode::BlobsInTemporaryFile || !writeAtEnd(r, stored)) {
        r.data = stored;
        r.storedSize = quint32(stored.size());
    }
    const BlobId id = nextId();
    records.insert(id, std::move(r));
    return id;
}

bool QBlobStore::read(BlobId id, QByteArray& out) const
{
    const auto it = records.constFind(id);
    if (it == records.cend())
        return false;
    QByteArray stored;
    if (it->inFile) {
        file->seek(it->offset);
        stored = file->read(it->storedSize);
    } else {
        stored = it->data;
    }
    out = compress ? qUncompress(stored) : stored;
    return true;
}

bool QBlobStore::replace(BlobId id, const QByteArray& bytes)
{
    const auto it = records.find(id);
    if (it == records.end())
        return false;
    if (it->inFile) {
        cutFromFile(*it);
        it->inFile = false;
    }
    const QByteArray stored = pack(bytes);
    it->data.clear();
    it->offset = 0;
    if (storeMode != BlobStoreMode::BlobsInTemporaryFile || !writeAtEnd(*it, stored)) {
        it->data = stored;
        it->storedSize = quint32(stored.size());
    }
    return true;
}

bool QBlobStore::remove(BlobId id)
{
    const auto it = records.find(id);
    if (it == records.end())
        return false;
    const Record r = *it;
    records.erase(it);
    if (r.inFile)
        cutFromFile(r);
    return true;
}

void QBlobStore::clear()
{
    records.clear();
    if (fileUsable)
        file->resize(0);
}

QByteArray QBlobStore::storedBytes(BlobId id) const
{
    const auto it = records.constFind(id);
    if (it == records.cend())
        return QByteArray();
    if (!it->inFile)
        return it->data;
    file->seek(it->offset);
    return file->read(it->storedSize);
}

quint32 QBlobStore::storedSize(BlobId id) const
{
    const auto it = records.constFind(id);
    return it == records.cend() ? 0 : it->storedSize;
}

qint64 QBlobStore::fileSize() const
{
    return fileUsable ? file->size() : 0;
}

QString QBlobStore::fileName() const
{
    return fileUsable ? file->fileName() : QString();
}

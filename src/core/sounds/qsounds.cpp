#include "qsounds.h"

#include "binaryio.h"
#include "maker.h"
#include "fileread.h"
#include "qmessages.h"
#include "savefile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSoundEffect>
#include <QUrl>

#include <climits>

namespace {
// "ElecbyteSnd" and its terminating zero; all twelve bytes must match.
const QByteArray Signature("ElecbyteSnd\0", 12);
const QByteArray Version = QByteArray::fromHex("00010001");
constexpr qsizetype HeaderSize = 512;
constexpr qsizetype CommentSize = 488;
constexpr qsizetype SubheaderSize = 16;
const QByteArray Comment = QByteArray("Created in Quendar Morvane 9\n") + MakerWebAddress;

// SND offsets and lengths are 32-bit, and so is anything the user imports.
constexpr qint64 MaxSoundFile = 0xFFFFFFFFll - HeaderSize - SubheaderSize;
} // namespace

QSounds::QSounds(BlobStoreMode mode, bool compress, int level, QMessages* messages)
    : store(mode, QStringLiteral("mugensnd"), compress, level), messages(messages)
{
}

QSounds::~QSounds()
{
    stop();
    // Commands hold sounds of this store: they let go of them before it goes.
    undoStack()->clear();
}

QPair<quint16, quint16> QSounds::groupAndNumber(int i) const
{
    if (!inRange(i))
        return {0, 0};
    return {sounds[i].group, sounds[i].number};
}

WavInfo QSounds::info(int i) const
{
    return inRange(i) ? sounds[i].info : WavInfo();
}

const SoundRecord* QSounds::sound(int i) const
{
    return inRange(i) ? &sounds[i] : nullptr;
}

QByteArray QSounds::soundBytes(int i) const
{
    QByteArray bytes;
    if (inRange(i) && sounds[i].blob != 0)
        store.read(sounds[i].blob, bytes);
    return bytes;
}

void QSounds::setRecord(int i, const SoundRecord& record)
{
    if (!inRange(i))
        return;
    sounds[i] = record;
    emit soundChanged(i);
}

void QSounds::insertRecord(int i, const SoundRecord& record)
{
    if (i < 0 || i > sounds.size())
        i = int(sounds.size());
    sounds.insert(i, record);
    emit soundsInserted(i, 1);
}

SoundRecord QSounds::takeRecord(int i)
{
    if (!inRange(i))
        return SoundRecord();
    const SoundRecord r = sounds.takeAt(i);
    emit soundsRemoved(i, 1);
    return r;
}

BlobId QSounds::storeBlob(const QByteArray& bytes)
{
    return store.append(bytes);
}

void QSounds::releaseBlob(BlobId id)
{
    if (id != 0)
        store.remove(id);
}

bool QSounds::readSoundFile(const QString& fileName, SoundRecord& record)
{
    setErrorString(QString());
    if (QFileInfo(fileName).size() > MaxSoundFile) {
        setErrorString(tr("The file is too large for an SND archive."));
        return false;
    }
    QByteArray bytes;
    if (!readWholeFile(fileName, ArchiveFileLimit, &bytes))
        return false;
    record.info = readWavInfo(bytes);
    record.blob = store.append(bytes);
    return true;
}

void QSounds::setGroupAndNumber(int i, quint16 group, quint16 number)
{
    if (!inRange(i))
        return;
    SoundRecord r = sounds[i];
    r.group = group;
    r.number = number;
    setRecord(i, r);
}

void QSounds::insertEmpty(int i)
{
    insertRecord(i, SoundRecord());
}

bool QSounds::setSoundFile(int i, const QString& fileName)
{
    if (!inRange(i)) {
        setErrorString(QString());
        return false;
    }
    SoundRecord r = sounds[i];
    const BlobId old = r.blob;
    if (!readSoundFile(fileName, r))
        return false;
    setRecord(i, r);
    releaseBlob(old);
    return true;
}

bool QSounds::exportSound(int i, const QString& fileName)
{
    setErrorString(QString());
    if (!inRange(i))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        setErrorString(file.errorString());
        return false;
    }
    const QByteArray bytes = soundBytes(i);
    if (file.write(bytes) != bytes.size()) {
        setErrorString(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!commitSaveFile(file)) {
        setErrorString(file.errorString());
        return false;
    }
    return true;
}

void QSounds::duplicate(int i)
{
    if (!inRange(i))
        return;
    SoundRecord copy = sounds[i];
    if (copy.blob != 0)
        copy.blob = store.append(soundBytes(i));
    insertRecord(i + 1, copy);
}

void QSounds::remove(int i)
{
    if (inRange(i))
        releaseBlob(takeRecord(i).blob);
}

void QSounds::clear()
{
    stop();
    // The history goes first: its commands hold sounds of the store.
    markFresh();
    setFileName(QString());
    sounds.clear();
    store.clear();
    complete = true;
    emit documentReset();
}

bool QSounds::load(const QString& fileName)
{
    stop();
    setErrorString(QString());
    QByteArray bytes;
    if (!readWholeFile(fileName, ArchiveFileLimit, &bytes))
        return false;
    const QFileInfo info(fileName);
    QMessages::FileScope scope(messages, info.absoluteFilePath());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!load(&buffer, info.fileName()))
        return false;
    setFileName(fileName);
    return true;
}

void QSounds::reportDamage(const QString& name, quint32 index, const QString& what)
{
    if (messages)
        messages->addError(QStringLiteral("%1(%2): %3").arg(name).arg(index).arg(what), int(qMin<quint32>(index, INT_MAX)));
}

bool QSounds::load(QIODevice* device, const QString& name)
{
    stop();
    setErrorString(QString());
    // Check the signature before anything is read in full or thrown away: a
    // file that is not an archive must not cost the user the open one.
    if (device->peek(Signature.size()) != Signature) {
        setErrorString(tr("This is not an SND sound archive."));
        return false;
    }
    const QByteArray data = device->readAll();
    if (auto* file = qobject_cast<QFileDevice*>(device); file && file->error() != QFileDevice::NoError) {
        setErrorString(file->errorString());
        return false;
    }
    sounds.clear();
    store.clear();
    markFresh();
    setFileName(QString());
    complete = false;

    LeReader r(data);
    r.seek(16);
    const quint32 claimed = r.u32();
    // The first-subheader offset and the comment are not used: sounds always
    // start right after the 512-byte header. Every sound needs at least its
    // subheader, so a count larger than the file can hold is not believed for
    // the progress range (nor for anything else).
    const qsizetype room = data.size() > HeaderSize ? (data.size() - HeaderSize) / SubheaderSize : 0;
    const uint max = uint(qMin<qint64>(claimed, room));

    bool allow = true;
    uint reported = 0;
    emit progress(0, max, allow);
    qsizetype pos = HeaderSize;
    quint32 i = 0;
    for (; i < claimed; ++i) {
        if (!r.seek(pos) || !r.has(SubheaderSize)) {
            reportDamage(name, i, tr("The file ends before this sound's header (the archive claims %1 sounds)").arg(claimed));
            break;
        }
        const quint32 next = r.u32();
        const quint32 length = r.u32();
        SoundRecord s;
        s.group = quint16(r.u32());
        s.number = quint16(r.u32());
        const qsizetype dataAt = r.pos();
        if (length != 0) {
            // A sound runs up to the next subheader, whatever its length field
            // says; the field only counts when there is no next offset.
            quint64 size = length;
            if (next != 0) {
                if (next < quint64(dataAt)) {
                    reportDamage(name, i, tr("The offset of the next sound (%1) points back into this one").arg(next));
                    break;
                }
                size = next - quint64(dataAt);
            }
            if (size > quint64(r.remaining())) {
                reportDamage(name, i, tr("The sound's data (%1 bytes) runs past the end of the file").arg(size));
                break;
            }
            const QByteArray bytes = data.mid(dataAt, qsizetype(size));
            s.info = readWavInfo(bytes);
            s.blob = store.append(bytes);
            pos = dataAt + qsizetype(size);
        } else {
            pos = dataAt;
        }
        sounds.append(s);
        reported = i + 1;
        emit progress(reported, max, allow);
        if (!allow) {
            complete = i + 1 == claimed;
            for (uint k = i; k >= 1; --k)
                emit progress(k, max, allow);
            finishLoad();
            return true;
        }
    }
    complete = i == claimed;
    // A damaged archive stops early; the last report closes the progress.
    if (reported < max)
        emit progress(max, max, allow);
    finishLoad();
    return true;
}

void QSounds::finishLoad()
{
    // A load that stopped early holds less than the file: saving it over the
    // file would lose the rest, so it counts as unsaved work.
    if (!complete)
        markIncomplete();
    emit documentReset();
}

bool QSounds::save(const QString& fileName)
{
    stop();
    setErrorString(QString());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        setErrorString(file.errorString());
        return false;
    }
    if (!save(&file)) {
        file.cancelWriting();
        return false;
    }
    if (!commitSaveFile(file)) {
        setErrorString(file.errorString());
        return false;
    }
    setFileName(fileName);
    complete = true;
    markSaved();
    return true;
}

bool QSounds::save(QIODevice* device)
{
    stop();
    QString lastError;
    const uint n = uint(sounds.size());
    QByteArray header;
    header.reserve(HeaderSize);
    LeWriter w(&header);
    w.bytes(Signature);
    w.bytes(Version);
    w.u32(n);
    w.u32(quint32(HeaderSize));
    w.bytes(Comment.left(CommentSize - 1));
    w.zeros(HeaderSize - header.size()); // the comment's zero byte and the rest


    bool allow = true;
    emit progress(0, n, allow);
    bool ok = device->write(header) == header.size();
    quint64 pos = HeaderSize;
    uint reported = 0;
    for (uint i = 0; ok && i < n; ++i) {
        const QByteArray bytes = soundBytes(int(i));
        const quint64 next = pos + SubheaderSize + quint64(bytes.size());
        if (next > 0xFFFFFFFFull) {
            lastError = tr("The sounds together are larger than an SND archive can hold (4 GB).");
            ok = false;
            break;
        }
        QByteArray sub;
        sub.reserve(SubheaderSize);
        LeWriter s(&sub);
        s.u32(quint32(next));
        s.u32(quint32(bytes.size()));
        s.u32(sounds[i].group);
        s.u32(sounds[i].number);
        ok = device->write(sub) == sub.size() && device->write(bytes) == bytes.size();
        pos = next;
        reported = i + 1;
        emit progress(reported, n, allow); // a save is not cancelled half-way
    }
    if (!ok && lastError.isEmpty())
        lastError = device->errorString();
    setErrorString(lastError);
    if (reported < n)
        emit progress(n, n, allow);
    return ok;
}

void QSounds::play(int i, bool loop)
{
    stop();
    if (!inRange(i))
        return;
    tempWavPath = QDir::tempPath()
                  + QStringLiteral("/MRV9-%1.wav").arg(QDateTime::currentSecsSinceEpoch());
    QFile file(tempWavPath);
    if (!file.open(QIODevice::WriteOnly)) {
        tempWavPath.clear();
        return;
    }
    const QByteArray bytes = soundBytes(i);
    if (file.write(bytes) != bytes.size()) {
        file.remove();
        tempWavPath.clear();
        return;
    }
    file.close();

    // The sound service caches decoded samples by URL, and two sounds played
    // within the same second share the file name: a query that changes with
    // every play makes it read the file afresh.
    QUrl url = QUrl::fromLocalFile(tempWavPath);
    url.setQuery(QString::number(++plays));
    player = new QSoundEffect(this);
    player->setSource(url);
    player->setLoopCount(loop ? int(QSoundEffect::Infinite) : 1);
    player->play();
}

void QSounds::stop()
{
    if (!tempWavPath.isEmpty()) {
        QFile::remove(tempWavPath);
        tempWavPath.clear();
    }
    if (player) {
        player->stop();
        delete player;
        player = nullptr;
    }
}

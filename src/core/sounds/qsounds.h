#ifndef QSOUNDS_H
#define QSOUNDS_H

#include "qblobstore.h"
#include "qfiledocument.h"
#include "wavinfo.h"

#include <QList>
#include <QPair>
#include <QString>

class QIODevice;
class QMessages;
class QSoundEffect;

// One sound of an SND archive. The WAV bytes live in the archive's blob store.
struct SoundRecord
{
    BlobId blob = 0; // 0: the sound has no data
    quint16 group = 0;
    quint16 number = 0;
    WavInfo info;

    bool operator==(const SoundRecord&) const = default;
};

// The sounds of one SND archive: WAV files tagged with a group and a number,
// in file order. Loading, saving, importing and exporting keep every WAV file
// byte for byte; playing writes the sound to a temporary file for the
// platform's sound service.
//
// Indices are the sounds' positions in the archive; an index out of range makes
// an operation do nothing and return an empty value.
//
// The mutators change the archive at once, without an undo step: the commands
// of soundcommands.h call them, and so do batch tools. In the window every
// edit is a command pushed onto undoStack().
class QSounds : public QFileDocument
{
    Q_OBJECT
public:
    // The blob store settings are passed through to the store. Problems met
    // while loading are added to `messages` when one is given.
    QSounds(BlobStoreMode mode, bool compress, int level, QMessages* messages = nullptr);
    ~QSounds() override;

    int count() const { return int(sounds.size()); }
    int itemCount() const override { return count(); }
    QPair<quint16, quint16> groupAndNumber(int i) const;
    WavInfo info(int i) const;
    const SoundRecord* sound(int i) const;
    // The sound's WAV file as stored; empty when out of range or without data.
    QByteArray soundBytes(int i) const;

    // Records as they are, and the bytes they keep in the store: a removed or
    // replaced sound's bytes stay there until whoever holds them releases them.
    void setRecord(int i, const SoundRecord& record);
    void insertRecord(int i, const SoundRecord& record);
    SoundRecord takeRecord(int i);
    BlobId storeBlob(const QByteArray& bytes);
    const QBlobStore& blobStore() const { return store; }
    void releaseBlob(BlobId id);
    // A WAV file read for the archive: its record with the bytes stored; false
    // (and errorString() says why) when it cannot be read or is too large.
    bool readSoundFile(const QString& fileName, SoundRecord& record);

    // Plain edits, in terms of the ones above.
    void setGroupAndNumber(int i, quint16 group, quint16 number);
    void insertEmpty(int i);
    bool setSoundFile(int i, const QString& fileName);
    bool exportSound(int i, const QString& fileName);
    void duplicate(int i);
    void remove(int i);
    // Empties the archive, its history and its file name.
    void clear() override;

    // A failed load leaves the archive as it was. A damaged file keeps the
    // sounds before the damage, reports it to the issues list and still counts
    // as loaded, but unsaved; so does a load cancelled through the progress
    // signal.
    bool load(const QString& fileName) override;
    // The same from any readable device; `name` is the file name used in the
    // issues list.
    bool load(QIODevice* device, const QString& name);
    // Writes through a temporary file that replaces `fileName` only once it is
    // complete, so a failed save leaves the previous file as it was.
    bool save(const QString& fileName) override;
    bool save(QIODevice* device);
    // False after a load that stopped early (cancelled or damaged): the
    // archive then holds fewer sounds than its file.
    bool loadComplete() const { return complete; }

    void play(int i, bool loop);
    void stop();
    // The temporary WAV file being played; empty when nothing plays.
    QString playingFile() const { return tempWavPath; }

signals:
    void progress(uint pos, uint max, bool& allow);
    void soundChanged(int index);
    void soundsInserted(int index, int count);
    void soundsRemoved(int index, int count);

private:
    bool inRange(int i) const { return uint(i) < uint(sounds.size()); }
    void finishLoad();
    void reportDamage(const QString& name, quint32 index, const QString& what);

    QList<SoundRecord> sounds;
    QBlobStore store;
    QString tempWavPath;
    QSoundEffect* player = nullptr;
    QMessages* messages;
    quint32 plays = 0;
    bool complete = true;
};

#endif

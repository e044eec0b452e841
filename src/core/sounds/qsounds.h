#ifndef QSOUNDS_H
#define QSOUNDS_H

#include "qblobstore.h"
#include "wavinfo.h"

#include <QList>
#include <QObject>
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
};

// The sounds of one SND archive: WAV files tagged with a group and a number,
// in file order. Loading, saving, importing and exporting keep every WAV file
// byte for byte; playing writes the sound to a temporary file for the
// platform's sound service.
//
// Indices are the sounds' positions in the archive; an index out of range makes
// an operation do nothing and return an empty value.
class QSounds : public QObject
{
    Q_OBJECT
public:
    // The blob store settings are passed through to the store. Problems met
    // while loading are added to `messages` when one is given.
    QSounds(int mode, bool compress, int level, QMessages* messages = nullptr);
    ~QSounds() override;

    int count() const { return int(sounds.size()); }
    QPair<quint16, quint16> groupAndNumber(int i) const;
    void setGroupAndNumber(int i, quint16 group, quint16 number);
    WavInfo info(int i) const;
    // The sound's WAV file as stored; empty when out of range or without data.
    QByteArray soundBytes(int i) const;

    void insertEmpty(int i);
    bool setSoundFile(int i, const QString& fileName);
    bool exportSound(int i, const QString& fileName);
    void duplicate(int i);
    void remove(int i);
    void clear();

    // A failed load leaves the archive as it was. A damaged file keeps the
    // sounds before the damage, reports it to the issues list and still counts
    // as loaded; so does a load cancelled through the progress signal.
    bool load(const QString& fileName);
    // The same from any readable device; `name` is the file name used in the
    // issues list.
    bool load(QIODevice* device, const QString& name);
    // Writes through a temporary file that replaces `fileName` only once it is
    // complete, so a failed save leaves the previous file as it was.
    bool save(const QString& fileName);
    bool save(QIODevice* device);
    // False after a load that stopped early (cancelled or damaged): the
    // archive then holds fewer sounds than its file.
    bool loadComplete() const { return complete; }

    void play(int i, bool loop);
    void stop();
    // The temporary WAV file being played; empty when nothing plays.
    QString playingFile() const { return tempWavPath; }

    // Why the last load, save, import or export failed, for the user.
    QString errorString() const { return lastError; }

signals:
    void progress(uint pos, uint max, bool& allow);

private:
    bool inRange(int i) const { return uint(i) < uint(sounds.size()); }
    void reportDamage(const QString& name, quint32 index, const QString& what);

    QList<SoundRecord> sounds;
    QBlobStore store;
    QString tempWavPath;
    QSoundEffect* player = nullptr;
    QMessages* messages;
    QString lastError;
    quint32 plays = 0;
    bool complete = true;
};

#endif

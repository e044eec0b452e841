#ifndef SOUNDCOMMANDS_H
#define SOUNDCOMMANDS_H

#include "qeditcommand.h"
#include "qsounds.h"

// The edits of a sound archive, each one undo step. A sound's bytes stay in
// the archive's store while a step that may bring it back holds them.

// A sound's record before and after: a new group or number (edits of one
// field of one sound in a burst merge), or new WAV bytes.
class SetSound : public QEditCommand
{
public:
    enum Field { Group, Number, Data };

    SetSound(QSounds* sounds, int index, const SoundRecord& after, Field field, const QString& text,
             QUndoCommand* parent = nullptr);
    ~SetSound() override;
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    QSounds* sounds;
    int index;
    SoundRecord before;
    SoundRecord after;
    Field field;
    bool applied = false;
};

class InsertSound : public QEditCommand
{
public:
    InsertSound(QSounds* sounds, int index, const SoundRecord& record, const QString& text,
                QUndoCommand* parent = nullptr);
    ~InsertSound() override;
    void redo() override;
    void undo() override;

private:
    QSounds* sounds;
    int index;
    SoundRecord record;
    bool applied = false;
};

class RemoveSound : public QEditCommand
{
public:
    RemoveSound(QSounds* sounds, int index, QUndoCommand* parent = nullptr);
    ~RemoveSound() override;
    void redo() override;
    void undo() override;

private:
    QSounds* sounds;
    int index;
    SoundRecord record;
    bool applied = false;
};

namespace soundcommands {

// Null when there is nothing to do.
QEditCommand* changeGroupAndNumber(QSounds* sounds, int index, quint16 group, quint16 number);
// New sound: the record (its bytes already stored) goes in at `index`.
QEditCommand* insertSound(QSounds* sounds, int index, const SoundRecord& record);
// Change sound: the record takes new bytes (already stored).
QEditCommand* replaceSound(QSounds* sounds, int index, const SoundRecord& withBytes);
QEditCommand* duplicateSound(QSounds* sounds, int index);
QEditCommand* removeSound(QSounds* sounds, int index);

} // namespace soundcommands

#endif

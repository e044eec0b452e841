#include "soundcommands.h"

#include <QCoreApplication>

namespace {

// Texts of the steps, translated under one name whichever command shows them.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundCommands)
};

QString soundName(const QString& text, const QSounds* sounds, int index)
{
    const auto [group, number] = sounds->groupAndNumber(index);
    return text.arg(group).arg(number);
}

} // namespace

SetSound::SetSound(QSounds* sounds, int index, const SoundRecord& after, Field field, const QString& text,
                   QUndoCommand* parent)
    : QEditCommand(text, Subject::Sound, index, parent), sounds(sounds), index(index), after(after), field(field)
{
    if (const SoundRecord* r = sounds->sound(index))
        before = *r;
}

SetSound::~SetSound()
{
    // New bytes belong to the step until it is done, the old ones after.
    if (before.blob != after.blob)
        sounds->releaseBlob(applied ? before.blob : after.blob);
}

void SetSound::redo()
{
    sounds->setRecord(index, after);
    applied = true;
}

void SetSound::undo()
{
    sounds->setRecord(index, before);
    applied = false;
}

int SetSound::id() const
{
    return field == Data ? -1 : int(CommandId::SoundInfo);
}

bool SetSound::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const SetSound*>(other);
    if (next->sounds != sounds || next->index != index || next->field != field || !withinBurst(next))
        return false;
    after = next->after;
    takeTime(next);
    setObsolete(after == before);
    return true;
}

InsertSound::InsertSound(QSounds* sounds, int index, const SoundRecord& record, const QString& text,
                         QUndoCommand* parent)
    : QEditCommand(text, Subject::Sound, index, parent), sounds(sounds), index(index), record(record)
{
}

InsertSound::~InsertSound()
{
    if (!applied)
        sounds->releaseBlob(record.blob);
}

void InsertSound::redo()
{
    sounds->insertRecord(index, record);
    applied = true;
}

void InsertSound::undo()
{
    sounds->takeRecord(index);
    applied = false;
}

RemoveSound::RemoveSound(QSounds* sounds, int index, QUndoCommand* parent)
    : QEditCommand(soundName(Text::tr("Delete sound %1,%2"), sounds, index), Subject::Sound, index, parent),
      sounds(sounds), index(index)
{
}

RemoveSound::~RemoveSound()
{
    if (applied)
        sounds->releaseBlob(record.blob);
}

void RemoveSound::redo()
{
    record = sounds->takeRecord(index);
    applied = true;
}

void RemoveSound::undo()
{
    sounds->insertRecord(index, record);
    applied = false;
}

namespace soundcommands {

QEditCommand* changeGroupAndNumber(QSounds* sounds, int index, quint16 group, quint16 number)
{
    const SoundRecord* r = sounds->sound(index);
    if (!r || (r->group == group && r->number == number))
        return nullptr;
    SoundRecord after = *r;
    after.group = group;
    after.number = number;
    const bool groupEdit = group != r->group;
    return new SetSound(sounds, index, after, groupEdit ? SetSound::Group : SetSound::Number,
                        groupEdit ? Text::tr("Change sound group") : Text::tr("Change sound number"));
}

QEditCommand* insertSound(QSounds* sounds, int index, const SoundRecord& record)
{
    index = qBound(0, index, sounds->count());
    return new InsertSound(sounds, index, record, Text::tr("New sound"));
}

QEditCommand* replaceSound(QSounds* sounds, int index, const SoundRecord& withBytes)
{
    const SoundRecord* r = sounds->sound(index);
    if (!r)
        return nullptr;
    SoundRecord after = *r;
    after.blob = withBytes.blob;
    after.info = withBytes.info;
    return new SetSound(sounds, index, after, SetSound::Data, soundName(Text::tr("Change sound %1,%2"), sounds, index));
}

QEditCommand* duplicateSound(QSounds* sounds, int index)
{
    const SoundRecord* r = sounds->sound(index);
    if (!r)
        return nullptr;
    SoundRecord copy = *r;
    if (copy.blob != 0)
        copy.blob = sounds->storeBlob(sounds->soundBytes(index));
    return new InsertSound(sounds, index + 1, copy, soundName(Text::tr("Duplicate sound %1,%2"), sounds, index));
}

QEditCommand* removeSound(QSounds* sounds, int index)
{
    return sounds->sound(index) ? new RemoveSound(sounds, index) : nullptr;
}

} // namespace soundcommands

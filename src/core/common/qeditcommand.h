#ifndef QEDITCOMMAND_H
#define QEDITCOMMAND_H

#include <QUndoCommand>

// Ids of the commands that merge with the one before them (a drag, a spin box
// typed or wheeled in one burst). Commands of the same id merge only when
// they change the same field of the same item.
enum class CommandId : int {
    SpriteInfo = 1,
    PaletteInfo,
    SoundInfo,
    RemapCell,
    FrameField,
    ActionInfo,
};

// One edit of a document as one undo step. Besides doing and undoing itself
// it tells the window which item it changed, so that the page shows that
// item after the step is done, undone or redone.
class QEditCommand : public QUndoCommand
{
public:
    enum class Subject { None, Sprite, Palette, Sound, Action, Remap };

    QEditCommand(const QString& text, Subject subject, int index, QUndoCommand* parent = nullptr);

    Subject subject() const { return subjectKind; }
    int subjectIndex() const { return subjectAt; }
    // The frame of an action the step changed, -1 for the whole action.
    int subjectFrame() const { return frameAt; }
    void setSubjectFrame(int frame) { frameAt = frame; }
    // The item of the subject's kind that was shown when the step was made:
    // after the step is undone the page shows it again (the sprite before a
    // new one, the palette shown before all went). -1 when not known.
    int origin() const { return originAt; }
    void setOrigin(int index) { originAt = index; }

    // False for edits of what no file holds (the palette remap preview): they
    // are undone like any other, but do not make a document unsaved.
    virtual bool changesFile() const { return true; }

protected:
    // A burst of edits (keys typed, wheel turned) merges while each comes
    // within this many milliseconds of the one before.
    static constexpr qint64 BurstMs = 1500;
    static qint64 now();
    bool withinBurst(const QEditCommand* next) const;
    void takeTime(const QEditCommand* next) { stamp = next->stamp; }

private:
    Subject subjectKind;
    int subjectAt;
    int frameAt = -1;
    int originAt = -1;
    qint64 stamp;
};

#endif

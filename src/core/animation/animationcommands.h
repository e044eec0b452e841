#ifndef ANIMATIONCOMMANDS_H
#define ANIMATIONCOMMANDS_H

#include "qanimations.h"
#include "qeditcommand.h"

#include <optional>

// The edits of an animation set, each one undo step.

// The boxes a frame shows, as one mouse gesture or box command left them.
// Only the lists that changed are kept (a move touches the frame's own boxes,
// not its action's defaults), so a long history of drags stays small.
class ChangeFrameBoxes : public QEditCommand
{
public:
    ChangeFrameBoxes(QAnimations* animations, int action, int frame, const FrameBoxes& before,
                     const FrameBoxes& after, const QString& text, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    struct Lists
    {
        std::optional<QList<ClsnRect>> clsn1, clsn2;
        std::optional<QList<ClsnDefaultBox>> clsn1Default, clsn2Default;
    };
    void apply(const Lists& lists);

    QAnimations* animations;
    int action;
    int frame;
    Lists before;
    Lists after;
};

// The fields of one frame: typed, chosen, or its offset dragged in the view.
// Edits of one field of one frame in a burst merge; a drag is a step of its own.
class ChangeFrame : public QEditCommand
{
public:
    enum Field { Group, Number, X, Y, Time, Flip, Transparency, SrcAlpha, DstAlpha, LoopStart, Offset };

    ChangeFrame(QAnimations* animations, int action, int frame, const AirFrame& after, Field field,
                QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    QAnimations* animations;
    int action;
    int frame;
    AirFrame before;
    AirFrame after;
    Field field;
};

// An action's name or number; a burst of typing merges.
class ChangeActionInfo : public QEditCommand
{
public:
    enum Field { Name, Number };

    ChangeActionInfo(QAnimations* animations, int action, const QString& name, int number, Field field,
                     QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return int(CommandId::ActionInfo); }
    bool mergeWith(const QUndoCommand* other) override;

private:
    QAnimations* animations;
    int action;
    AirActionInfo before;
    AirActionInfo after;
    Field field;
};

// A whole action in or out; the step owns it while it is not in the set.
class InsertAction : public QEditCommand
{
public:
    InsertAction(QAnimations* animations, int index, AirAction* action, const QString& text,
                 QUndoCommand* parent = nullptr);
    ~InsertAction() override;
    void redo() override;
    void undo() override;

private:
    QAnimations* animations;
    int index;
    AirAction* held;
};

class RemoveAction : public QEditCommand
{
public:
    RemoveAction(QAnimations* animations, int index, QUndoCommand* parent = nullptr);
    ~RemoveAction() override;
    void redo() override;
    void undo() override;

private:
    QAnimations* animations;
    int index;
    AirAction* held = nullptr;
};

// A frame in or out. The default blocks in front of the frames after it move
// with them; undoing puts them back exactly where they stood.
class InsertFrame : public QEditCommand
{
public:
    InsertFrame(QAnimations* animations, int action, int at, const AirFrame& frame, const QString& text,
                QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QAnimations* animations;
    int action;
    int at;
    AirFrame frame;
    FrameBoxes defaults;
};

class RemoveFrame : public QEditCommand
{
public:
    RemoveFrame(QAnimations* animations, int action, int index, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QAnimations* animations;
    int action;
    int index;
    AirFrame frame;
    FrameBoxes defaults;
};

namespace animationcommands {

// Null when nothing changes or the frame is not there.
QEditCommand* changeBoxes(QAnimations* animations, int action, int frame, const FrameBoxes& after,
                          const QString& text);
QEditCommand* moveOffset(QAnimations* animations, int action, int frame, int x, int y);
QEditCommand* changeFrame(QAnimations* animations, int action, int frame, const AirFrame& after,
                          ChangeFrame::Field field);
QEditCommand* changeActionInfo(QAnimations* animations, int action, const QString& name, int number);
// A new action (one new frame, numbered as the count) at `index`.
QEditCommand* newAction(QAnimations* animations, int index);
// A new frame (group -1, time 10) at `at`.
QEditCommand* newFrame(QAnimations* animations, int action, int at);

} // namespace animationcommands

#endif

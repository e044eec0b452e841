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

// The fields of one frame (its offset dragged in the view, or typed).
class ChangeFrame : public QEditCommand
{
public:
    ChangeFrame(QAnimations* animations, int action, int frame, const AirFrame& after, const QString& text,
                QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QAnimations* animations;
    int action;
    int frame;
    AirFrame before;
    AirFrame after;
};

namespace animationcommands {

// Null when nothing changes or the frame is not there.
QEditCommand* changeBoxes(QAnimations* animations, int action, int frame, const FrameBoxes& after,
                          const QString& text);
QEditCommand* moveOffset(QAnimations* animations, int action, int frame, int x, int y);

} // namespace animationcommands

#endif

#include "animationcommands.h"

#include <QCoreApplication>

ChangeFrameBoxes::ChangeFrameBoxes(QAnimations* animations, int action, int frame, const FrameBoxes& b,
                                   const FrameBoxes& a, const QString& text, QUndoCommand* parent)
    : QEditCommand(text, Subject::Action, action, parent), animations(animations), action(action), frame(frame)
{
    setSubjectFrame(frame);
    if (b.clsn1 != a.clsn1) {
        before.clsn1 = b.clsn1;
        after.clsn1 = a.clsn1;
    }
    if (b.clsn2 != a.clsn2) {
        before.clsn2 = b.clsn2;
        after.clsn2 = a.clsn2;
    }
    if (b.clsn1Default != a.clsn1Default) {
        before.clsn1Default = b.clsn1Default;
        after.clsn1Default = a.clsn1Default;
    }
    if (b.clsn2Default != a.clsn2Default) {
        before.clsn2Default = b.clsn2Default;
        after.clsn2Default = a.clsn2Default;
    }
}

void ChangeFrameBoxes::apply(const Lists& lists)
{
    FrameBoxes boxes = animations->frameBoxes(action, frame);
    if (lists.clsn1)
        boxes.clsn1 = *lists.clsn1;
    if (lists.clsn2)
        boxes.clsn2 = *lists.clsn2;
    if (lists.clsn1Default)
        boxes.clsn1Default = *lists.clsn1Default;
    if (lists.clsn2Default)
        boxes.clsn2Default = *lists.clsn2Default;
    animations->setFrameBoxes(action, frame, boxes);
}

void ChangeFrameBoxes::redo()
{
    apply(after);
}

void ChangeFrameBoxes::undo()
{
    apply(before);
}

ChangeFrame::ChangeFrame(QAnimations* animations, int action, int frame, const AirFrame& after, const QString& text,
                         QUndoCommand* parent)
    : QEditCommand(text, Subject::Action, action, parent), animations(animations), action(action), frame(frame),
      after(after)
{
    setSubjectFrame(frame);
    if (const AirFrame* f = animations->frame(action, frame))
        before = *f;
}

void ChangeFrame::redo()
{
    animations->setFrame(action, frame, after);
}

void ChangeFrame::undo()
{
    animations->setFrame(action, frame, before);
}

namespace animationcommands {

QEditCommand* changeBoxes(QAnimations* animations, int action, int frame, const FrameBoxes& after,
                          const QString& text)
{
    if (!animations->frame(action, frame))
        return nullptr;
    const FrameBoxes before = animations->frameBoxes(action, frame);
    if (before == after)
        return nullptr;
    return new ChangeFrameBoxes(animations, action, frame, before, after, text);
}

QEditCommand* moveOffset(QAnimations* animations, int action, int frame, int x, int y)
{
    const AirFrame* f = animations->frame(action, frame);
    if (!f || (f->x == x && f->y == y))
        return nullptr;
    AirFrame after = *f;
    after.x = x;
    after.y = y;
    return new ChangeFrame(animations, action, frame, after,
                           QCoreApplication::translate("AnimationCommands", "Move frame offset"));
}

} // namespace animationcommands

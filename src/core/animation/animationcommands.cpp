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

namespace {

// Texts of the steps, translated under one name whichever command shows them.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(AnimationCommands)
};

} // namespace

ChangeFrame::ChangeFrame(QAnimations* animations, int action, int frame, const AirFrame& after, Field field,
                         QUndoCommand* parent)
    : QEditCommand(QString(), Subject::Action, action, parent), animations(animations), action(action), frame(frame),
      after(after), field(field)
{
    static const char* const texts[] = {QT_TRANSLATE_NOOP("AnimationCommands", "Change frame group"), QT_TRANSLATE_NOOP("AnimationCommands", "Change frame number"), QT_TRANSLATE_NOOP("AnimationCommands", "Move frame offset"),
                                        QT_TRANSLATE_NOOP("AnimationCommands", "Move frame offset"), QT_TRANSLATE_NOOP("AnimationCommands", "Change frame time"), QT_TRANSLATE_NOOP("AnimationCommands", "Change flip"),
                                        QT_TRANSLATE_NOOP("AnimationCommands", "Change transparency"), QT_TRANSLATE_NOOP("AnimationCommands", "Change transparency source"),
                                        QT_TRANSLATE_NOOP("AnimationCommands", "Change transparency destination"), QT_TRANSLATE_NOOP("AnimationCommands", "Change Loopstart"), QT_TRANSLATE_NOOP("AnimationCommands", "Move frame offset")};
    setText(Text::tr(texts[field]));
    setSubjectFrame(frame);
    if (const AirFrame* f = animations->frame(action, frame))
        before = *f;
}

int ChangeFrame::id() const
{
    return field == Offset ? -1 : int(CommandId::FrameField);
}

bool ChangeFrame::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangeFrame*>(other);
    if (next->animations != animations || next->action != action || next->frame != frame || next->field != field
        || !withinBurst(next))
        return false;
    after = next->after;
    takeTime(next);
    setObsolete(after == before);
    return true;
}

ChangeActionInfo::ChangeActionInfo(QAnimations* animations, int action, const QString& name, int number, Field field,
                                   QUndoCommand* parent)
    : QEditCommand(field == Name ? Text::tr("Rename action") : Text::tr("Change action number"), Subject::Action, action, parent),
      animations(animations), action(action), before(animations->actionInfo(action)), after{name, number},
      field(field)
{
}

void ChangeActionInfo::redo()
{
    animations->setActionInfo(action, after.name, after.number);
}

void ChangeActionInfo::undo()
{
    animations->setActionInfo(action, before.name, before.number);
}

bool ChangeActionInfo::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangeActionInfo*>(other);
    if (next->animations != animations || next->action != action || next->field != field || !withinBurst(next))
        return false;
    after = next->after;
    takeTime(next);
    setObsolete(after.name == before.name && after.number == before.number);
    return true;
}

InsertAction::InsertAction(QAnimations* animations, int index, AirAction* action, const QString& text,
                           QUndoCommand* parent)
    : QEditCommand(text, Subject::Action, index, parent), animations(animations), index(index), held(action)
{
}

InsertAction::~InsertAction()
{
    delete held;
}

void InsertAction::redo()
{
    animations->insertActionRecord(index, held);
    held = nullptr;
}

void InsertAction::undo()
{
    held = animations->takeAction(index);
}

RemoveAction::RemoveAction(QAnimations* animations, int index, QUndoCommand* parent)
    : QEditCommand(Text::tr("Delete action %1").arg(animations->actionInfo(index).number), Subject::Action, index, parent),
      animations(animations), index(index)
{
}

RemoveAction::~RemoveAction()
{
    delete held;
}

void RemoveAction::redo()
{
    held = animations->takeAction(index);
}

void RemoveAction::undo()
{
    animations->insertActionRecord(index, held);
    held = nullptr;
}

InsertFrame::InsertFrame(QAnimations* animations, int action, int at, const AirFrame& frame, const QString& text,
                         QUndoCommand* parent)
    : QEditCommand(text, Subject::Action, action, parent), animations(animations), action(action), at(at), frame(frame)
{
    setSubjectFrame(at);
}

void InsertFrame::redo()
{
    defaults = animations->frameBoxes(action, -1);
    animations->insertFrameRecord(action, at, frame);
}

void InsertFrame::undo()
{
    animations->takeFrame(action, at);
    animations->setFrameBoxes(action, -1, defaults);
}

RemoveFrame::RemoveFrame(QAnimations* animations, int action, int index, QUndoCommand* parent)
    : QEditCommand(Text::tr("Delete frame %1").arg(index + 1), Subject::Action, action, parent), animations(animations),
      action(action), index(index)
{
    setSubjectFrame(index);
}

void RemoveFrame::redo()
{
    defaults = animations->frameBoxes(action, -1);
    frame = animations->takeFrame(action, index);
}

void RemoveFrame::undo()
{
    animations->insertFrameRecord(action, index, frame);
    animations->setFrameBoxes(action, -1, defaults);
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
    return new ChangeFrame(animations, action, frame, after, ChangeFrame::Offset);
}

QEditCommand* changeFrame(QAnimations* animations, int action, int frame, const AirFrame& after,
                          ChangeFrame::Field field)
{
    const AirFrame* f = animations->frame(action, frame);
    if (!f || *f == after)
        return nullptr;
    return new ChangeFrame(animations, action, frame, after, field);
}

QEditCommand* changeActionInfo(QAnimations* animations, int action, const QString& name, int number)
{
    if (!animations->action(action))
        return nullptr;
    const AirActionInfo info = animations->actionInfo(action);
    if (info.name == name && info.number == number)
        return nullptr;
    return new ChangeActionInfo(animations, action, name, number,
                                info.name != name ? ChangeActionInfo::Name : ChangeActionInfo::Number);
}

QEditCommand* newAction(QAnimations* animations, int index)
{
    index = qBound(0, index, animations->actionCount());
    auto* a = new AirAction;
    a->number = animations->actionCount();
    a->frames.append(new AirFrame);
    return new InsertAction(animations, index, a, Text::tr("New action"));
}

QEditCommand* newFrame(QAnimations* animations, int action, int at)
{
    if (!animations->action(action))
        return nullptr;
    at = qBound(0, at, animations->frameCount(action));
    return new InsertFrame(animations, action, at, AirFrame(), Text::tr("New frame"));
}

} // namespace animationcommands

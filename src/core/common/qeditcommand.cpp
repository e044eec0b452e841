#include "qeditcommand.h"

#include <QElapsedTimer>

QEditCommand::QEditCommand(const QString& text, Subject subject, int index, QUndoCommand* parent)
    : QUndoCommand(text, parent), subjectKind(subject), subjectAt(index), stamp(now())
{
}

qint64 QEditCommand::now()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

bool QEditCommand::withinBurst(const QEditCommand* next) const
{
    return next->stamp - stamp <= BurstMs;
}

#include "animationplayer.h"

bool AnimationPlayer::start(const QList<Frame>& f, int first, qint64 nowMs)
{
    frames = f;
    startMs = nowMs;
    startTick = 0;
    loop = 0;
    current = qBound(0, first, qMax(0, int(frames.size()) - 1));
    playing = !frames.isEmpty() && frames[current].time >= 0;
    return playing;
}

qint64 AnimationPlayer::msUntilNext(qint64 nowMs) const
{
    if (!playing || frames.isEmpty() || frames[current].time < 0)
        return -1;
    const qint64 due = startMs + msAt(startTick + frames[current].time);
    return qMax<qint64>(0, due - nowMs);
}

int AnimationPlayer::step()
{
    if (!playing || frames.isEmpty())
        return current;
    startTick += qMax(0, frames[current].time);
    current = current + 1 < frames.size() ? current + 1 : loop;
    if (frames[current].loopStart)
        loop = current;
    if (frames[current].time < 0)
        playing = false;
    return current;
}

#ifndef ANIMATIONPLAYER_H
#define ANIMATIONPLAYER_H

#include <QList>
#include <QtGlobal>

// Plays an action at the engine's speed: 60 game ticks a second, a frame of
// time t shown for t ticks, -1 meaning for ever. After the last frame play goes
// on at the loop frame: the last frame marked Loopstart that play moved to, or
// the first frame when it moved to none yet.
//
// It keeps no clock of its own: the caller says what time it is (in
// milliseconds since any fixed moment), so a window's timer, a GIF export and
// a test with a made-up clock all play the same way. Frames are due on the
// action's own timeline, not each a fixed time after the last was shown, so a
// late timer does not make the action run slow, and the ticks do not drift.
class AnimationPlayer
{
public:
    struct Frame
    {
        int time = 0;        // ticks; -1 for ever
        bool loopStart = false;
    };

    static constexpr int TicksPerSecond = 60;

    // Starts at `first` at the moment `nowMs`. Returns whether play goes on:
    // a frame shown for ever (or an action without frames) stops it at once.
    bool start(const QList<Frame>& frames, int first, qint64 nowMs);
    void stop() { playing = false; }

    bool isPlaying() const { return playing; }
    int frame() const { return current; }
    int loopFrame() const { return loop; }
    // Ticks from the start to the moment the frame shown began.
    qint64 frameStartTick() const { return startTick; }

    // Milliseconds from `nowMs` until the next frame is due (0 when it is due
    // already); -1 when nothing is due (stopped, or a frame shown for ever).
    qint64 msUntilNext(qint64 nowMs) const;
    // Moves on to the frame due next and returns it; a frame shown for ever
    // stops play there.
    int step();

    // The tick that falls at `ms` after the start, and back.
    static qint64 tickAt(qint64 ms) { return ms * TicksPerSecond / 1000; }
    static qint64 msAt(qint64 tick) { return (tick * 1000 + TicksPerSecond - 1) / TicksPerSecond; }

private:
    QList<Frame> frames;
    int current = 0;
    int loop = 0;
    qint64 startMs = 0;
    qint64 startTick = 0;
    bool playing = false;
};

#endif

#ifndef EVENTHOOK_H
#define EVENTHOOK_H

#include <QEvent>
#include <QObject>

#include <functional>

// An event filter made of a function: true from it stops the event.
class EventHook : public QObject
{
public:
    EventHook(QObject* parent, std::function<bool(QObject*, QEvent*)> hook) : QObject(parent), hook(std::move(hook)) {}

    bool eventFilter(QObject* watched, QEvent* event) override { return hook(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> hook;
};

#endif

#ifndef QSLEEPTHREAD_H
#define QSLEEPTHREAD_H

#include <QThread>

// Holds the splash screen up at start-up: the GUI thread waits for it.
class QSleepThread : public QThread
{
    Q_OBJECT
protected:
    void run() override;
};

#endif

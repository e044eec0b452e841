#include "qsleepthread.h"

void QSleepThread::run()
{
    msleep(2000);
}

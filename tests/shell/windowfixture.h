#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "mainwindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

// Every MainWindow writes config.xml beside the test executable when it is
// destroyed, and every new one reads it. Tests that change settings hand the
// window the shipped file again before destroying it, so that the file they
// leave behind says what the shipped one says and tests running side by side
// see the same settings.
namespace windowfixture {

inline QString shippedConfig()
{
    return QStringLiteral(MORVANE_SOURCE_DIR "/data/config.xml");
}

// Puts the shipped settings file beside the executable (atomically: another
// test may be reading it).
inline bool installShippedConfig()
{
    QFile in(shippedConfig());
    QSaveFile out(QCoreApplication::applicationDirPath() + QStringLiteral("/config.xml"));
    return in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) && out.write(in.readAll()) >= 0
        && out.commit();
}

// A named part of the window; a name that is not there ends the test
// program, since every later step would only fail for the same reason.
template <class T> T* childOf(const QObject* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline void destroyWindow(MainWindow*& w)
{
    if (w)
        w->loadConfig(shippedConfig());
    delete w;
    w = nullptr;
}

} // namespace windowfixture

#endif

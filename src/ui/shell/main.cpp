#include "mainwindow.h"
#include "qsleepthread.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>

int main(int argc, char** argv)
{
    // Files kept beside the executable are found through
    // QCoreApplication::applicationDirPath() where they are read; the person's
    // own settings live in the per-user configuration folder named after the
    // program.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Morvane"));

    QSplashScreen splash(QPixmap(QStringLiteral(":/imgs/Imgs/Splash.jpg")));
    splash.show();
    splash.showMessage(QStringLiteral("Morvane, made by the Morvane developers. ")
                           + QCoreApplication::translate("main", "All rights reserved."),
                       Qt::AlignBottom | Qt::AlignHCenter, Qt::black);
    app.processEvents();

    // Two seconds of splash; the window is built after the thread has ended.
    QSleepThread sleeper;
    sleeper.start(QThread::InheritPriority);
    sleeper.wait();

    // Destroyed first when the loop ends, which writes the settings file.
    MainWindow window;
    window.show();
    splash.finish(&window);

    // Files named on the command line (a terminal, a file manager's "Open
    // with") open each in its page by its extension; a DEF opens its whole
    // set. Each goes to the top of File > Recent files.
    const QStringList files = app.arguments().mid(1);
    for (const QString& file : files)
        if (window.openPath(file))
            window.addRecentFile(file);
    return app.exec();
}

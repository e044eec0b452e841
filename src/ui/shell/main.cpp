#include "mainwindow.h"
#include "qsleepthread.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>

int main(int argc, char** argv)
{
    // Files named on the command line open as File > Open would open them
    // (a file manager's "Open with" passes them so). Files kept beside the
    // executable are found through QCoreApplication::applicationDirPath()
    // where they are read.
    QApplication app(argc, argv);

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
    for (const QString& file : app.arguments().mid(1))
        if (window.openPath(file))
            window.addRecentFile(file);
    return app.exec();
}

#ifndef UNDOSTEP_H
#define UNDOSTEP_H

#include "mainwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QUndoStack>
#include <QtTest>

#include <functional>

// Does `edit` in the window, then checks that it was exactly one step of
// `stack` named `undoText` in Edit > Undo, that the page changed, that Undo
// shows the page as it was before and Redo as it was after.
inline void checkOneStep(MainWindow* w, QUndoStack* stack, const QString& undoText,
                         const std::function<QString()>& page, const std::function<void()>& edit)
{
    QAction* undo = w->findChild<QAction*>(QStringLiteral("actionUndo"));
    QAction* redo = w->findChild<QAction*>(QStringLiteral("actionRedo"));
    QCoreApplication::processEvents(); // the window laid out as a person sees it
    const int steps = stack->count();
    const QString before = page();
    edit();
    QVERIFY2(stack->count() == steps + 1, qPrintable(undoText + QString(": %1 steps").arg(stack->count() - steps)));
    QCOMPARE(undo->text(), undoText);
    QVERIFY(undo->isEnabled());
    const QString after = page();
    QVERIFY2(after != before, qPrintable(undoText));
    undo->trigger();
    QVERIFY2(page() == before, qPrintable(undoText + ":\n" + page() + "\n" + before));
    QCOMPARE(redo->text(), QString(undoText).replace("Undo", "Redo"));
    redo->trigger();
    QVERIFY2(page() == after, qPrintable(undoText + " again:\n" + page() + "\n" + after));
}

#endif

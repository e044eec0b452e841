#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QDialogButtonBox>
#include <functional>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace testsupport {

// Path of a file of the shared corpus of real content files, or an empty string
// when the corpus is not beside the project. Use with CORPUS_OR_SKIP.
QString corpusPath(const QString& relative = QString());

// Directory for window snapshots (build/snapshots); created on demand.
QString snapshotDir();
// Grabs the widget and writes it as snapshotDir()/name.png; returns the path.
QString saveSnapshot(QWidget* widget, const QString& name);

// Dialogs are driven, not bypassed: each call arms a timer that waits for the
// next application-modal dialog (message box, file dialog, any QDialog) and
// answers it. Answers queue up in order, so a slot that asks twice can be
// answered twice. The texts of each answered dialog are recorded. Once a test
// has queued an answer, a message box or file dialog that comes up with none
// waiting is closed after three seconds (as Escape closes it) and recorded too:
// the test fails instead of hanging.
struct DialogSeen
{
    QString className;
    QString title;
    QString text; // message box text or file dialog directory
    QStringList filters; // a file dialog's name filters, the one chosen when it came up first
};

// Presses the message box button with this role (Yes, No, Ok, ...).
void answerMessageBox(QMessageBox::StandardButton button);
// Types `fileName` into the next file dialog and accepts it; an empty name
// cancels. A `nameFilter` given is chosen among the dialog's filters first.
void answerFileDialog(const QString& fileName, const QString& nameFilter = QString());
// Accepts (true) or rejects (false) the next dialog of any kind, after running
// `prepare` on it (for example to tick a radio button).
void answerDialog(bool accept, std::function<void(QWidget*)> prepare = {});

// Every dialog answered since the last call, oldest first; clears the record.
QList<DialogSeen> takeDialogsSeen();
// Number of answers still waiting for a dialog.
int pendingAnswers();
// Drops any answers that are still waiting.
void clearAnswers();

// Runs morvane-tool with the arguments; returns its exit code and fills the
// output streams.
int runTool(const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr,
            int timeoutMs = 120000);

// Writes the bytes as the whole file and answers its path; a file that cannot
// be written ends the test program (the test's own setup failed).
QString writeFile(const QString& path, const QByteArray& bytes);
// The whole file, or "(unreadable)" when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace testsupport

#define CORPUS_OR_SKIP(var, relative)                                                  \
    const QString var = testsupport::corpusPath(relative);                            \
    if (var.isEmpty())                                                                 \
        QSKIP("the shared corpus of real files is not beside the project");

#endif

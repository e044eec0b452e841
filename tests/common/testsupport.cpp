#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QQueue>
#include <QTimer>
#include <QWidget>

namespace testsupport {

QString corpusPath(const QString& relative)
{
    const QString root = QStringLiteral(MORVANE_CORPUS_DIR);
    if (root.isEmpty() || !QDir(root).exists())
        return QString();
    const QString path = relative.isEmpty() ? root : root + '/' + relative;
    return QFileInfo::exists(path) ? path : QString();
}

QString snapshotDir()
{
    const QString dir = QStringLiteral(MORVANE_SNAPSHOT_DIR);
    QDir().mkpath(dir);
    return dir;
}

QString saveSnapshot(QWidget* widget, const QString& name)
{
    const QString path = snapshotDir() + '/' + name + ".png";
    widget->grab().save(path);
    return path;
}

namespace {

struct Answer
{
    enum Kind { MessageBox, FileDialog, Dialog } kind = Dialog;
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString fileName;
    QString nameFilter;
    bool accept = false;
    std::function<void(QWidget*)> prepare;
};

QQueue<Answer> answers;
QList<DialogSeen> seen;
QList<QPointer<QWidget>> handled;
QTimer* poller = nullptr;
// A message box or file dialog up with no answer waiting, and since when.
QPointer<QWidget> unasked;
QElapsedTimer unaskedSince;

bool alreadyHandled(QWidget* w)
{
    for (const QPointer<QWidget>& p : handled)
        if (p == w)
            return true;
    return false;
}

// A question nobody answers would block the test for good. Once a test has
// answered dialogs, a message box or file dialog that comes up unasked is
// closed after a while, as Escape closes it, and recorded as seen, so that the
// test fails instead of hanging.
void closeUnasked(QWidget* modal)
{
    if (!qobject_cast<QMessageBox*>(modal) && !qobject_cast<QFileDialog*>(modal)) {
        unasked = nullptr;
        return;
    }
    if (modal != unasked) {
        unasked = modal;
        unaskedSince.start();
        return;
    }
    if (unaskedSince.elapsed() < 3000)
        return;
    qWarning("testsupport: closed '%s', which no answer was waiting for", qPrintable(modal->windowTitle()));
    handled.append(modal);
    auto* box = qobject_cast<QMessageBox*>(modal);
    seen.append({QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(),
                 box ? box->text() : QString()});
    if (box && box->escapeButton())
        box->escapeButton()->click();
    else
        static_cast<QDialog*>(modal)->reject();
}

void poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && (!modal->isVisible() || alreadyHandled(modal)))
        return;
    if (answers.isEmpty()) {
        closeUnasked(modal);
        return;
    }
    if (!modal)
        return;
    handled.append(modal);
    const Answer a = answers.dequeue();
    DialogSeen s;
    s.className = QString::fromLatin1(modal->metaObject()->className());
    s.title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        s.text = box->text();
        seen.append(s);
        QAbstractButton* b = box->button(a.button);
        if (b) {
            b->click();
        } else {
            qWarning("testsupport: the message box '%s' has no such button", qPrintable(s.title));
            box->reject();
        }
        return;
    }
    if (auto* dlg = qobject_cast<QFileDialog*>(modal)) {
        s.text = dlg->directory().absolutePath();
        s.filters = QStringList{dlg->selectedNameFilter()} + dlg->nameFilters();
        seen.append(s);
        if (a.kind != Answer::FileDialog || a.fileName.isEmpty()) {
            dlg->reject();
        } else {
            if (!a.nameFilter.isEmpty())
                dlg->selectNameFilter(a.nameFilter);
            dlg->selectFile(a.fileName);
            // selectFile leaves a focused name field alone, which happens when
            // the dialog already shows the file's folder: type the name then.
            if (!dlg->selectedFiles().contains(QFileInfo(a.fileName).absoluteFilePath())) {
                if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(a.fileName);
            }
            // QDialog::accept skips the overwrite question of a save dialog; the
            // caller reads selectedFiles() as usual.
            dlg->QDialog::accept();
        }
        return;
    }
    seen.append(s);
    if (auto* dlg = qobject_cast<QDialog*>(modal)) {
        if (a.prepare)
            a.prepare(dlg);
        if (a.accept)
            dlg->accept();
        else
            dlg->reject();
    } else {
        modal->close();
    }
}

void enqueue(const Answer& a)
{
    answers.enqueue(a);
    if (!poller) {
        poller = new QTimer(qApp);
        poller->setInterval(10);
        QObject::connect(poller, &QTimer::timeout, poll);
    }
    if (!poller->isActive())
        poller->start();
}

} // namespace

void answerMessageBox(QMessageBox::StandardButton button)
{
    Answer a;
    a.kind = Answer::MessageBox;
    a.button = button;
    enqueue(a);
}

void answerFileDialog(const QString& fileName, const QString& nameFilter)
{
    Answer a;
    a.kind = Answer::FileDialog;
    a.fileName = fileName;
    a.nameFilter = nameFilter;
    enqueue(a);
}

void answerDialog(bool accept, std::function<void(QWidget*)> prepare)
{
    Answer a;
    a.kind = Answer::Dialog;
    a.accept = accept;
    a.prepare = std::move(prepare);
    enqueue(a);
}

QList<DialogSeen> takeDialogsSeen()
{
    QList<DialogSeen> out = seen;
    seen.clear();
    return out;
}

int pendingAnswers()
{
    return answers.size();
}

void clearAnswers()
{
    answers.clear();
}

int runTool(const QStringList& args, QByteArray* out, QByteArray* err, int timeoutMs)
{
    QProcess p;
    p.start(QStringLiteral(MORVANE_TOOL_PATH), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out)
        *out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("testsupport: cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

} // namespace testsupport

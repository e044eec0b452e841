#include "documentpage.h"

#include "mainwindow.h"
#include "qfiledocument.h"
#include "qmessages.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

DocumentPage::DocumentPage(MainWindow* window, QFileDocument* document, int tab, std::function<Texts()> texts)
    : window(window), document(document), tab(tab), texts(std::move(texts))
{
}

bool DocumentPage::confirm(const QString& title, const QString& question) const
{
    return QMessageBox::question(window, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void DocumentPage::warn(const QString& title, const QString& text, const QString& fileName,
                        const QString& reason) const
{
    QMessageBox::warning(window, title, message(text, fileName, reason));
}

QString DocumentPage::message(const QString& text, const QString& fileName, const QString& reason)
{
    QString message = text.arg(QDir::toNativeSeparators(fileName));
    // Why it failed, where the words leave no place for it.
    if (text.contains(QLatin1String("%2")))
        message = message.arg(reason);
    else if (!reason.isEmpty())
        message += QLatin1Char('\n') + reason;
    return message;
}

void DocumentPage::newDocument()
{
    if (!window->confirmDiscard(tab))
        return;
    document->clear();
}

bool DocumentPage::open()
{
    if (!window->confirmDiscard(tab))
        return false;
    const Texts t = texts();
    const QString file = window->askOpenFile(t.openTitle, window->dialogPath(document), t.filter);
    if (file.isEmpty() || !open(file))
        return false;
    window->addRecentFile(file);
    return true;
}

bool DocumentPage::open(const QString& fileName)
{
    const Texts t = texts();
    // The issues of this file replace those of its last load; a file that
    // cannot be used leaves the document as it was, and its line says why.
    QMessages::FileScope scope(&window->messages, QFileInfo(fileName).absoluteFilePath());
    const auto fail = [&](const QString& text, const QString& reason) {
        window->messages.addError(message(text, QFileInfo(fileName).fileName(), reason));
        warn(t.openTitle, text, fileName, reason);
        return false;
    };
    // A file that cannot be read at all changes nothing.
    if (QFile probe(fileName); !probe.open(QIODevice::ReadOnly))
        return fail(t.unreadable, probe.errorString());
    window->progressDialog->setLabelText(t.loading);
    window->ui->tabs->setCurrentIndex(tab);
    if (!document->load(fileName)) {
        window->progressDialog->reset();
        return fail(t.unusable, document->errorString());
    }
    // The progress dialog has gone: the keyboard goes to the view.
    window->focusView();
    return true;
}

bool DocumentPage::refuseEmpty() const
{
    if (document->itemCount() > 0)
        return false;
    const Texts t = texts();
    QMessageBox::warning(window, t.saveTitle, t.empty, QMessageBox::Ok);
    return true;
}

bool DocumentPage::save()
{
    if (refuseEmpty())
        return false;
    const QString name = document->fileName();
    if (!name.isEmpty() && QFileInfo::exists(name))
        return (!beforeSave || beforeSave(name, -1)) && saveTo(name);
    return saveAs();
}

bool DocumentPage::saveAs(bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (refuseEmpty())
        return false;
    const Texts t = texts();
    // The dialog starts beside the document's file, suggesting its name.
    const QString start = window->dialogPath(document, QFileInfo(document->fileName()).fileName());
    QString file;
    int filter = -1;
    if (t.saveFilters.isEmpty()) {
        file = window->askSaveFile(t.saveTitle, start, t.filter);
    } else {
        QString chosen = t.saveFilters.value(t.saveFilter);
        file = window->askSaveFile(t.saveTitle, start, t.saveFilters.join(QStringLiteral(";;")), &chosen);
        filter = int(t.saveFilters.indexOf(chosen));
    }
    if (file.isEmpty()) {
        if (cancelled)
            *cancelled = true;
        return false;
    }
    if (!(!beforeSave || beforeSave(file, filter)) || !saveTo(file))
        return false;
    window->addRecentFile(file);
    return true;
}

bool DocumentPage::saveTo(const QString& fileName)
{
    if (mayWrite && !mayWrite())
        return false;
    const Texts t = texts();
    window->progressDialog->setLabelText(t.saving);
    // The document writes a new file and puts it in place only when it is
    // complete: a failed or cancelled save leaves the old file as it was, and
    // the document keeps its mark.
    if (!document->save(fileName)) {
        window->progressDialog->reset();
        warn(t.saveTitle, t.notSaved, fileName, document->errorString());
        return false;
    }
    window->reportSaved(fileName, window->contentsText(document));
    return true;
}

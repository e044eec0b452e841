#include "documentpage.h"

#include "mainwindow.h"
#include "qfiledocument.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
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
    QString message = text.arg(QDir::toNativeSeparators(fileName));
    if (text.contains(QLatin1String("%2")))
        message = message.arg(reason);
    QMessageBox::warning(window, title, message);
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
    const QString file = QFileDialog::getOpenFileName(window, t.openTitle, QString(), t.filter);
    return !file.isEmpty() && open(file);
}

bool DocumentPage::open(const QString& fileName)
{
    const Texts t = texts();
    // A file that cannot be read at all changes nothing.
    if (QFile probe(fileName); !probe.open(QIODevice::ReadOnly)) {
        warn(t.openTitle, t.unreadable, fileName, probe.errorString());
        return false;
    }
    window->progressDialog->setLabelText(t.loading);
    window->ui->tabs->setCurrentIndex(tab);
    if (!document->load(fileName)) {
        window->progressDialog->reset();
        warn(t.openTitle, t.unusable, fileName, document->errorString());
        return false;
    }
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
    QString file;
    int filter = -1;
    if (t.saveFilters.isEmpty()) {
        file = QFileDialog::getSaveFileName(window, t.saveTitle, QString(), t.filter);
    } else {
        QString chosen = t.saveFilters.value(t.saveFilter);
        file = QFileDialog::getSaveFileName(window, t.saveTitle, QString(), t.saveFilters.join(QStringLiteral(";;")),
                                            &chosen);
        filter = int(t.saveFilters.indexOf(chosen));
    }
    if (file.isEmpty()) {
        if (cancelled)
            *cancelled = true;
        return false;
    }
    return (!beforeSave || beforeSave(file, filter)) && saveTo(file);
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
    return true;
}

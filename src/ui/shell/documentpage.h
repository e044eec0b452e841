#ifndef DOCUMENTPAGE_H
#define DOCUMENTPAGE_H

#include <QString>
#include <QStringList>

#include <functional>

class MainWindow;
class QFileDocument;

// What New, Open, Save and Save As do on a page that edits one document kept
// in one file (the SFF, SND and AIR pages), written once: the discard
// question, the file dialogs, the progress label, the refusal to save an empty
// document, and the warning that tells why a file could not be used. The
// document keeps its own file name and modified state; the page only asks and
// tells.
class DocumentPage
{
public:
    // The page's own words, looked up when they are shown (so that they follow
    // the language). In the warnings %1 is the file and %2, where the text has
    // it, why it failed.
    struct Texts
    {
        QString openTitle;
        QString saveTitle;
        QString filter;
        QString loading;
        QString saving;
        QString empty;      // a document that must not be saved empty
        QString unreadable; // the chosen file cannot be read at all
        QString unusable;   // it was read, but is not a file of this kind
        QString notSaved;
        // Save As offers these instead of `filter` when there are some (the
        // formats a document can be written in), `saveFilter` chosen first.
        QStringList saveFilters;
        int saveFilter = 0;
    };
    // Asked before each save, with the file and the filter chosen in Save As
    // (-1 for a plain save): it may ask the user and change the document;
    // false stops the save.
    using BeforeSave = std::function<bool(const QString& fileName, int filter)>;

    DocumentPage(MainWindow* window, QFileDocument* document, int tab, std::function<Texts()> texts);
    void setBeforeSave(BeforeSave check) { beforeSave = std::move(check); }

    // After the discard question: an empty, unnamed document.
    void newDocument();
    // After the discard question, asks for a file and loads it; a file that
    // cannot be read changes nothing.
    bool open();
    bool open(const QString& fileName);
    // To the document's own file while it exists, else as Save As.
    bool save();
    // `cancelled` tells a dialog left without a name from a failure.
    bool saveAs(bool* cancelled = nullptr);
    bool saveTo(const QString& fileName);

    // Asked before any save writes; false stops the save (a question the
    // user said No to).
    std::function<bool()> mayWrite;

    // A Yes/No question with No as the default; true for Yes.
    bool confirm(const QString& title, const QString& question) const;
    void warn(const QString& title, const QString& text, const QString& fileName,
              const QString& reason = QString()) const;
    // The text of such a warning: the file for %1, why for %2 (or after it).
    static QString message(const QString& text, const QString& fileName, const QString& reason);

private:
    bool refuseEmpty() const;

    MainWindow* window;
    QFileDocument* document;
    int tab;
    std::function<Texts()> texts;
    BeforeSave beforeSave;
};

#endif

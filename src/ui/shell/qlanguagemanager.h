#ifndef QLANGUAGEMANAGER_H
#define QLANGUAGEMANAGER_H

#include <QObject>
#include <QStringList>
#include <QTranslator>

class QCoreApplication;

// The translations of the program's texts: morvane_<language>.qm files in a
// "Languages" folder beside the executable, each language named from its
// file name (morvane_pt_BR.qm gives "pt_BR"). English, the language the texts
// are written in, needs no file. Loading a translation makes Qt send every
// widget a language-change event, and the windows translate themselves again.
class QLanguageManager : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* English = "en";

    QLanguageManager(QCoreApplication* app, const QString& directory);
    ~QLanguageManager() override;

    // Reads the folder again; the language chosen stays when it is still there.
    void scan();
    // "en" first, then each language a translation was found for.
    QStringList languages() const;
    QString current() const { return chosen; }
    // The language of the system's locale when there is a translation for
    // it (or for its language without the country), else English.
    QString systemLanguage() const;
    // The language's own name for itself ("Português (Brasil)").
    static QString nativeName(const QString& language);

    // Selects a language and loads its translation (English for a name with
    // none); false, in English, when it has no translation that loads.
    bool setLanguage(const QString& language);

signals:
    void langChanged();

private:
    QCoreApplication* app;
    QString directory;
    QStringList found;
    QString chosen = QString::fromLatin1(English);
    QTranslator translator;
    QTranslator qtTranslator; // Qt's own texts (standard buttons, dialogs), when installed
    bool installed = false;
};

#endif

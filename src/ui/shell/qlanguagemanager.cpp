#include "qlanguagemanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace {
const QString Prefix = QStringLiteral("morvane_");
}

QLanguageManager::QLanguageManager(QCoreApplication* app, const QString& directory) : app(app), directory(directory)
{
    scan();
}

QLanguageManager::~QLanguageManager()
{
    if (installed) {
        app->removeTranslator(&translator);
        app->removeTranslator(&qtTranslator);
    }
}

void QLanguageManager::scan()
{
    found.clear();
    const QStringList files = QDir(directory).entryList({Prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        found << f.mid(Prefix.size()).chopped(3);
    if (!found.contains(chosen))
        setLanguage(QString::fromLatin1(English));
}

QStringList QLanguageManager::languages() const
{
    return QStringList{QString::fromLatin1(English)} + found;
}

QString QLanguageManager::systemLanguage() const
{
    const QLocale system = QLocale::system();
    const QString full = system.name();                        // pt_BR
    const QString bare = QLocale::languageToCode(system.language()); // pt
    for (const QString& candidate : {full, bare})
        if (found.contains(candidate))
            return candidate;
    // A translation for the language in another country is better than none.
    for (const QString& f : found)
        if (f.section(QLatin1Char('_'), 0, 0) == bare)
            return f;
    return QString::fromLatin1(English);
}

QString QLanguageManager::nativeName(const QString& language)
{
    if (language == QLatin1String(English))
        return QStringLiteral("English");
    const QLocale locale(language);
    QString name = locale.nativeLanguageName();
    if (language.contains(QLatin1Char('_')))
        name += QStringLiteral(" (%1)").arg(locale.nativeTerritoryName());
    return name.isEmpty() ? language : name.left(1).toUpper() + name.mid(1);
}

bool QLanguageManager::setLanguage(const QString& language)
{
    if (installed) {
        app->removeTranslator(&translator);
        app->removeTranslator(&qtTranslator);
        installed = false;
    }
    bool ok = true;
    chosen = QString::fromLatin1(English);
    if (language != QLatin1String(English) && found.contains(language)) {
        ok = translator.load(Prefix + language, directory);
        if (ok) {
            chosen = language;
            (void)qtTranslator.load(QStringLiteral("qtbase_") + language,
                                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            app->installTranslator(&qtTranslator);
            app->installTranslator(&translator);
            installed = true;
        }
    } else if (language != QLatin1String(English)) {
        ok = false;
    }
    emit langChanged();
    return ok;
}

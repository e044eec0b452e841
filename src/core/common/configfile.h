#ifndef CONFIGFILE_H
#define CONFIGFILE_H

#include <QDomDocument>
#include <QString>
#include <QStringList>

// The program's settings, as "config.xml" files: elements under a root
// `config`, each holding its values in attributes.
//
// Two files take part. The one shipped beside the executable gives the
// defaults (and is never written: once the program is installed its folder is
// not the user's). The person's own file, in the standard per-user folder,
// holds what they chose; it is read over the defaults and written at exit with
// every setting, elements and attributes made where they are missing, while
// unknown elements, attributes and comments of the file read survive.
class ConfigFile
{
public:
    ConfigFile();

    // The person's own file: <per-user configuration folder>/config.xml.
    static QString userPath();

    // Reads the defaults, then the person's file over them. Either may be
    // missing. A person's file that exists but is not a settings document is
    // left alone: nothing is read from it, and save() does not touch it.
    void load(const QString& shippedPath, const QString& userPath);
    bool userFileUnreadable() const { return unreadable; }

    QString value(const QString& element, const QString& attribute, const QString& fallback = QString()) const;
    bool boolValue(const QString& element, const QString& attribute, bool fallback) const;
    // A list of values kept as child elements (recent files, say).
    QStringList list(const QString& element, const QString& child, const QString& attribute) const;

    void setValue(const QString& element, const QString& attribute, const QString& value);
    void setBool(const QString& element, const QString& attribute, bool value);
    void setList(const QString& element, const QString& child, const QString& attribute, const QStringList& values);

    // Writes the person's file through a temporary file that takes the old
    // one's place only once complete (the folder is made when missing). False
    // when it could not be written, or was left alone as unreadable.
    bool save(const QString& userPath) const;

    const QDomDocument& document() const { return user; }

private:
    static QDomElement element(const QDomDocument& doc, const QString& name);
    QDomElement elementToWrite(const QString& name);

    QDomDocument shipped;
    QDomDocument user;
    bool unreadable = false;
};

#endif

#include "configfile.h"

#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const QString RootName = QStringLiteral("config");

// A settings document read from a file, or a null document.
QDomDocument readDocument(const QString& path, bool* exists)
{
    QFile file(path);
    *exists = file.exists();
    QDomDocument doc;
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return QDomDocument();
    if (doc.documentElement().tagName() != RootName)
        return QDomDocument();
    return doc;
}

QDomDocument emptyDocument()
{
    QDomDocument doc(QStringLiteral("QNDConfigML"));
    doc.appendChild(doc.createElement(RootName));
    return doc;
}

} // namespace

ConfigFile::ConfigFile() : user(emptyDocument()) {}

QString ConfigFile::userPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/config.xml");
}

void ConfigFile::load(const QString& shippedPath, const QString& userPath)
{
    bool exists = false;
    shipped = readDocument(shippedPath, &exists);
    const QDomDocument own = readDocument(userPath, &exists);
    unreadable = exists && own.isNull();
    if (!own.isNull())
        user = own;
    else if (!shipped.isNull())
        user = shipped.cloneNode(true).toDocument(); // written at exit with what was chosen
    else
        user = emptyDocument();
}

QDomElement ConfigFile::element(const QDomDocument& doc, const QString& name)
{
    // The last element of a name wins, as when the file is read top to bottom.
    QDomElement found;
    for (QDomElement e = doc.documentElement().firstChildElement(name); !e.isNull(); e = e.nextSiblingElement(name))
        found = e;
    return found;
}

QString ConfigFile::value(const QString& name, const QString& attribute, const QString& fallback) const
{
    for (const QDomDocument* doc : {&user, &shipped}) {
        const QDomElement e = element(*doc, name);
        if (!e.isNull() && e.hasAttribute(attribute))
            return e.attribute(attribute);
    }
    return fallback;
}

bool ConfigFile::boolValue(const QString& name, const QString& attribute, bool fallback) const
{
    const QString v = value(name, attribute);
    return v.isNull() ? fallback : v == QLatin1String("true");
}

QStringList ConfigFile::list(const QString& name, const QString& child, const QString& attribute) const
{
    QStringList out;
    for (const QDomDocument* doc : {&user, &shipped}) {
        const QDomElement e = element(*doc, name);
        if (e.isNull())
            continue;
        for (QDomElement c = e.firstChildElement(child); !c.isNull(); c = c.nextSiblingElement(child))
            out << c.attribute(attribute);
        return out;
    }
    return out;
}

QDomElement ConfigFile::elementToWrite(const QString& name)
{
    QDomElement e = element(user, name);
    if (e.isNull()) {
        e = user.createElement(name);
        user.documentElement().appendChild(e);
    }
    return e;
}

void ConfigFile::setValue(const QString& name, const QString& attribute, const QString& v)
{
    elementToWrite(name).setAttribute(attribute, v);
}

void ConfigFile::setBool(const QString& name, const QString& attribute, bool v)
{
    setValue(name, attribute, v ? QStringLiteral("true") : QStringLiteral("false"));
}

void ConfigFile::setList(const QString& name, const QString& child, const QString& attribute, const QStringList& values)
{
    QDomElement e = elementToWrite(name);
    for (QDomElement c = e.firstChildElement(child); !c.isNull();) {
        const QDomElement next = c.nextSiblingElement(child);
        e.removeChild(c);
        c = next;
    }
    for (const QString& v : values) {
        QDomElement c = user.createElement(child);
        c.setAttribute(attribute, v);
        e.appendChild(c);
    }
}

bool ConfigFile::save(const QString& path) const
{
    if (unreadable)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    user.save(out, 4);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

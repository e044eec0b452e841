#include "textdecode.h"

#include <QStringDecoder>

QString decodeText(const QByteArray& bytes)
{
    if (auto enc = QStringConverter::encodingForData(bytes)) {
        // encodingForData only answers for a byte-order mark (or an unambiguous
        // UTF-16/32 pattern); the decoder drops the mark itself.
        QStringDecoder dec(*enc, QStringConverter::Flag::Default);
        QString s = dec.decode(bytes);
        if (!dec.hasError())
            return s;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString s = utf8.decode(bytes);
    if (!utf8.hasError())
        return s;
    return QString::fromLatin1(bytes);
}

QByteArray encodeTextUtf8Bom(const QString& text)
{
    QByteArray out("\xEF\xBB\xBF");
    out += text.toUtf8();
    return out;
}

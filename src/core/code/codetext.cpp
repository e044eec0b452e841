#include "codetext.h"

#include "textdecode.h"

CodeText readCodeText(const QByteArray& bytes)
{
    CodeText result;
    QString text = decodeText(bytes);
    const qsizetype firstLf = text.indexOf(QLatin1Char('\n'));
    result.crlf = firstLf > 0 && text.at(firstLf - 1) == QLatin1Char('\r');
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n')); // old Mac line ends
    }
    result.text = text;
    return result;
}

QByteArray writeCodeText(const QString& text, bool crlf)
{
    if (!crlf)
        return encodeTextUtf8Bom(text);
    QString withCr = text;
    withCr.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return encodeTextUtf8Bom(withCr);
}

#ifndef CODEENCODING_H
#define CODEENCODING_H

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The encodings the engine's text files come in. The engine reads bytes; the
// files were written on Windows machines set to Western, Japanese, Korean or
// Chinese code pages, or by newer tools in UTF-8 (a few in UTF-16 with a mark).
enum class CodeEncoding {
    Utf8,
    Windows1252,
    ShiftJis, // Windows' code page 932
    Cp949,    // EUC-KR and its Windows extension
    Gbk,      // Windows' code page 936
    Big5,
    Utf16LE,
    Utf16BE,
    Utf32LE,
    Utf32BE
};

namespace codeencoding {

// "UTF-8", "Windows-1252", "Shift-JIS", "CP949", "GBK", "Big5", "UTF-16LE", ...
QString name(CodeEncoding e);
// The encoding of a name as name() gives it (case ignored); false when unknown.
bool fromName(const QString& name, CodeEncoding* e);
// The six a person picks from: UTF-8 and the legacy code pages, in the order
// the guess prefers them.
const QList<CodeEncoding>& choices();

// The byte-order mark of a Unicode encoding (empty for the code pages).
QByteArray byteOrderMark(CodeEncoding e);
// The Unicode encoding whose mark starts `bytes`, and the mark's length (0: none).
int detectByteOrderMark(QByteArrayView bytes, CodeEncoding* e);

struct Decoded
{
    QString text;
    int invalidBytes = 0; // bytes the encoding does not define
};

// Decodes without losing a byte: a byte that is no character of the encoding
// becomes the lone surrogate U+DC00 + byte, which no decoder produces
// otherwise, and encode() writes it back as that byte.
Decoded decode(QByteArrayView bytes, CodeEncoding e);

// Encodes text (lone surrogates of decode() back to their bytes). False when
// a character cannot be written in the encoding; *badIndex is then its
// position in `text`.
bool encode(QStringView text, CodeEncoding e, QByteArray* out, qsizetype* badIndex = nullptr);

// True when text[i] is one of the lone surrogates decode() makes of an
// undefined byte (and not the second half of a surrogate pair).
inline bool isRawByte(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= 0xDC00 && c <= 0xDCFF && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The encoding a file's bytes are read in: the one a byte-order mark names;
// UTF-8 when the bytes are valid UTF-8; otherwise the code page that decodes
// them with the fewest undefined bytes and the most plausible text.
CodeEncoding guess(QByteArrayView bytes);

// How plausible the bytes are as text of a code page (the higher the better).
// Exposed for the tests of the guess.
int plausibility(QByteArrayView bytes, CodeEncoding e);

} // namespace codeencoding

#endif

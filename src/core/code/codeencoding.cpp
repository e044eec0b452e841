#include "codeencoding.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>
#include <iconv.h>

namespace {

struct EncodingInfo
{
    CodeEncoding encoding;
    const char* name;    // as shown to a person
    const char* charset; // as glibc's iconv knows it
};

const EncodingInfo encodings[] = {
    {CodeEncoding::Utf8, "UTF-8", "UTF-8"},
    {CodeEncoding::Windows1252, "Windows-1252", "CP1252"},
    {CodeEncoding::ShiftJis, "Shift-JIS", "CP932"},
    {CodeEncoding::Cp949, "CP949", "CP949"},
    {CodeEncoding::Gbk, "GBK", "GBK"},
    {CodeEncoding::Big5, "Big5", "CP950"},
    {CodeEncoding::Utf16LE, "UTF-16LE", "UTF-16LE"},
    {CodeEncoding::Utf16BE, "UTF-16BE", "UTF-16BE"},
    {CodeEncoding::Utf32LE, "UTF-32LE", "UTF-32LE"},
    {CodeEncoding::Utf32BE, "UTF-32BE", "UTF-32BE"},
};

const EncodingInfo& info(CodeEncoding e)
{
    for (const EncodingInfo& i : encodings)
        if (i.encoding == e)
            return i;
    return encodings[0];
}

// QString's own code units, as iconv names them.
const char* const utf16Native = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

class Converter
{
public:
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd != iconv_t(-1); }
    void reset() { iconv(cd, nullptr, nullptr, nullptr, nullptr); }
    // One call of iconv: answers its errno (0 when everything was converted).
    int convert(const char** in, size_t* inLeft, char** out, size_t* outLeft)
    {
        if (iconv(cd, const_cast<char**>(in), inLeft, out, outLeft) != size_t(-1))
            return 0;
        return errno;
    }

private:
    iconv_t cd;
};

bool validUtf8(QByteArrayView bytes, QString* text)
{
    // A mark at the start of the bytes given is text here: the file's own mark was
    // taken off before, and a second one must survive a save.
    QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString s = dec.decode(bytes);
    if (dec.hasError())
        return false;
    if (text)
        *text = std::move(s);
    return true;
}

QChar rawByte(uchar b)
{
    return QChar(char16_t(0xDC00 + b));
}

codeencoding::Decoded decodeWithIconv(QByteArrayView bytes, CodeEncoding e)
{
    codeencoding::Decoded result;
    Converter conv(utf16Native, info(e).charset);
    if (!conv.ok()) {
        // No converter on this system: keep every byte, as undefined.
        result.text.reserve(bytes.size());
        for (char c : bytes)
            result.text += rawByte(uchar(c));
        result.invalidBytes = int(bytes.size());
        return result;
    }
    // No character of these encodings takes fewer bytes than UTF-16 units;
    // a character beyond the first plane takes two units for at least two bytes.
    QString out(bytes.size() + 2, Qt::Uninitialized);
    char* outStart = reinterpret_cast<char*>(out.data());
    char* outPtr = outStart;
    size_t outLeft = size_t(out.size()) * 2;
    const char* in = bytes.data();
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        const int err = conv.convert(&in, &inLeft, &outPtr, &outLeft);
        if (err == 0)
            break;
        if (err == E2BIG) {
            const qsizetype used = (outPtr - outStart) / 2;
            out.resize(out.size() * 2);
            outStart = reinterpret_cast<char*>(out.data());
            outPtr = outStart + used * 2;
            outLeft = size_t(out.size() - used) * 2;
            continue;
        }
        // EILSEQ (no character) or EINVAL (cut short at the end): keep the
        // byte as it is and go on after it.
        if (outLeft < 2) {
            const qsizetype used = (outPtr - outStart) / 2;
            out.resize(out.size() + 64);
            outStart = reinterpret_cast<char*>(out.data());
            outPtr = outStart + used * 2;
            outLeft = size_t(out.size() - used) * 2;
        }
        const QChar raw = rawByte(uchar(*in));
        memcpy(outPtr, &raw, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        ++result.invalidBytes;
        conv.reset();
    }
    out.resize((outPtr - outStart) / 2);
    result.text = std::move(out);
    return result;
}

// Encodes a run of text without raw bytes. False at the first character the
// encoding lacks; *bad is then its index in the run.
bool encodeRun(Converter& conv, CodeEncoding e, QStringView run, QByteArray* out, qsizetype* bad)
{
    if (run.isEmpty())
        return true;
    if (e == CodeEncoding::Utf8) {
        for (qsizetype i = 0; i < run.size(); ++i) {
            // A surrogate without its partner is no character.
            const QChar c = run[i];
            if (c.isHighSurrogate() && (i + 1 >= run.size() || !run[i + 1].isLowSurrogate())) {
                *bad = i;
                return false;
            }
            if (c.isLowSurrogate() && (i == 0 || !run[i - 1].isHighSurrogate())) {
                *bad = i;
                return false;
            }
        }
        out->append(run.toUtf8());
        return true;
    }
    const char* in = reinterpret_cast<const char*>(run.data());
    size_t inLeft = size_t(run.size()) * 2;
    const qsizetype start = out->size();
    out->resize(start + run.size() * 4 + 8);
    char* outPtr = out->data() + start;
    size_t outLeft = size_t(run.size()) * 4 + 8;
    while (inLeft > 0) {
        const int err = conv.convert(&in, &inLeft, &outPtr, &outLeft);
        if (err == 0)
            break;
        if (err == E2BIG) {
            const qsizetype used = outPtr - out->data();
            out->resize(out->size() * 2);
            outPtr = out->data() + used;
            outLeft = size_t(out->size() - used);
            continue;
        }
        *bad = (in - reinterpret_cast<const char*>(run.data())) / 2;
        out->resize(start);
        conv.reset();
        return false;
    }
    // Flush a converter that keeps state (none of these does, but it costs nothing).
    conv.convert(nullptr, nullptr, &outPtr, &outLeft);
    out->resize(outPtr - out->data());
    return true;
}

bool isAsciiLetter(int b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// Windows-1252 bytes that are letters: the accented Latin letters and the
// few in the 0x80 row.
bool isLetter1252(int b)
{
    if (b >= 0xC0)
        return b != 0xD7 && b != 0xF7;
    return b == 0x83 || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F;
}

} // namespace

namespace codeencoding {

QString name(CodeEncoding e)
{
    return QString::fromLatin1(info(e).name);
}

bool fromName(const QString& name, CodeEncoding* e)
{
    for (const EncodingInfo& i : encodings) {
        if (name.compare(QLatin1String(i.name), Qt::CaseInsensitive) == 0) {
            *e = i.encoding;
            return true;
        }
    }
    return false;
}

const QList<CodeEncoding>& choices()
{
    static const QList<CodeEncoding> list = {CodeEncoding::Utf8, CodeEncoding::Windows1252, CodeEncoding::ShiftJis,
                                             CodeEncoding::Cp949, CodeEncoding::Gbk, CodeEncoding::Big5};
    return list;
}

QByteArray byteOrderMark(CodeEncoding e)
{
    switch (e) {
    case CodeEncoding::Utf8:
        return QByteArray("\xEF\xBB\xBF");
    case CodeEncoding::Utf16LE:
        return QByteArray("\xFF\xFE");
    case CodeEncoding::Utf16BE:
        return QByteArray("\xFE\xFF");
    case CodeEncoding::Utf32LE:
        return QByteArray("\xFF\xFE\0\0", 4);
    case CodeEncoding::Utf32BE:
        return QByteArray("\0\0\xFE\xFF", 4);
    default:
        return QByteArray();
    }
}

int detectByteOrderMark(QByteArrayView bytes, CodeEncoding* e)
{
    // UTF-32LE's mark starts with UTF-16LE's: the longer marks first.
    for (CodeEncoding c : {CodeEncoding::Utf32LE, CodeEncoding::Utf32BE, CodeEncoding::Utf8, CodeEncoding::Utf16LE,
                           CodeEncoding::Utf16BE}) {
        const QByteArray bom = byteOrderMark(c);
        if (bytes.startsWith(bom)) {
            *e = c;
            return int(bom.size());
        }
    }
    return 0;
}

Decoded decode(QByteArrayView bytes, CodeEncoding e)
{
    Decoded result;
    if (e == CodeEncoding::Utf8 && validUtf8(bytes, &result.text))
        return result;
    return decodeWithIconv(bytes, e);
}

bool encode(QStringView text, CodeEncoding e, QByteArray* out, qsizetype* badIndex)
{
    Converter conv(info(e).charset, utf16Native);
    if (e != CodeEncoding::Utf8 && !conv.ok()) {
        if (badIndex)
            *badIndex = 0;
        return false;
    }
    out->reserve(out->size() + text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isRawByte(text, i))
            continue;
        qsizetype bad = 0;
        if (!encodeRun(conv, e, text.mid(runStart, i - runStart), out, &bad)) {
            if (badIndex)
                *badIndex = runStart + bad;
            return false;
        }
        if (i < text.size())
            out->append(char(text[i].unicode() - 0xDC00));
        runStart = i + 1;
    }
    return true;
}

int plausibility(QByteArrayView bytes, CodeEncoding e)
{
    const qsizetype n = bytes.size();
    auto at = [&](qsizetype i) { return i >= 0 && i < n ? int(uchar(bytes[i])) : int('\n'); };
    int score = 0;
    qsizetype i = 0;
    bool lastHalfwidth = false;
    while (i < n) {
        const int b = at(i);
        if (b < 0x80) {
            lastHalfwidth = false;
            ++i;
            continue;
        }
        if (e == CodeEncoding::Windows1252) {
            // Western text has a letter or a sign here and there between
            // ASCII letters; long runs of high bytes are another script's.
            qsizetype end = i;
            while (end < n && at(end) >= 0x80)
                ++end;
            for (qsizetype k = i; k < end; ++k) {
                if (end - i >= 3)
                    score -= 1;
                else if (isLetter1252(at(k)) && (isAsciiLetter(at(k - 1)) || isAsciiLetter(at(k + 1))))
                    score += 1;
            }
            i = end;
            continue;
        }
        if (e == CodeEncoding::ShiftJis && b >= 0xA1 && b <= 0xDF) {
            // Half-width katakana: words of them occur, a lone one among
            // ASCII is an accented Latin letter read as Japanese.
            const bool run = lastHalfwidth || (at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF);
            score += run ? 0 : -1;
            lastHalfwidth = true;
            ++i;
            continue;
        }
        lastHalfwidth = false;
        const bool lead = e == CodeEncoding::ShiftJis ? (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)
                                                      : b >= 0x81 && b <= 0xFE;
        const int t = at(i + 1);
        if (!lead || t < 0x40 || i + 1 >= n) {
            ++i; // undefined: the decoder counts it
            continue;
        }
        const int code = (b << 8) | t;
        int s = -1;
        bool kana = false;
        switch (e) {
        case CodeEncoding::ShiftJis:
            if ((code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396)) {
                s = 2;
                kana = true;
            } else if (code >= 0x889F && code <= 0x9872) {
                s = 2; // first-level kanji
            } else if ((code >= 0x8140 && code <= 0x81FC) || (code >= 0x824F && code <= 0x829A)
                       || (code >= 0x989F && code <= 0xEAA4)) {
                s = 1; // punctuation, full-width letters, second-level kanji
            } else {
                s = b >= 0xF0 && b <= 0xF9 ? -2 : 0; // private use, vendor extensions
            }
            break;
        case CodeEncoding::Cp949:
            if (b >= 0xB0 && b <= 0xC8 && t >= 0xA1)
                s = 2; // the 2350 common syllables
            else if (b >= 0xA1 && b <= 0xAF && t >= 0xA1)
                s = 1; // signs, jamo
            else if (b >= 0xCA && b <= 0xFD && t >= 0xA1)
                s = 0; // hanja
            break;   // else the rare syllables of the Windows extension
        case CodeEncoding::Gbk:
            if (b >= 0xB0 && b <= 0xD7 && t >= 0xA1)
                s = 2; // first-level hanzi
            else if ((b >= 0xD8 && b <= 0xF7 && t >= 0xA1) || (b >= 0xA1 && b <= 0xA9 && t >= 0xA1))
                s = 1; // second level, punctuation
            break;   // else GBK's rare additions
        case CodeEncoding::Big5:
            if (code >= 0xA440 && code <= 0xC67E)
                s = 2; // frequent hanzi
            else if ((code >= 0xC940 && code <= 0xF9D5) || (code >= 0xA140 && code <= 0xA3BF))
                s = 1; // less frequent, punctuation
            break;
        default:
            s = 0;
            break;
        }
        // One ideograph alone among ASCII (often eating an ASCII letter as its
        // second byte) is an accented letter of a Western text read wrongly.
        if (!kana && at(i - 1) < 0x80 && at(i + 2) < 0x80)
            s = qMin(s, 0);
        score += s;
        i += 2;
    }
    return score;
}

CodeEncoding guess(QByteArrayView bytes)
{
    CodeEncoding marked;
    if (detectByteOrderMark(bytes, &marked) > 0)
        return marked;
    if (validUtf8(bytes, nullptr))
        return CodeEncoding::Utf8;

    // Only the lines with bytes beyond ASCII tell the code pages apart, and
    // no character of them spans a line end.
    QByteArray sample;
    qsizetype lineStart = 0;
    bool high = false;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\n') {
            if (high) {
                sample.append(bytes.sliced(lineStart, i - lineStart));
                sample.append('\n');
            }
            lineStart = i + 1;
            high = false;
        } else if (uchar(bytes[i]) >= 0x80) {
            high = true;
        }
    }

    // An undefined byte weighs as much as two well-formed characters.
    CodeEncoding best = CodeEncoding::Windows1252;
    int bestScore = 0;
    bool first = true;
    for (CodeEncoding e : choices()) {
        if (e == CodeEncoding::Utf8)
            continue;
        const int score = plausibility(sample, e) - 4 * decodeWithIconv(sample, e).invalidBytes;
        if (first || score > bestScore) {
            best = e;
            bestScore = score;
            first = false;
        }
    }
    return best;
}

} // namespace codeencoding

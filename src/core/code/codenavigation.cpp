#include "codenavigation.h"

#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QTextBlock>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.');
}

} // namespace

namespace codenavigation {

bool inCommentOrString(QStringView line, qsizetype position)
{
    bool inString = false;
    for (qsizetype i = 0; i < position && i < line.size(); ++i) {
        if (line[i] == QLatin1Char('"'))
            inString = !inString;
        else if (line[i] == QLatin1Char(';') && !inString)
            return true;
    }
    return inString;
}

QString wordBefore(QStringView line, qsizetype position)
{
    position = qBound(qsizetype(0), position, line.size());
    qsizetype start = position;
    while (start > 0 && isWordChar(line[start - 1]))
        --start;
    while (start < position && !line[start].isLetter())
        ++start;
    return line.mid(start, position - start).toString();
}

bool stateReferenceAt(const QTextBlock& block, int position, const SyntaxDefinition* syntax, int* number)
{
    const QString text = block.text();
    if (position < 0 || position > text.size())
        return false;
    qsizetype start = position, end = position;
    while (start > 0 && text[start - 1].isDigit())
        --start;
    while (end < text.size() && text[end].isDigit())
        ++end;
    if (start == end || (end < text.size() && isWordChar(text[end]))
        || (start > 0 && (text[start - 1].isLetter() || text[start - 1] == QLatin1Char('_') || text[start - 1] == QLatin1Char('.'))))
        return false;
    if (start > 0 && text[start - 1] == QLatin1Char('-'))
        --start;
    if (inCommentOrString(text, start))
        return false;
    bool ok = false;
    const int n = text.mid(start, end - start).toInt(&ok);
    if (!ok)
        return false;

    // The word the number belongs to: the nearest one before it, past
    // blanks, operators, brackets and the other numbers of a range.
    qsizetype i = start;
    while (i > 0) {
        const QChar c = text[i - 1];
        if (c.isDigit() || QStringView(u" \t=!<>[(,-").contains(c))
            --i;
        else
            break;
    }
    const qsizetype wordEnd = i;
    while (i > 0 && isWordChar(text[i - 1]))
        --i;
    const QString word = text.mid(i, wordEnd - i).toLower();
    const bool header = text.left(i).trimmed() == QLatin1String("[");
    bool refers = false;
    if (header) {
        // The number right after the word: [State 200, 1] stands for 200, not 1.
        refers = (word == QLatin1String("statedef") || word == QLatin1String("state"))
                 && text.mid(wordEnd, start - wordEnd).trimmed().isEmpty();
    } else if (word == QLatin1String("stateno") || word == QLatin1String("prevstateno")
               || word == QLatin1String("p1stateno") || word == QLatin1String("p2stateno")) {
        refers = true;
    } else if (word == QLatin1String("value") && syntax && text.left(i).trimmed().isEmpty()) {
        SyntaxDefinition::ControllerKind kind;
        const int index = QMugenHighlighter::controllerIndex(QMugenHighlighter::section(block.userState()), &kind);
        if (index >= 0 && kind == SyntaxDefinition::StateController && index < syntax->controllers(kind).size()) {
            const QString controller = syntax->controllers(kind).at(index).name;
            refers = controller == QLatin1String("changestate") || controller == QLatin1String("selfstate")
                     || controller == QLatin1String("targetstate");
        }
    }
    if (refers)
        *number = n;
    return refers;
}

} // namespace codenavigation

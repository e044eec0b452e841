// morvane-tool code: checks code files with the editor's own highlighter.
#include "toolcommand.h"

#include "codetext.h"
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

ToolExit check(const QStringList& args, QTextStream& out, QTextStream& err);
ToolExit encoding(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("code",
                          "code check [--syntax SYNTAX.XML] [--errors-only] FILE|DIR...   print each mark the editor makes as "
                          "FILE:LINE:COLUMN: error: message (or warning: for what the engine ignores), for the files and the "
                          "DEF, CMD, CNS and ST files under each DIR; exit status 1 only for errors\n"
                          "code check [--syntax SYNTAX.XML] [--errors-only] --summary FILE|DIR...   files, lines, errors and "
                          "warnings per 1000 lines, the ten most frequent messages\n"
                          "code encoding FILE...                      print the encoding each file is read in, "
                          "as FILE: encoding",
                          [](const QStringList& args, QTextStream& out, QTextStream& err) {
                              if (args.value(0) == QLatin1String("check"))
                                  return check(args.mid(1), out, err);
                              if (args.value(0) == QLatin1String("encoding"))
                                  return encoding(args.mid(1), out, err);
                              return toolUsageError(command, err, args.isEmpty() ? QString()
                                                                                 : "unknown sub-command '" + args.first() + "'");
                          });

// The editor's own guess (codeencoding::guess, through readCodeText).
ToolExit encoding(const QStringList& files, QTextStream& out, QTextStream& err)
{
    if (files.isEmpty())
        return toolUsageError(command, err, "no file to read");
    bool failed = false;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "morvane-tool: cannot read " << path << ": " << file.errorString() << '\n';
            failed = true;
            continue;
        }
        const CodeText code = readCodeText(file.readAll());
        out << path << ": " << codeencoding::name(code.format.encoding);
        if (code.format.byteOrderMark)
            out << " with BOM";
        out << '\n';
    }
    return failed ? ToolExit::ExitFailed : ToolExit::ExitOk;
}

const char* severityWord(Severity s)
{
    return s == Severity::Warning ? "warning" : "error";
}

// The marks of one file, as the editor shows them.
struct CheckedFile
{
    int lines = 0;
    QList<CodeMark> marks;
    QStringList text; // the lines, to point at the marked word
};

CheckedFile checkText(const QString& text, const SyntaxDefinition& syntax)
{
    CheckedFile result;
    QTextDocument doc;
    doc.setPlainText(text);
    QMugenHighlighter highlighter(&doc, &syntax);
    highlighter.rehighlight();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        result.text.append(block.text());
        result.marks += QMugenHighlighter::marks(block);
    }
    // A file that ends with a line break has no line after it.
    result.lines = int(result.text.size());
    if (result.lines > 0 && result.text.last().isEmpty())
        --result.lines;
    return result;
}

// The span of a mark starts with the blanks before the marked word: the column
// is the word's, from 1.
int markColumn(const CodeMark& m, const QString& line)
{
    int column = m.start;
    while (column < m.start + m.length - 1 && column < line.size()
           && (line.at(column) == QLatin1Char(' ') || line.at(column) == QLatin1Char('\t')))
        ++column;
    return column + 1;
}

// Messages that name the token they found are counted as one kind.
QString messageKind(const QString& message)
{
    static const QRegularExpression token(QStringLiteral("^Unexpected token '.*'$"));
    return token.match(message).hasMatch() ? QStringLiteral("Unexpected token '%1'") : message;
}

bool isCodeFile(const QString& path)
{
    static const QStringList suffixes = {QStringLiteral("def"), QStringLiteral("cmd"), QStringLiteral("cns"),
                                         QStringLiteral("st")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

// Every code file under the arguments (a file named on its own is taken
// whatever its suffix), each folder in name order.
QStringList collectFiles(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        QStringList found;
        QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (isCodeFile(f))
                found.append(f);
        }
        std::sort(found.begin(), found.end());
        files += found;
    }
    return files;
}

QString perThousand(qint64 count, qint64 lines)
{
    return QString::number(lines > 0 ? 1000.0 * double(count) / double(lines) : 0.0, 'f', 2);
}

ToolExit check(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString syntaxPath = QCoreApplication::applicationDirPath() + QStringLiteral("/syntax.xml");
    QStringList paths;
    bool summary = false;
    bool errorsOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--syntax")) {
            if (i + 1 >= args.size())
                return toolUsageError(command, err, "--syntax needs a file");
            syntaxPath = args.at(++i);
        } else if (args.at(i) == QLatin1String("--summary")) {
            summary = true;
        } else if (args.at(i) == QLatin1String("--errors-only")) {
            errorsOnly = true;
        } else {
            paths.append(args.at(i));
        }
    }
    if (paths.isEmpty())
        return toolUsageError(command, err, "no file to check");

    SyntaxDefinition syntax;
    if (!syntax.load(syntaxPath)) {
        err << "morvane-tool: cannot read the syntax definition " << syntaxPath << '\n';
        return ToolExit::ExitFailed;
    }

    const QStringList files = collectFiles(paths);
    bool failed = false;
    qint64 lines = 0, errors = 0, warnings = 0;
    QHash<std::pair<QString, int>, qint64> kinds; // (message kind, severity) -> marks
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "morvane-tool: cannot read " << path << ": " << file.errorString() << '\n';
            failed = true;
            continue;
        }
        const CheckedFile checked = checkText(readCodeText(file.readAll()).text, syntax);
        lines += checked.lines;
        for (const CodeMark& m : checked.marks) {
            (m.severity == Severity::Error ? errors : warnings) += 1;
            if (errorsOnly && m.severity != Severity::Error)
                continue;
            if (summary) {
                ++kinds[{messageKind(m.message), int(m.severity)}];
                continue;
            }
            out << path << ':' << (m.line + 1) << ':' << markColumn(m, checked.text.value(m.line)) << ": "
                << severityWord(m.severity) << ": " << m.message << '\n';
        }
    }

    if (summary) {
        out << "files: " << files.size() << '\n'
            << "lines: " << lines << '\n'
            << "errors: " << errors << " (" << perThousand(errors, lines) << " per 1000 lines)\n"
            << "warnings: " << warnings << " (" << perThousand(warnings, lines) << " per 1000 lines)\n";
        QList<std::pair<qint64, std::pair<QString, int>>> ranked;
        for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
            ranked.append({it.value(), it.key()});
        // Most frequent first; ties in message order, so that the report is stable.
        std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        if (!ranked.isEmpty())
            out << "most frequent messages:\n";
        for (qsizetype i = 0; i < ranked.size() && i < 10; ++i)
            out << "  " << ranked.at(i).first << ' ' << severityWord(Severity(ranked.at(i).second.second)) << ": "
                << ranked.at(i).second.first << '\n';
    }
    return failed || errors > 0 ? ToolExit::ExitFailed : ToolExit::ExitOk;
}

} // namespace

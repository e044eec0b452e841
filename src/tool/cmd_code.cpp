// morvane-tool code: checks code files with the editor's own highlighter.
#include "toolcommand.h"

#include "codetext.h"
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

namespace {

int check(const QStringList& args, QTextStream& out, QTextStream& err);
int encoding(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("code",
                          "code check [--syntax SYNTAX.XML] FILE...   print every problem the editor marks, "
                          "as FILE:LINE:COLUMN: message\n"
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
int encoding(const QStringList& files, QTextStream& out, QTextStream& err)
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
    return failed ? ExitFailed : ExitOk;
}

int check(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString syntaxPath = QCoreApplication::applicationDirPath() + QStringLiteral("/syntax.xml");
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--syntax")) {
            if (i + 1 >= args.size())
                return toolUsageError(command, err, "--syntax needs a file");
            syntaxPath = args.at(++i);
        } else {
            files.append(args.at(i));
        }
    }
    if (files.isEmpty())
        return toolUsageError(command, err, "no file to check");

    SyntaxDefinition syntax;
    if (!syntax.load(syntaxPath)) {
        err << "morvane-tool: cannot read the syntax definition " << syntaxPath << '\n';
        return ExitFailed;
    }

    bool problems = false;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "morvane-tool: cannot read " << path << ": " << file.errorString() << '\n';
            problems = true;
            continue;
        }
        QTextDocument doc;
        doc.setPlainText(readCodeText(file.readAll()).text);
        QMugenHighlighter highlighter(&doc, &syntax);
        highlighter.rehighlight();
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            for (const CodeMark& m : QMugenHighlighter::marks(block)) {
                // The span starts with the blanks before the marked word: point at the word.
                int column = m.start;
                while (column < m.start + m.length - 1 && column < text.size()
                       && (text.at(column) == QLatin1Char(' ') || text.at(column) == QLatin1Char('\t')))
                    ++column;
                out << path << ':' << (m.line + 1) << ':' << (column + 1) << ": " << m.message << '\n';
                problems = true;
            }
        }
    }
    return problems ? ExitFailed : ExitOk;
}

} // namespace

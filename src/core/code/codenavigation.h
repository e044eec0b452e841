#ifndef CODENAVIGATION_H
#define CODENAVIGATION_H

#include <QString>
#include <QStringView>

class QTextBlock;
class SyntaxDefinition;

// Helpers of the code editor that read a line as the highlighter left it.
namespace codenavigation {

// The state number the number at `position` of a line stands for: a header
// [Statedef n] or [State n, ...], the value of ChangeState, SelfState and
// TargetState, p1stateno, p2stateno and stateno parameters, and the operands
// of the stateno and prevstateno triggers. False for any other place.
bool stateReferenceAt(const QTextBlock& block, int position, const SyntaxDefinition* syntax, int* number);

// True when `position` of a line lies in a comment or inside a string, where
// the engine's words are not offered.
bool inCommentOrString(QStringView line, qsizetype position);

// The word being typed before `position`: a run of letters, digits, "." and
// "_" that starts with a letter, as the highlighter reads identifiers.
QString wordBefore(QStringView line, qsizetype position);

} // namespace codenavigation

#endif

#ifndef CHARACTERDEF_H
#define CHARACTERDEF_H

#include <QList>
#include <QString>

// What a DEF file names: a character's [Files], a stage's [BGdef] sprites, a
// storyboard's [SceneDef] sprites, a font's [Def] file. Reading it does not
// open anything; each reference says which file it found.
struct DefReference
{
    enum Role { Sprites, Animations, Sounds, Palette, Code };
    // How the file was found, as the engine finds it: the value as it stands,
    // its backslashes made folder separators, its letters in another case,
    // its quotes taken off, in the engine's folder or its data folder.
    enum Found { Exact, Separators, LetterCase, Quotes, EngineFolder, Missing };

    Role role = Code;
    QString key;   // as written, e.g. "pal1"
    QString value; // as written, trimmed
    int line = 0;  // from 1
    QString path;  // the file found; empty when Missing
    Found found = Missing;
};

struct CharacterDef
{
    enum Kind { Character, Stage, Storyboard, Font };
    Kind kind = Character;
    QList<DefReference> references;

    // The reference of a role that counts: the last one given (a key given
    // twice takes its later value); null when there is none.
    const DefReference* last(DefReference::Role role) const;
};

// Reads the DEF's text; `defPath` is where it lies, the folder its names are
// taken from. Sections, keys and roles as the engine reads them, names in any
// case; a ';' starts a comment.
CharacterDef readCharacterDef(const QString& text, const QString& defPath);

// Finds the file a DEF's value names, as the engine would. `found` says how.
QString resolveDefFile(const QString& defPath, const QString& value, DefReference::Found* found);

// The folder the engine runs from, for a DEF at `defPath`: the grandparent of
// chars/<name>/<name>.def, the parent of stages/x.def (or data/, font/).
QString engineFolder(const QString& defPath);

#endif

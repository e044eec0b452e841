#ifndef SPRITECOMMANDS_H
#define SPRITECOMMANDS_H

#include "qeditcommand.h"
#include "qremapmodel.h"
#include "qsprites.h"

#include <QList>

struct SpriteImage;

// The edits of a sprite archive, each one undo step. They keep what they need
// to undo themselves: the values before and after, or the removed record;
// image bytes that no sprite shows any more stay in the archive's store until
// the step that holds them is dropped.

// Group, number, axis or the decompress flag of one sprite. Edits of the same
// field of the same sprite in one burst (keys typed, wheel turned) merge.
class ChangeSpriteInfo : public QEditCommand
{
public:
    enum Field { Group, Number, Axis, Flags };

    ChangeSpriteInfo(QSprites* sprites, int index, const SpriteInfo& after, Field field, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    QSprites* sprites;
    int index;
    SpriteInfo before;
    SpriteInfo after;
    Field field;
};

// Puts a new sprite record in. Its image bytes, when it has some of its own,
// were stored for it already and belong to the step while it is undone.
class InsertSprite : public QEditCommand
{
public:
    InsertSprite(QSprites* sprites, int index, const SpriteRecord& record, const QString& text,
                 QUndoCommand* parent = nullptr);
    ~InsertSprite() override;
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    int index;
    SpriteRecord record;
    bool applied = false;
};

class RemoveSprite : public QEditCommand
{
public:
    RemoveSprite(QSprites* sprites, int index, QUndoCommand* parent = nullptr);
    ~RemoveSprite() override;
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    int index;
    SpriteRemoval removal;
    bool applied = false;
};

// Whole records before and after (a new image and the sprites linked to it).
class SetSpriteRecords : public QEditCommand
{
public:
    struct Change
    {
        int index;
        SpriteRecord before;
        SpriteRecord after;
    };
    SetSpriteRecords(QSprites* sprites, const QList<Change>& changes, const QString& text, int subject,
                     QUndoCommand* parent = nullptr);
    ~SetSpriteRecords() override;
    void redo() override;
    void undo() override;

private:
    // Image bytes the records of one side hold and those of the other do not.
    QList<BlobId> onlyIn(bool afterSide) const;

    QSprites* sprites;
    QList<Change> changes;
    bool applied = false;
};

class InsertPalette : public QEditCommand
{
public:
    InsertPalette(QSprites* sprites, int index, const PaletteRecord& record, const QString& text,
                  QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    int index;
    PaletteRecord record;
    PaletteLinks links;
};

class RemovePalette : public QEditCommand
{
public:
    RemovePalette(QSprites* sprites, int index, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    int index;
    PaletteRecord record;
    PaletteLinks links;
};

// The colours, group or number of one palette. Group and number edits of one
// palette merge within a burst, as the sprite fields do.
class ChangePalette : public QEditCommand
{
public:
    enum Field { Colours, Group, Number };

    ChangePalette(QSprites* sprites, int index, const PaletteRecord& after, Field field, const QString& text,
                  QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    QSprites* sprites;
    int index;
    PaletteRecord before;
    PaletteRecord after;
    Field field;
};

// Every palette at once (Delete all palettes). The sprites keep the palette
// numbers they had.
class ReplacePalettes : public QEditCommand
{
public:
    ReplacePalettes(QSprites* sprites, const QList<PaletteRecord>& after, const QString& text,
                    QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    QList<PaletteRecord> before;
    QList<PaletteRecord> after;
};

// The version the archive is saved as. Built by spritecommands::changeVersion
// with whatever else the version needs.
class ChangeSffVersion : public QEditCommand
{
public:
    ChangeSffVersion(QSprites* sprites, SffVersion after, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    QSprites* sprites;
    SffVersion before;
    SffVersion after;
};

// A row of the palette remap table added, removed or changed. The table is a
// preview that no file holds: the step leaves the archive saved.
class ChangeRemap : public QEditCommand
{
public:
    enum Kind { Add, Remove, Change };

    ChangeRemap(QReMapModel* model, Kind kind, int row, const RemapRow& after = RemapRow(),
                QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    bool changesFile() const override { return false; }

private:
    QReMapModel* model;
    Kind kind;
    int row;
    RemapRow before;
    RemapRow after;
};

// The steps behind the sprite page's commands, built against the archive as
// it is now. Null when there is nothing to do.
namespace spritecommands {

// New sprite: the image goes in at `index`, with its palette (added at the
// end unless the archive holds the same colours already; a true-colour image
// needs none).
QEditCommand* importSprite(QSprites* sprites, int index, const SpriteImage& image);
// Change image: the sprite (and the sprites linked straight to it) take the image.
QEditCommand* replaceImage(QSprites* sprites, int index, const SpriteImage& image);
// Duplicate: a copy of the image of its own, or a link to the same image.
QEditCommand* duplicateSprite(QSprites* sprites, int index, bool copy);
QEditCommand* removeSprite(QSprites* sprites, int index);
QEditCommand* changeInfo(QSprites* sprites, int index, const SpriteInfo& after, ChangeSpriteInfo::Field field);

// Palettes: new colours for one, a new one put in (as insertPalette would),
// a group or number.
QEditCommand* changeColours(QSprites* sprites, int index, const QByteArray& colours, const QString& text);
QEditCommand* insertPalette(QSprites* sprites, int index, const QByteArray& colours, const QString& text);
QEditCommand* changePaletteInfo(QSprites* sprites, int index, qint16 group, qint16 number);

// The archive becomes `version`, and holds only what that version keeps, so
// that it is what a save writes and a load of that file gives back:
// true-colour sprites are reduced to 256 colours (each with a palette of its
// own, or the same colours the archive has already) unless the version is
// 2.01; for 1.01 the palettes become the ones a reader of the file makes of
// its sprites. Null when nothing changes.
QEditCommand* changeVersion(QSprites* sprites, SffVersion version);

} // namespace spritecommands

#endif

#include "spritecommands.h"

#include "colourreduction.h"
#include "sffformat.h"
#include "spriteimages.h"

#include <QCoreApplication>

namespace {

// Texts of the steps, translated under one name whichever command shows them.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SpriteCommands)
};

QString spriteName(const QString& text, const QSprites* sprites, int index)
{
    const SpriteInfo info = sprites->spriteInfo(index);
    return text.arg(info.group).arg(info.number);
}

} // namespace

// ---------------------------------------------------------------- sprite fields

ChangeSpriteInfo::ChangeSpriteInfo(QSprites* sprites, int index, const SpriteInfo& after, Field field,
                                   QUndoCommand* parent)
    : QEditCommand(QString(), Subject::Sprite, index, parent), sprites(sprites), index(index),
      before(sprites->spriteInfo(index)), after(after), field(field)
{
    static const char* const texts[] = {QT_TRANSLATE_NOOP("SpriteCommands", "Change group"), QT_TRANSLATE_NOOP("SpriteCommands", "Change number"), QT_TRANSLATE_NOOP("SpriteCommands", "Move axis"), QT_TRANSLATE_NOOP("SpriteCommands", "Change decompress flag")};
    setText(Text::tr(texts[field]));
}

void ChangeSpriteInfo::redo()
{
    sprites->setSpriteInfo(index, after);
}

void ChangeSpriteInfo::undo()
{
    sprites->setSpriteInfo(index, before);
}

int ChangeSpriteInfo::id() const
{
    return int(CommandId::SpriteInfo);
}

bool ChangeSpriteInfo::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangeSpriteInfo*>(other);
    if (next->sprites != sprites || next->index != index || next->field != field || !withinBurst(next))
        return false;
    after = next->after;
    takeTime(next);
    // Typed back to where it started: no step is left.
    setObsolete(after == before);
    return true;
}

// ---------------------------------------------------------------- inserting and removing

InsertSprite::InsertSprite(QSprites* sprites, int index, const SpriteRecord& record, const QString& text,
                           QUndoCommand* parent)
    : QEditCommand(text, Subject::Sprite, index, parent), sprites(sprites), index(index), record(record)
{
}

InsertSprite::~InsertSprite()
{
    if (!applied)
        sprites->releaseBlob(record.blobId);
}

void InsertSprite::redo()
{
    sprites->insertSpriteRecord(index, record);
    applied = true;
}

void InsertSprite::undo()
{
    // Nothing links to the new sprite any more: taking it out only moves the
    // links behind it back down.
    sprites->takeSprite(index);
    applied = false;
}

RemoveSprite::RemoveSprite(QSprites* sprites, int index, QUndoCommand* parent)
    : QEditCommand(spriteName(Text::tr("Delete sprite %1,%2"), sprites, index), Subject::Sprite, index, parent),
      sprites(sprites), index(index)
{
}

RemoveSprite::~RemoveSprite()
{
    if (applied)
        sprites->releaseBlob(removal.orphanBlob());
}

void RemoveSprite::redo()
{
    removal = sprites->takeSprite(index);
    applied = true;
}

void RemoveSprite::undo()
{
    sprites->restoreSprite(removal);
    applied = false;
}

// ---------------------------------------------------------------- whole records

SetSpriteRecords::SetSpriteRecords(QSprites* sprites, const QList<Change>& changes, const QString& text, int subject,
                                   QUndoCommand* parent)
    : QEditCommand(text, Subject::Sprite, subject, parent), sprites(sprites), changes(changes)
{
}

SetSpriteRecords::~SetSpriteRecords()
{
    for (BlobId id : onlyIn(!applied))
        sprites->releaseBlob(id);
}

QList<BlobId> SetSpriteRecords::onlyIn(bool afterSide) const
{
    QList<BlobId> mine, theirs;
    for (const Change& c : changes) {
        mine << (afterSide ? c.after : c.before).blobId;
        theirs << (afterSide ? c.before : c.after).blobId;
    }
    QList<BlobId> out;
    for (BlobId id : mine)
        if (id != 0 && !theirs.contains(id) && !out.contains(id))
            out << id;
    return out;
}

void SetSpriteRecords::redo()
{
    for (const Change& c : changes)
        sprites->setSpriteRecord(c.index, c.after);
    applied = true;
}

void SetSpriteRecords::undo()
{
    for (auto c = changes.crbegin(); c != changes.crend(); ++c)
        sprites->setSpriteRecord(c->index, c->before);
    applied = false;
}

// ---------------------------------------------------------------- palettes

InsertPalette::InsertPalette(QSprites* sprites, int index, const PaletteRecord& record, const QString& text,
                             QUndoCommand* parent)
    : QEditCommand(text, Subject::Palette, index, parent), sprites(sprites), index(index), record(record)
{
}

void InsertPalette::redo()
{
    links = sprites->insertPaletteRecord(index, record);
}

void InsertPalette::undo()
{
    sprites->dropPaletteRecord(index, links);
}

RemovePalette::RemovePalette(QSprites* sprites, int index, QUndoCommand* parent)
    : QEditCommand(Text::tr("Delete palette"), Subject::Palette, index, parent), sprites(sprites), index(index)
{
}

void RemovePalette::redo()
{
    if (const PaletteRecord* p = sprites->palette(index))
        record = *p;
    links = sprites->removePaletteRecord(index);
}

void RemovePalette::undo()
{
    sprites->placePaletteRecord(index, record, links);
}

ChangePalette::ChangePalette(QSprites* sprites, int index, const PaletteRecord& after, Field field,
                             const QString& text, QUndoCommand* parent)
    : QEditCommand(text, Subject::Palette, index, parent), sprites(sprites), index(index), after(after), field(field)
{
    if (const PaletteRecord* p = sprites->palette(index))
        before = *p;
}

void ChangePalette::redo()
{
    sprites->setPaletteRecord(index, after);
}

void ChangePalette::undo()
{
    sprites->setPaletteRecord(index, before);
}

int ChangePalette::id() const
{
    return field == Colours ? -1 : int(CommandId::PaletteInfo);
}

bool ChangePalette::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangePalette*>(other);
    if (next->sprites != sprites || next->index != index || next->field != field || !withinBurst(next))
        return false;
    after = next->after;
    takeTime(next);
    setObsolete(after == before);
    return true;
}

ReplacePalettes::ReplacePalettes(QSprites* sprites, const QList<PaletteRecord>& after, const QString& text,
                                 QUndoCommand* parent)
    : QEditCommand(text, Subject::Palette, 0, parent), sprites(sprites), before(sprites->paletteList()), after(after)
{
}

void ReplacePalettes::redo()
{
    sprites->setPaletteList(after);
}

void ReplacePalettes::undo()
{
    sprites->setPaletteList(before);
}

// ---------------------------------------------------------------- version

ChangeSffVersion::ChangeSffVersion(QSprites* sprites, SffVersion after, QUndoCommand* parent)
    : QEditCommand(Text::tr("Change to SFF %1").arg(sffVersionText(after)), Subject::None, -1, parent), sprites(sprites),
      before(sprites->version()), after(after)
{
}

void ChangeSffVersion::redo()
{
    sprites->setVersion(after);
}

void ChangeSffVersion::undo()
{
    sprites->setVersion(before);
}

// ---------------------------------------------------------------- remap table

ChangeRemap::ChangeRemap(QReMapModel* model, Kind kind, int row, const RemapRow& after, QUndoCommand* parent)
    : QEditCommand(QString(), Subject::Remap, row, parent), model(model), kind(kind), row(row),
      before(model->row(row)), after(after)
{
    static const char* const texts[] = {QT_TRANSLATE_NOOP("SpriteCommands", "Add remap row"), QT_TRANSLATE_NOOP("SpriteCommands", "Delete remap row"), QT_TRANSLATE_NOOP("SpriteCommands", "Change remap row")};
    setText(Text::tr(texts[kind]));
}

void ChangeRemap::redo()
{
    switch (kind) {
    case Add: model->insertRowAt(row, after); break;
    case Remove: model->removeRow(row); break;
    case Change: model->setRowAt(row, after); break;
    }
}

void ChangeRemap::undo()
{
    switch (kind) {
    case Add: model->removeRow(row); break;
    case Remove: model->insertRowAt(row, before); break;
    case Change: model->setRowAt(row, before); break;
    }
}

// ---------------------------------------------------------------- building steps

namespace spritecommands {

namespace {

// The palette an image is drawn with: the archive's own when it holds the same
// colours, else a new one at the end, put in by a child of `parent`.
int paletteFor(QSprites* sprites, const SpriteImage& image, QUndoCommand* parent)
{
    if (image.isTrueColour())
        return 0; // drawn with its own colours
    const int same = sprites->findIdenticalPalette(image.colours);
    if (same < sprites->paletteCount())
        return same;
    const int end = sprites->paletteCount();
    new InsertPalette(sprites, end, sprites->newPalette(end, image.colours, 0, -1), QString(), parent);
    return end;
}

} // namespace

QEditCommand* importSprite(QSprites* sprites, int index, const SpriteImage& image)
{
    if (image.isNull())
        return nullptr;
    index = qBound(0, index, sprites->spriteCount());
    auto* step = new QEditCommand(Text::tr("New sprite"), QEditCommand::Subject::Sprite, index);
    SpriteRecord r;
    r.hasData = true;
    r.paletteIndex = quint16(paletteFor(sprites, image, step));
    r.width = image.width;
    r.height = image.height;
    r.imageFormat = image.format;
    r.blobId = sprites->storeBlob(image.rows);
    new InsertSprite(sprites, index, r, QString(), step);
    return step;
}

QEditCommand* replaceImage(QSprites* sprites, int index, const SpriteImage& image)
{
    const SpriteRecord* old = sprites->sprite(index);
    if (!old || image.isNull())
        return nullptr;
    auto* step = new QEditCommand(spriteName(Text::tr("Change image %1,%2"), sprites, index), QEditCommand::Subject::Sprite,
                                  index);
    SpriteRecord r = *old;
    r.paletteIndex = quint16(paletteFor(sprites, image, step));
    r.dataFormat = SpriteRows;
    r.hasData = true;
    r.linkIndex = old->blobId != 0 ? old->linkIndex : 0;
    r.width = image.width;
    r.height = image.height;
    r.imageFormat = image.format;
    // A new blob rather than new bytes in the old one: the old image stays
    // with the step for undo, and sprites linked here show the new one.
    r.blobId = sprites->storeBlob(image.rows);
    QList<SetSpriteRecords::Change> changes{{index, *old, r}};
    for (int j = 0; j < sprites->spriteCount(); ++j) {
        const SpriteRecord* l = sprites->sprite(j);
        if (j != index && !l->hasData && l->linkIndex == index) {
            SpriteRecord linked = *l;
            linked.width = r.width;
            linked.height = r.height;
            linked.imageFormat = r.imageFormat;
            changes.append({j, *l, linked});
        }
    }
    new SetSpriteRecords(sprites, changes, QString(), index, step);
    return step;
}

QEditCommand* duplicateSprite(QSprites* sprites, int index, bool copy)
{
    const SpriteRecord* source = sprites->sprite(index);
    if (!source)
        return nullptr;
    SpriteRecord d = *source;
    d.blobId = 0;
    d.fileOffset = d.fileLength = 0;
    QByteArray bytes;
    // A copy keeps the source's encoding: an untouched image stays untouched.
    const bool ownCopy = copy && source->hasData && source->blobId != 0
                         && sprites->blobStore().read(source->blobId, bytes);
    if (ownCopy) {
        d.linkIndex = 0;
        d.blobId = sprites->storeBlob(bytes);
    } else {
        d.hasData = false;
        // Written for the list after the insertion: a source in front keeps
        // its index, a link behind the new sprite moves up with it.
        d.linkIndex = source->hasData ? quint16(index) : source->linkIndex;
        if (!source->hasData && source->linkIndex > index)
            ++d.linkIndex;
    }
    const QString text = ownCopy ? Text::tr("Duplicate sprite %1,%2") : Text::tr("Link sprite %1,%2");
    return new InsertSprite(sprites, index + 1, d, spriteName(text, sprites, index));
}

QEditCommand* removeSprite(QSprites* sprites, int index)
{
    return sprites->sprite(index) ? new RemoveSprite(sprites, index) : nullptr;
}

QEditCommand* changeInfo(QSprites* sprites, int index, const SpriteInfo& after, ChangeSpriteInfo::Field field)
{
    if (!sprites->sprite(index) || sprites->spriteInfo(index) == after)
        return nullptr;
    return new ChangeSpriteInfo(sprites, index, after, field);
}

QEditCommand* changeColours(QSprites* sprites, int index, const QByteArray& colours, const QString& text)
{
    const PaletteRecord* p = sprites->palette(index);
    if (!p)
        return nullptr;
    PaletteRecord after = QSprites::paletteOf(colours, p->group, p->number);
    after.fileOffset = p->fileOffset;
    after.fileLength = p->fileLength;
    after.fileLink = p->fileLink;
    if (after == *p)
        return nullptr;
    return new ChangePalette(sprites, index, after, ChangePalette::Colours, text);
}

QEditCommand* insertPalette(QSprites* sprites, int index, const QByteArray& colours, const QString& text)
{
    index = qBound(0, index, sprites->paletteCount());
    return new InsertPalette(sprites, index, sprites->newPalette(index, colours, 0, -1), text);
}

QEditCommand* changePaletteInfo(QSprites* sprites, int index, qint16 group, qint16 number)
{
    const PaletteRecord* p = sprites->palette(index);
    if (!p || (p->group == group && p->number == number))
        return nullptr;
    PaletteRecord after = *p;
    after.group = group;
    after.number = number;
    const bool groupEdit = group != p->group;
    return new ChangePalette(sprites, index, after, groupEdit ? ChangePalette::Group : ChangePalette::Number,
                             groupEdit ? Text::tr("Change palette group") : Text::tr("Change palette number"));
}

QEditCommand* changeVersion(QSprites* sprites, SffVersion version)
{
    const QList<SpriteRecord> original = sprites->spriteList();
    const QList<PaletteRecord> originalPalettes = sprites->paletteList();
    QList<SpriteRecord> records = original;
    QList<PaletteRecord> palettes = originalPalettes;
    if (version != SffVersion::V201) {
        for (int i = 0; i < records.size(); ++i) {
            if (!records[i].hasData || !records[i].isTrueColour())
                continue;
            const QImage reduced = toIndexed8(sprites->spriteImage(i));
            if (reduced.isNull())
                continue;
            const QByteArray colours = coloursOfTable(reduced.colorTable());
            int k = 0;
            while (k < palettes.size() && palettes[k].colours != colours)
                ++k;
            if (k == palettes.size())
                palettes.append(QSprites::paletteOf(colours, 0, qint16(palettes.size() + 1)));
            SpriteRecord& r = records[i];
            // A new image, which the step holds until it is done.
            r.blobId = sprites->storeBlob(rowsOfImage(reduced));
            r.dataFormat = SpriteRows;
            r.imageFormat = QImage::Format_Indexed8;
            r.paletteIndex = quint16(k);
            // The sprites that show this image show it through the same colours.
            for (int j = 0; j < records.size(); ++j) {
                if (!records[j].hasData && sprites->linkTarget(j) == i) {
                    records[j].imageFormat = QImage::Format_Indexed8;
                    records[j].paletteIndex = quint16(k);
                }
            }
        }
    }
    if (version == SffVersion::V101) {
        const SffFormat::Version1Plan plan = SffFormat::planVersion1(records, palettes);
        palettes.clear();
        for (int k = 0; k < plan.palettes.size(); ++k)
            palettes.append(QSprites::paletteOf(plan.palettes[k], 0, qint16(k + 1)));
        for (int i = 0; i < records.size(); ++i)
            records[i].paletteIndex = plan.paletteOf[i];
    }

    auto* step = new QEditCommand(Text::tr("Change to SFF %1").arg(sffVersionText(version)), QEditCommand::Subject::None, -1);
    const auto sameList = [](const QList<PaletteRecord>& a, const QList<PaletteRecord>& b) {
        if (a.size() != b.size())
            return false;
        for (int k = 0; k < a.size(); ++k)
            if (a[k].group != b[k].group || a[k].number != b[k].number || a[k].colours != b[k].colours)
                return false;
        return true;
    };
    if (!sameList(palettes, originalPalettes))
        new ReplacePalettes(sprites, palettes, QString(), step);
    QList<SetSpriteRecords::Change> changes;
    for (int i = 0; i < records.size(); ++i)
        if (records[i] != original[i])
            changes.append({i, original[i], records[i]});
    if (!changes.isEmpty())
        new SetSpriteRecords(sprites, changes, QString(), changes.first().index, step);
    if (version != sprites->version())
        new ChangeSffVersion(sprites, version, step);
    if (step->childCount() == 0) {
        delete step;
        return nullptr;
    }
    return step;
}

} // namespace spritecommands

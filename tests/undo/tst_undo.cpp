// The history of each document: random runs of the edits a person can make,
// taken back and done again, must give back every record, pixel and saved
// byte; bursts merge; the saved state and failed saves.
#include "../sounds/sndbuilder.h"
#include "../sprites/spritetestdata.h"
#include "animationcommands.h"
#include "qmessages.h"
#include "qrgbpalette.h"
#include "savefile.h"
#include "sffformat.h"
#include "soundcommands.h"
#include "spritecommands.h"
#include "spriteimages.h"
#include "testsupport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Everything a person or a file could tell apart in an archive.
QString describe(QSprites& s)
{
    QStringList out;
    for (int i = 0; i < s.spriteCount(); ++i) {
        const SpriteInfo f = s.spriteInfo(i);
        const SpriteSize z = s.spriteSize(i);
        out << QString("s%1 %2,%3 a%4,%5 d%6 l%7 p%8 f%9 %10x%11 %12 %13")
                   .arg(i).arg(f.group).arg(f.number).arg(f.axisX).arg(f.axisY).arg(f.hasData).arg(f.linkIndex)
                   .arg(f.paletteIndex).arg(f.flags).arg(z.width).arg(z.height).arg(int(z.imageFormat))
                   .arg(QString::fromLatin1(QCryptographicHash::hash(s.spritePixels(i), QCryptographicHash::Md5).toHex()));
    }
    for (int k = 0; k < s.paletteCount(); ++k) {
        const PaletteInfo p = s.paletteInfo(k);
        out << QString("p%1 %2,%3 c%4 %5").arg(k).arg(p.group).arg(p.number).arg(p.colourCount)
                   .arg(QString::fromLatin1(QCryptographicHash::hash(s.paletteData(k), QCryptographicHash::Md5).toHex()));
    }
    out << "version " + sffVersionText(s.version());
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    if (s.spriteCount() > 0 && SffFormat::write(s, &file, s.saveVersion(), false))
        out << QString::fromLatin1(QCryptographicHash::hash(file.data(), QCryptographicHash::Md5).toHex());
    return out.join('\n');
}

QString describe(const QSounds& s)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    const_cast<QSounds&>(s).save(&file);
    return sndbuilder::summary(s) + ' '
           + QString::fromLatin1(QCryptographicHash::hash(file.data(), QCryptographicHash::Md5).toHex());
}

// Applies all of a step list, then takes it all back and does it again.
template <class Doc> void undoAllRedoAll(Doc& doc, const QString& before, const QString& after)
{
    QUndoStack* stack = doc.undoStack();
    while (stack->canUndo())
        stack->undo();
    QCOMPARE(describe(doc), before);
    while (stack->canRedo())
        stack->redo();
    QCOMPARE(describe(doc), after);
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private slots:
    void randomSpriteEditsUndoAndRedo_data();
    void randomSpriteEditsUndoAndRedo();
    void randomSoundEditsUndoAndRedo();
    void randomBoxEditsUndoAndRedo(); // and the structure and fields of actions
    void burstsMerge();
    void savedStateFollowsTheHistory();
    void failedCommitKeepsOldFileAndMark();
};

void TestUndo::randomSpriteEditsUndoAndRedo_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
}

void TestUndo::randomSpriteEditsUndoAndRedo()
{
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    QSprites s(nullptr, BlobsInMemory, seed % 2 == 0, -1);
    // A start with links, two palettes and a dangling palette number.
    for (int i = 0; i < 4; ++i) {
        s.addSprite();
        s.setImage(i, spritetest::indexed(5 + i, 4 + i, i, spritetest::colours(i % 2)));
    }
    s.duplicateSprite(1, false);
    s.duplicateSprite(4, false);
    QReMapModel remap;
    remap.setSprites(&s);
    remap.setUndoStack(s.undoStack());
    const QString start = describe(s);
    const int blobsAtStart = s.blobStore().count();

    // One image in four is true colour, and stays so (as in a 2.01 archive).
    const auto image = [&] {
        const int w = 1 + int(rng.bounded(12)), h = 1 + int(rng.bounded(12));
        if (rng.bounded(4) == 0)
            return spriteImageOf(spritetest::trueColour(w, h, int(rng.bounded(50))), true);
        return spriteImageOf(spritetest::indexed(w, h, int(rng.bounded(50)), spritetest::colours(int(rng.bounded(4)))));
    };
    QUndoStack* stack = s.undoStack();
    for (int step = 0; step < 200; ++step) {
        const int n = s.spriteCount(), p = s.paletteCount();
        const int i = n > 0 ? int(rng.bounded(n)) : 0, k = p > 0 ? int(rng.bounded(p)) : 0;
        QUndoCommand* c = nullptr;
        switch (rng.bounded(13)) {
        case 0: c = spritecommands::importSprite(&s, int(rng.bounded(n + 1)), image()); break;
        case 1: c = spritecommands::replaceImage(&s, i, image()); break;
        case 2: c = spritecommands::duplicateSprite(&s, i, rng.bounded(2) == 1); break;
        case 3: c = spritecommands::removeSprite(&s, i); break;
        case 4: {
            SpriteInfo info = s.spriteInfo(i);
            const auto field = ChangeSpriteInfo::Field(rng.bounded(4));
            info.group = quint16(rng.bounded(3));
            info.number = quint16(rng.bounded(3));
            info.axisX = qint16(rng.bounded(-9, 9));
            info.flags = quint16(rng.bounded(2));
            c = spritecommands::changeInfo(&s, i, info, field);
            break;
        }
        case 5: {
            if (p == 0)
                break;
            QByteArray colours = s.paletteData(k);
            bool mask[256];
            for (bool& m : mask)
                m = rng.bounded(3) == 0;
            QRGBPalette edit(reinterpret_cast<uchar*>(colours.data()));
            edit.applyEffect(1 + int(rng.bounded(12)), mask);
            c = spritecommands::changeColours(&s, k, colours, "effect");
            break;
        }
        case 6: c = spritecommands::insertPalette(&s, int(rng.bounded(p + 1)), spritetest::colours(int(rng.bounded(9))), "new"); break;
        case 7: c = p > 0 ? new RemovePalette(&s, k) : nullptr; break;
        case 8: c = spritecommands::changePaletteInfo(&s, k, qint16(rng.bounded(4)), qint16(rng.bounded(4))); break;
        case 9: c = rng.bounded(8) == 0 ? new ReplacePalettes(&s, {}, "all") : nullptr; break;
        case 10: c = new ChangeRemap(&remap, ChangeRemap::Add, remap.rowCount()); break;
        case 11: {
            // Another version: true colour reduced, palettes as 1.01 keeps them.
            const SffVersion versions[] = {SffVersion::V101, SffVersion::V200, SffVersion::V201};
            c = spritecommands::changeVersion(&s, versions[rng.bounded(3)]);
            break;
        }
        default:
            if (remap.rowCount() > 0)
                remap.setData(remap.index(int(rng.bounded(remap.rowCount())), int(rng.bounded(4))), int(rng.bounded(5)));
            break;
        }
        if (c)
            stack->push(c);
    }
    QVERIFY(stack->count() > 100);
    const QString end = describe(s);
    undoAllRedoAll(s, start, end);
    // Twice: steps hold what they need however often they run.
    undoAllRedoAll(s, start, end);

    // Dropping the history lets go of every image only a step still held,
    // whether it stood done or undone.
    if (seed % 2) {
        while (stack->canUndo())
            stack->undo();
        stack->clear();
        QCOMPARE(s.blobStore().count(), blobsAtStart);
        QCOMPARE(describe(s), start);
        return;
    }
    QSet<BlobId> used;
    for (int i = 0; i < s.spriteCount(); ++i)
        if (s.sprite(i)->blobId)
            used.insert(s.sprite(i)->blobId);
    stack->clear();
    QCOMPARE(s.blobStore().count(), used.size());
    QCOMPARE(describe(s), end);
}

void TestUndo::randomSoundEditsUndoAndRedo()
{
    QRandomGenerator rng(7);
    QSounds s(BlobsInMemory, false, -1);
    QTemporaryDir dir;
    for (int i = 0; i < 3; ++i) {
        s.insertEmpty(i);
        s.setGroupAndNumber(i, quint16(i), 0);
    }
    const QString start = describe(s);
    QUndoStack* stack = s.undoStack();
    for (int step = 0; step < 200; ++step) {
        const int n = s.count(), i = n > 0 ? int(rng.bounded(n)) : 0;
        SoundRecord wav;
        const QString file = testsupport::writeFile(dir.filePath("s.wav"), sndbuilder::wav(1 + rng.bounded(200u)));
        QUndoCommand* c = nullptr;
        switch (rng.bounded(5)) {
        case 0: QVERIFY(s.readSoundFile(file, wav)); c = soundcommands::insertSound(&s, int(rng.bounded(n + 1)), wav); break;
        case 1:
            if (n > 0 && s.readSoundFile(file, wav))
                c = soundcommands::replaceSound(&s, i, wav);
            break;
        case 2: c = soundcommands::duplicateSound(&s, i); break;
        case 3: c = soundcommands::removeSound(&s, i); break;
        default: c = soundcommands::changeGroupAndNumber(&s, i, quint16(rng.bounded(4)), quint16(rng.bounded(4))); break;
        }
        if (c)
            stack->push(c);
        else if (wav.blob)
            s.releaseBlob(wav.blob); // read but not used
    }
    const QString end = describe(s);
    undoAllRedoAll(s, start, end);
    // Dropping the history leaves the store holding the sounds' bytes and
    // nothing a step held.
    stack->clear();
    int withData = 0;
    for (int i = 0; i < s.count(); ++i)
        withData += s.sound(i)->blob != 0;
    QCOMPARE(s.blobStore().count(), withData);
    QCOMPARE(describe(s), end);
}

// An edit of an animation set's structure or of a frame's fields, a time in
// four; null otherwise.
QEditCommand* structureEdit(QAnimations& a, int action, int frame, QRandomGenerator& rng)
{
    switch (rng.bounded(16)) {
    case 0: return animationcommands::newAction(&a, int(rng.bounded(a.actionCount() + 1)));
    case 1: return a.actionCount() > 1 ? new RemoveAction(&a, action) : nullptr;
    case 2: return animationcommands::newFrame(&a, action, int(rng.bounded(a.frameCount(action) + 1)));
    case 3: return a.frameCount(action) > 1 ? new RemoveFrame(&a, action, frame) : nullptr;
    default: break;
    }
    if (rng.bounded(3) != 0)
        return nullptr;
    AirFrame f = *a.frame(action, frame);
    const auto field = ChangeFrame::Field(rng.bounded(10));
    switch (field) {
    case ChangeFrame::Group: f.group = int(rng.bounded(5)); break;
    case ChangeFrame::Number: f.number = int(rng.bounded(5)); break;
    case ChangeFrame::X: f.x = int(rng.bounded(-9, 9)); break;
    case ChangeFrame::Y: f.y = int(rng.bounded(-9, 9)); break;
    case ChangeFrame::Time: f.time = int(rng.bounded(-1, 9)); break;
    case ChangeFrame::Flip: f.flip = quint8(rng.bounded(4)); break;
    case ChangeFrame::Transparency: f.transparency = quint8(rng.bounded(3)); break;
    case ChangeFrame::SrcAlpha: f.srcAlpha = quint16(rng.bounded(257)); break;
    case ChangeFrame::DstAlpha: f.dstAlpha = quint16(rng.bounded(257)); break;
    default: f.loopStart = !f.loopStart; break;
    }
    if (rng.bounded(4) == 0)
        return animationcommands::changeActionInfo(&a, action, QString("name %1").arg(rng.bounded(3)), int(rng.bounded(3)));
    return animationcommands::changeFrame(&a, action, frame, f, field);
}

void TestUndo::randomBoxEditsUndoAndRedo()
{
    QRandomGenerator rng(11);
    QMessages m;
    QAnimations a(&m);
    a.parse("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = 0,0,5,5\n0,0, 0,0, 5\nClsn1: 1\n Clsn1[0] = 1,1,2,2\n"
            "0,1, 3,4, 5\n0,2, 0,0, 5\n[Begin Action 1]\n5,0, 0,0, -1\n", "a.air");
    const QByteArray start = a.toBytes();
    const auto box = [&] {
        const int x = int(rng.bounded(-50, 50)), y = int(rng.bounded(-50, 50));
        return ClsnRect{x, y, x + int(rng.bounded(30)), y + int(rng.bounded(30))};
    };
    QUndoStack* stack = a.undoStack();
    for (int step = 0; step < 200; ++step) {
        const int action = int(rng.bounded(2)), frame = int(rng.bounded(a.frameCount(action)));
        FrameBoxes b = a.frameBoxes(action, frame);
        QList<ClsnRect>& list = rng.bounded(2) ? b.clsn1 : b.clsn2;
        // Now and then the structure or a field instead of the boxes.
        if (QEditCommand* c = structureEdit(a, action, frame, rng)) {
            stack->push(c);
            continue;
        }
        switch (rng.bounded(5)) {
        case 0: list.append(box()); break;
        case 1: if (!list.isEmpty()) list.removeAt(int(rng.bounded(list.size()))); break;
        case 2: if (!list.isEmpty()) list[int(rng.bounded(list.size()))] = box(); break;
        case 3: {
            const ClsnRect r = box();
            b.clsn1Default.append({r.x1, r.y1, r.x2, r.y2, frame});
            break;
        }
        default:
            if (QEditCommand* c = animationcommands::moveOffset(&a, action, frame, int(rng.bounded(-9, 9)), int(rng.bounded(-9, 9))))
                stack->push(c);
            continue;
        }
        if (QEditCommand* c = animationcommands::changeBoxes(&a, action, frame, b, "boxes"))
            stack->push(c);
    }
    const QByteArray end = a.toBytes();
    QVERIFY(end != start);
    while (stack->canUndo())
        stack->undo();
    QCOMPARE(a.toBytes(), start);
    while (stack->canRedo())
        stack->redo();
    QCOMPARE(a.toBytes(), end);
    // What the edits left saves and loads as the same set.
    QTemporaryDir dir;
    QAnimations back(nullptr);
    QVERIFY(a.save(dir.filePath("e.air")) && back.load(dir.filePath("e.air")));
    QCOMPARE(back.toBytes(), end);
}

void TestUndo::burstsMerge()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.addSprite();
    QUndoStack* stack = s.undoStack();
    const auto edit = [&](int index, ChangeSpriteInfo::Field field, int value) {
        SpriteInfo info = s.spriteInfo(index);
        (field == ChangeSpriteInfo::Group ? info.group : info.number) = quint16(value);
        stack->push(spritecommands::changeInfo(&s, index, info, field));
    };
    // "123" typed: one step from 0 to 123.
    for (int v : {1, 12, 123})
        edit(0, ChangeSpriteInfo::Group, v);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->undoText(), QString("Change group"));
    // Another field, or another sprite, is a step of its own.
    edit(0, ChangeSpriteInfo::Number, 4);
    edit(1, ChangeSpriteInfo::Number, 5);
    QCOMPARE(stack->count(), 3);
    stack->undo();
    stack->undo();
    stack->undo();
    QCOMPARE(s.spriteInfo(0).group, quint16(0));
    // Typed back to where it started, the burst leaves no step at all.
    for (int v : {7, 0})
        edit(0, ChangeSpriteInfo::Group, v);
    QCOMPARE(stack->count(), 0);
    // After a pause, the same field starts a new step.
    edit(0, ChangeSpriteInfo::Group, 3);
    QTest::qWait(1600);
    edit(0, ChangeSpriteInfo::Group, 4);
    QCOMPARE(stack->count(), 2);
}

void TestUndo::savedStateFollowsTheHistory()
{
    QTemporaryDir dir;
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.setImage(0, spritetest::indexed(4, 4, 1, spritetest::colours(1)));
    QSignalSpy marks(&s, &QFileDocument::modifiedChanged);
    QVERIFY(s.save(dir.filePath("a.sff")) && !s.isModified());
    QUndoStack* stack = s.undoStack();
    stack->push(spritecommands::changePaletteInfo(&s, 0, 5, 5));
    QVERIFY(s.isModified());
    // Back at the saved step: nothing unsaved, the mark goes.
    stack->undo();
    QVERIFY(!s.isModified());
    stack->redo();
    QVERIFY(s.save(dir.filePath("a.sff")) && !s.isModified());
    stack->undo();
    QVERIFY(s.isModified());
    stack->redo();
    QVERIFY(!s.isModified());
    QCOMPARE(marks.size(), 6);
    // The remap table previews palettes: its steps leave the archive saved.
    QReMapModel remap;
    stack->push(new ChangeRemap(&remap, ChangeRemap::Add, 0));
    QVERIFY(!s.isModified() && stack->canUndo());
    // A load that stopped early counts as unsaved work until saved.
    QSounds sounds(BlobsInMemory, false, -1);
    const QString snd = testsupport::writeFile(dir.filePath("cut.snd"),
        sndbuilder::snd({{1, 0, sndbuilder::wav(10)}, {2, 0, sndbuilder::wav(10)}}).chopped(5));
    QVERIFY(sounds.load(snd) && sounds.count() == 1 && sounds.isModified() && !sounds.undoStack()->canUndo());
    QVERIFY(sounds.save(dir.filePath("whole.snd")) && !sounds.isModified());
}

void TestUndo::failedCommitKeepsOldFileAndMark()
{
    // The last step of a save refuses, as a full disk or a refused rename
    // does: every save says so, keeps its document unsaved, and the old file
    // is whole.
    QTemporaryDir dir;
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.setImage(0, spritetest::indexed(4, 4, 1, spritetest::colours(1)));
    QSounds sounds(BlobsInMemory, false, -1);
    const QString wav = testsupport::writeFile(dir.filePath("a.wav"), sndbuilder::wav(20));
    sounds.insertEmpty(0);
    QVERIFY(sounds.setSoundFile(0, wav));
    QMessages m;
    QAnimations a(&m);
    a.parse("[Begin Action 0]\n0,0, 0,0, 5\n", "a.air");
    for (const char* name : {"a.sff", "a.snd", "a.air", "a.act"})
        testsupport::writeFile(dir.filePath(name), "old");
    s.undoStack()->push(spritecommands::changePaletteInfo(&s, 0, 3, 3));
    sounds.undoStack()->push(soundcommands::changeGroupAndNumber(&sounds, 0, 4, 4));
    a.undoStack()->push(animationcommands::moveOffset(&a, 0, 0, 2, 2));

    int commits = 0;
    setSaveFileCommitForTesting([&commits](QSaveFile& f) {
        ++commits;
        f.cancelWriting();
        return false;
    });
    QVERIFY(!s.save(dir.filePath("a.sff")));
    QVERIFY(!sounds.save(dir.filePath("a.snd")));
    QVERIFY(!a.save(dir.filePath("a.air")));
    QVERIFY(!s.savePaletteAct(0, dir.filePath("a.act")));
    QVERIFY(!sounds.exportSound(0, dir.filePath("a.wav")));
    setSaveFileCommitForTesting({});
    QCOMPARE(commits, 5);
    for (const char* name : {"a.sff", "a.snd", "a.air", "a.act"})
        QCOMPARE(testsupport::readFile(dir.filePath(name)), QByteArray("old"));
    QVERIFY(s.isModified() && sounds.isModified() && a.isModified());
    QVERIFY(s.fileName().isEmpty() && sounds.fileName().isEmpty() && a.fileName().isEmpty());
    // With the disk back, the same saves go through.
    QVERIFY(s.save(dir.filePath("a.sff")) && sounds.save(dir.filePath("a.snd")) && a.save(dir.filePath("a.air")));
    QVERIFY(!s.isModified() && !sounds.isModified() && !a.isModified());
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

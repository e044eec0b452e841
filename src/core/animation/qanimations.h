#ifndef QANIMATIONS_H
#define QANIMATIONS_H

#include "codetext.h"
#include "qfiledocument.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QMessages;

// A collision box relative to the sprite axis, always kept with x1 <= x2 and
// y1 <= y2.
struct ClsnRect
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    bool operator==(const ClsnRect&) const = default;
};

// A box of a ClsnNDefault block. fromFrame is the index of the frame the block
// stands in front of; the block applies from that frame on.
struct ClsnDefaultBox
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int fromFrame = 0;

    bool operator==(const ClsnDefaultBox&) const = default;
};

struct AirFrame
{
    bool loopStart = false;
    // Group, number and offsets are kept as plain ints so that whatever a file
    // holds is written back unchanged.
    int group = -1;
    int number = 0;
    int x = 0;
    int y = 0;
    int time = 10;      // game ticks; -1 = forever
    quint8 flip = 0;    // 0 none, 1 V, 2 H, 3 VH
    quint8 transparency = 0; // 0 none, 1 additive, 2 subtractive
    quint16 srcAlpha = 0;
    quint16 dstAlpha = 0;
    // The fields the engine's later versions read after the transparency.
    double scaleX = 1;
    double scaleY = 1;
    double angle = 0;
    QList<ClsnRect> clsn1;
    QList<ClsnRect> clsn2;
    // The frame line as the file had it after the time (flip, transparency,
    // scale, angle, and whatever else stood there), written back as it was
    // while it still says what the fields above say.
    QString tail;
    // Lines in front of the frame that the editor does not show (Interpolate
    // lines of later engines, stray text), written back where they stood.
    QStringList otherLines;

    bool operator==(const AirFrame&) const = default;
};

struct AirAction
{
    AirAction() = default;
    ~AirAction();
    AirAction(const AirAction&) = delete;
    AirAction& operator=(const AirAction&) = delete;
    // A deep copy.
    AirAction* clone() const;

    QString name;
    int number = 0;
    QList<AirFrame*> frames; // owned
    QList<ClsnDefaultBox> clsn1Default;
    QList<ClsnDefaultBox> clsn2Default;
    // Lines behind the last frame that the editor does not show.
    QStringList otherLines;
};

struct AirActionInfo
{
    QString name;
    int number = 0;
};

// Every box a frame shows: its own, and the default blocks of its action.
struct FrameBoxes
{
    QList<ClsnRect> clsn1;
    QList<ClsnRect> clsn2;
    QList<ClsnDefaultBox> clsn1Default;
    QList<ClsnDefaultBox> clsn2Default;

    bool operator==(const FrameBoxes&) const = default;
};

// The animations of one AIR file. Parse problems go to the issues list as
// "file(line): message" lines; a load never stops on them.
//
// The mutators change the set at once, without an undo step: the commands of
// animationcommands.h call them. In the window every edit is a command pushed
// onto undoStack().
class QAnimations : public QFileDocument
{
    Q_OBJECT
public:
    explicit QAnimations(QMessages* messages);
    ~QAnimations() override;

    int itemCount() const override { return actionCount(); }
    // Reads the file in place of what the set held; false (and nothing
    // changed) when the file cannot be read. The text is read line by line as
    // the engine reads it: a line that fits nothing is reported and kept, and
    // reading goes on with the next one.
    bool load(const QString& path) override;
    // Writes the whole set; false when the file cannot be written, in which
    // case the file on disk is left as it was.
    bool save(const QString& path) override;
    bool save();
    void clear() override;

    // The same without files, adding the actions to those the set holds:
    // `name` is the file name used in issue lines.
    void parse(const QByteArray& bytes, const QString& name);
    // The file's bytes: in the encoding, byte-order mark and line ends the
    // file was read with (a new set: UTF-8, no mark, the system's line ends).
    QByteArray toBytes() const;
    // False when the file's code page cannot hold a character of the action
    // names; toBytes() then writes UTF-8.
    bool fitsEncoding() const;
    QString encodingName() const;
    QString text() const;
    QString actionText(int index) const;

    // The file's name without its folder, as issue lines name it.
    QString fileNameOnly() const;

    int actionCount() const;
    AirActionInfo actionInfo(int index) const;
    const AirAction* action(int index) const;
    int frameCount(int action) const;
    const AirFrame* frame(int action, int index) const;
    // type 0: Clsn1 defaults, type 1: Clsn2 defaults; null for a bad index.
    const QList<ClsnDefaultBox>* defaultList(int action, int type) const;
    FrameBoxes frameBoxes(int action, int frame) const;

    void setActionInfo(int index, const QString& name, int number);
    void insertAction(int index);
    void deleteAction(int index);
    void appendFrame(int action);
    void insertFrame(int action, int at);
    void deleteFrame(int action, int index);
    // The same with whole records, for the commands: an action (owned by the
    // set once inserted, by the caller once taken) and a frame. Default box
    // blocks stay in front of the frames they stood before.
    void insertActionRecord(int index, AirAction* action);
    AirAction* takeAction(int index);
    void insertFrameRecord(int action, int at, const AirFrame& frame);
    AirFrame takeFrame(int action, int index);
    // Every field of a frame, its own boxes included.
    void setFrame(int action, int index, const AirFrame& frame);
    // The frame's own boxes and its action's default blocks.
    void setFrameBoxes(int action, int frame, const FrameBoxes& boxes);

signals:
    // A frame's fields or own boxes changed.
    void frameChanged(int action, int frame);
    // An action's name, number or default boxes changed.
    void actionChanged(int action);
    void actionsInserted(int index, int count);
    void actionsRemoved(int index, int count);
    void framesInserted(int action, int index, int count);
    void framesRemoved(int action, int index, int count);

private:
    AirAction* editableAction(int index) const;

    QMessages* messages;
    QList<AirAction*> actions;
    // How the file's text was written (encoding, mark, line ends), so that
    // saving writes it the same way.
    CodeFileFormat format;
    // The bytes last read or written: a line written with the same text as
    // one of them is written with its bytes, so that characters a code page
    // spells two ways keep the spelling the file had.
    QByteArray fileBytes;
};

#endif

// morvane-tool render: draws a sprite, or a frame of an animation with its
// collision boxes, into a PNG exactly as the editor's view shows it (the same
// renderer draws both).
#include "qanimations.h"
#include "qmessages.h"
#include "qsprites.h"
#include "qsprrender.h"
#include "savefile.h"
#include "toolcommand.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace {

ToolExit runRender(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand renderCommand(
    "render",
    "render SFF --sprite I [OPTIONS] OUT.png              draw sprite index I as the view shows it\n"
    "render SFF AIR --action N [--frame F] [OPTIONS] OUT.png  draw frame F of [Begin Action N] with its boxes\n"
    "render OPTIONS: --zoom Z (0.25, 0.5, 1..8)  --size WxH (640x480)  --axis X,Y  --palette P  --no-boxes",
    runRender);

void printIssues(const QMessages& messages, QTextStream& err)
{
    for (int i = 0; i < messages.rowCount(); ++i)
        err << messages.text(i) << '\n';
}

bool parsePair(const QString& text, const QString& separator, int& a, int& b)
{
    const QRegularExpression re("^(-?\\d{1,6})" + QRegularExpression::escape(separator) + "(-?\\d{1,6})$");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    a = m.captured(1).toInt();
    b = m.captured(2).toInt();
    return true;
}

ToolExit runRender(const QStringList& args, QTextStream&, QTextStream& err)
{
    QStringList files;
    int sprite = -1, actionNumber = 0, frame = 0, zoomIndex = 2, palette = -1;
    bool haveAction = false, boxes = true, haveAxis = false;
    int width = 640, height = 480, axisX = 0, axisY = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto value = [&](QString& v) {
            if (i + 1 >= args.size())
                return false;
            v = args.at(++i);
            return true;
        };
        auto number = [&](int& n) {
            QString v;
            bool ok = false;
            if (value(v))
                n = v.toInt(&ok);
            return ok;
        };
        QString v;
        if (a == "--sprite") {
            if (!number(sprite) || sprite < 0)
                return toolUsageError(renderCommand, err, "--sprite needs a sprite index");
        } else if (a == "--action") {
            if (!number(actionNumber))
                return toolUsageError(renderCommand, err, "--action needs an action number");
            haveAction = true;
        } else if (a == "--frame") {
            if (!number(frame) || frame < 0)
                return toolUsageError(renderCommand, err, "--frame needs a frame index");
        } else if (a == "--palette") {
            if (!number(palette) || palette < 0)
                return toolUsageError(renderCommand, err, "--palette needs a palette index");
        } else if (a == "--zoom") {
            bool ok = false;
            const double z = value(v) ? v.toDouble(&ok) : 0;
            zoomIndex = -1;
            for (int k = 0; ok && k < QRenderer::ZoomSteps; ++k)
                if (QRenderer::zoomFactor(k) == z)
                    zoomIndex = k;
            if (zoomIndex < 0)
                return toolUsageError(renderCommand, err, "--zoom takes 0.25, 0.5 or 1 to 8");
        } else if (a == "--size") {
            if (!value(v) || !parsePair(v, "x", width, height) || width < 1 || height < 1 || width > 8192
                || height > 8192)
                return toolUsageError(renderCommand, err, "--size takes WxH, each 1 to 8192");
        } else if (a == "--axis") {
            if (!value(v) || !parsePair(v, ",", axisX, axisY))
                return toolUsageError(renderCommand, err, "--axis takes X,Y");
            haveAxis = true;
        } else if (a == "--no-boxes") {
            boxes = false;
        } else if (a.startsWith("--")) {
            return toolUsageError(renderCommand, err, "unknown option " + a);
        } else {
            files << a;
        }
    }
    if ((sprite >= 0) == haveAction)
        return toolUsageError(renderCommand, err, "give either --sprite or --action");
    if (files.size() != (haveAction ? 3 : 2))
        return toolUsageError(renderCommand, err,
                              haveAction ? "an action needs SFF AIR OUT.png" : "a sprite needs SFF OUT.png");

    QMessages messages;
    QSprites sprites(&messages, BlobStoreMode::BlobsInMemory, false, -1);
    QAnimations animations(&messages);
    if (!sprites.load(files.at(0))) {
        printIssues(messages, err);
        err << "morvane-tool: cannot read the sprites of " << files.at(0) << '\n';
        return ToolExit::ExitFailed;
    }
    if (haveAction && !animations.load(files.at(1))) {
        err << "morvane-tool: cannot read " << files.at(1) << '\n';
        return ToolExit::ExitFailed;
    }
    printIssues(messages, err);

    QSprRender renderer;
    renderer.setSprites(&sprites);
    renderer.setAnimations(&animations);
    // The window's default background and view settings.
    renderer.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    renderer.viewSize = QSize(width, height);
    renderer.resized();
    if (haveAxis)
        renderer.axisScreen = QPoint(axisX, axisY);
    renderer.zoomIndex = quint8(zoomIndex);
    if (haveAction) {
        int index = -1;
        for (int k = 0; k < animations.actionCount() && index < 0; ++k)
            if (animations.actionInfo(k).number == actionNumber)
                index = k;
        if (index < 0) {
            err << "morvane-tool: no action " << actionNumber << " in " << files.at(1) << '\n';
            return ToolExit::ExitFailed;
        }
        if (frame >= animations.frameCount(index)) {
            err << "morvane-tool: action " << actionNumber << " has " << animations.frameCount(index)
                << " frames\n";
            return ToolExit::ExitFailed;
        }
        renderer.setClsnVisibility(boxes, boxes, boxes);
        renderer.setSource(index, QRenderMode::AnimationMode);
        renderer.setFrame(frame);
    } else {
        if (sprite >= sprites.spriteCount()) {
            err << "morvane-tool: " << files.at(0) << " has " << sprites.spriteCount() << " sprites\n";
            return ToolExit::ExitFailed;
        }
        renderer.setSource(sprite, QRenderMode::SpriteMode);
    }
    renderer.setPalette(palette);
    renderer.updateGeometry();

    QImage image(width, height, QImage::Format_RGB888);
    renderer.render(image, image.rect());
    // The picture replaces an older one only once it is complete.
    const QString outName = files.last();
    QSaveFile file(outName);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !commitSaveFile(file)) {
        err << "morvane-tool: cannot write " << outName << '\n';
        return ToolExit::ExitFailed;
    }
    return ToolExit::ExitOk;
}

} // namespace

#ifndef GIFEXPORT_H
#define GIFEXPORT_H

#include "gifwriter.h"

#include <QString>

class QAnimations;
class QSprites;

// An action as an animated GIF: each frame whose sprite the archive holds (the
// first sprite with the frame's group and number), mirrored as the frame
// flips it, placed on one canvas around the character's axis, shown for the
// frame's time and looping from its Loopstart frame. Frames whose sprite is
// missing are left out. True-colour sprites are brought down to 256 colours.
GifWriter actionGif(const QSprites& sprites, const QAnimations& animations, int action);

// Writes it through a temporary file that takes the old one's place only once
// complete. False, with *error saying why, when it could not be written.
bool saveActionGif(const QSprites& sprites, const QAnimations& animations, int action, const QString& fileName,
                   QString* error);

#endif

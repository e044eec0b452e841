#ifndef COLOURREDUCTION_H
#define COLOURREDUCTION_H

#include <QImage>

// Turns any image into the 8-bit indexed kind that sprites are stored as.
//
// - An 8-bit indexed image comes back unchanged.
// - Up to 256 distinct colours keep their exact values. Fully transparent
//   pixels become index 0, the transparent colour of sprites (black), and the
//   opaque colours then take indices 1 onwards; without transparent pixels
//   the colours take indices in the order they are first met, row by row.
// - More colours than that are reduced by median cut to 255 colours in
//   indices 1 to 255; index 0 stays black and holds only transparent pixels.
QImage toIndexed8(const QImage& image);

#endif

#ifndef MAKER_H
#define MAKER_H

// Where the program comes from, written into the comment areas of the files it
// saves (sprite and sound archives, animation banners).
inline constexpr char MakerWebAddress[] = "https://quendar.example/morvane";

#endif

#ifndef SAVEFILE_H
#define SAVEFILE_H

#include <functional>

class QSaveFile;

// The last step of every save: the new file takes the old one's place. Only
// when this returns true did the save happen; otherwise the old file is as it
// was, and the caller says so and keeps its document marked modified.
bool commitSaveFile(QSaveFile& file);

// Tests stand in for the last step to make it fail the way a full disk or a
// refused rename does; an empty function puts the real commit back.
void setSaveFileCommitForTesting(std::function<bool(QSaveFile&)> commit);

#endif

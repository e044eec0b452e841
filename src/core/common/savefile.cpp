#include "savefile.h"

#include <QSaveFile>

namespace {
std::function<bool(QSaveFile&)>& commitOverride()
{
    static std::function<bool(QSaveFile&)> f;
    return f;
}
} // namespace

bool commitSaveFile(QSaveFile& file)
{
    if (const auto& f = commitOverride())
        return f(file);
    return file.commit();
}

void setSaveFileCommitForTesting(std::function<bool(QSaveFile&)> commit)
{
    commitOverride() = std::move(commit);
}

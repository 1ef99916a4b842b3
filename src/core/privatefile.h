#pragma once

#include <QByteArray>
#include <QString>

// Files that hold the user's words, selections, tokens or crash reports are
// readable by the user alone (mode 0600), whatever the umask and whatever the
// rights of a file they replace: a history or settings file written by an
// older release with looser rights is tightened by the next save.
namespace PrivateFile {

// Replaces `path` with `contents` in one rename (a reader sees the old file or
// the new one, never a part). A write the disk cuts short leaves the old file
// as it was. False on failure, with the reason in `error` when given.
bool writeAtomically(const QString& path, const QByteArray& contents, QString* error = nullptr);

// Makes an existing regular file ours alone. A symbolic link is left as it is
// (its target may be anything). False when it could not be done.
bool restrict(const QString& path);

}  // namespace PrivateFile

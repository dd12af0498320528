// Reading a file the user named, without letting a named pipe or a device
// stop the window; replacing a file whole, so that a write that fails or is
// killed never leaves it half-written or leaves litter that looks like the
// user's.
//
// Opening a FIFO for reading waits until some other process opens it for
// writing, and a device may never end; a desktop program that opens
// whatever path it is given can hang for good (at start-up too, for a path
// it stored). Every file the program reads goes through these checks.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/stat.h>

namespace tarvel::platform {

// Whether the path names a regular file (symbolic links followed). Judged
// from the file's status alone: the file is never opened, so the answer
// comes at once whatever the path names.
bool isRegularFile(const QString &path);

// The whole content of a regular file of at most maxBytes bytes. The file's
// status is looked at before opening, and the open itself uses O_NONBLOCK
// (with O_RDONLY | O_CLOEXEC), so a path that is, or has just become, a
// FIFO cannot make it wait; the open file's own status (fstat) then decides.
// nullopt: missing, unreadable, not a regular file (FIFO, device, socket,
// folder), larger than maxBytes (also when it grew past it while being
// read), or a read error.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes);

} // namespace tarvel::platform

// ---- Writing: whole files replaced at once, and the program's own
// temporary files.
//
// A new file is written unnamed (O_TMPFILE) where the file system allows,
// so a write that is killed leaves nothing behind; it is named only once
// complete and on the disk, and then renamed over the target. Where a name
// is needed (to rename, or for a file system without unnamed files) it is
//   .tarvel-tmp.<host>.<pid>.<random>
// (<host> eight hex digits standing for the machine, <pid> the writing
// process, <random> sixteen letters and digits). Such a name alone proves
// nothing, as a user may name a file anything; a leftover is removed only
// when, besides the name, it belongs to the effective user, was made on
// this machine by a process that no longer runs, and is a plain file with
// one name (or a folder holding only such files). Anything else is never
// touched, whatever its name.

namespace tarvel::platform {

// A fresh name for a temporary file or folder of this process.
QString ownTemporaryName();

// Whether `name` in `folder` is a temporary left by a process of the
// program that no longer runs (see above).
bool isOwnLeftover(const QString &folder, const QString &name);

// Removes the leftovers of `folder`. The count removed.
int removeOwnLeftovers(const QString &folder);

// The path to write when writing `path` into the user's own files: `path`
// with every symbolic link on it resolved, so that a linked file stays
// linked. Refused (nullopt, `why` says it) when a link on the way belongs to
// another user than the effective one (a link of root's, such as a system's
// /home, is trusted: root could write the file anyway), or when the file
// exists and belongs to another user. What does not exist yet is allowed:
// the writer creates it.
std::optional<QString> ownedWritePath(const QString &path, QString *why);

enum class ReplaceResult {
    Replaced,
    CannotCreate, // no new file could be made in the folder; nothing changed
    WriteFailed,  // writing, syncing or the rename failed; the target is untouched
};

// Writes `bytes` as the new content of `target` (a path without links on
// it, a regular file or none), atomically as described above; leftovers of
// the folder are removed first. A new file is made with `createMode` (the
// umask applied). When `keep` is given (the old file's status) the new file
// takes its owner and group as far as this process may give them (root
// may; anyone may keep a group of theirs) and its rights. On failure no
// temporary is left and `why` says what failed.
ReplaceResult replaceFile(const QString &target, const QByteArray &bytes, mode_t createMode,
                          const struct stat *keep, QString *why);

// A private folder (mode 0700) of the program's own name in `parent`, for
// scratch files that must have names; it and what it holds are removed
// when this object goes. A killed process leaves it to the next sweep.
class OwnScratchFolder {
public:
    explicit OwnScratchFolder(const QString &parent);
    ~OwnScratchFolder();
    OwnScratchFolder(const OwnScratchFolder &) = delete;
    OwnScratchFolder &operator=(const OwnScratchFolder &) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }
    QString filePath(const QString &name) const { return path_ + QLatin1Char('/') + name; }

private:
    QString path_;
};

} // namespace tarvel::platform

// Reading a file the user named, without letting a named pipe or a device
// stop the window.
//
// Opening a FIFO for reading waits until some other process opens it for
// writing, and a device may never end; a desktop program that opens
// whatever path it is given can hang for good (at start-up too, for a path
// it stored). Every file the program reads goes through these checks.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

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

#pragma once
// Forcing written data onto the disk, for files whose contents must survive a crash of the
// program or the machine (a recording's header after each update).
class QFile;

namespace platform {

// Flushes the file's buffer and asks the system to put its data on the disk. False when the
// file is not open or either step fails.
bool syncFile(QFile& file);

// Asks the system to put the data of the open file `handle` (QFile::handle()) on the disk.
// Touches nothing but the handle, so another thread may go on writing the file meanwhile.
bool syncHandle(int handle);

// False when the open file has lost its last name on disk (it, or its folder, was removed while
// it stays open). True for a closed file, and where an open file cannot be removed at all.
bool fileHasName(QFile& file);

} // namespace platform

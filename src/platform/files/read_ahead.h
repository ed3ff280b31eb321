// Warms the page cache ahead of a folder scan: a few threads of the framework's own open the
// visible regular files some entries ahead of the scan and have the disk bring in where tags
// live, so that a cold scan's waits for the disk overlap. It only warms: the scan still reads
// everything itself, and nothing here changes what it finds. Platform-internal.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <vector>

namespace rt::read_ahead {

// The scan `scan` (any stable address, e.g. the folder's item) read a listing of the folder
// open at dirFd, names in the order it visits them. The descriptor is duplicated; the caller
// keeps its own. A listing of another scan ends the one before; the same scan's next listing
// replaces its names and keeps its position.
void Listed(const void* scan, int dirFd, const std::vector<std::string>& names) noexcept;

// The scan reached names[index] (0-based) of the names it last listed.
void Reached(const void* scan, const std::vector<std::string>& names, size_t index) noexcept;

// The scan is over: its threads are joined and its descriptors closed before this returns.
// Harmless for an address that is no scan.
void Forget(const void* scan) noexcept;

// On by default. Off ends a running read-ahead; for tests and the benchmark.
void SetEnabled(bool on) noexcept;
bool Enabled() noexcept;

// For tests: called on a worker thread with the status of every file just opened for reading.
using OpenObserver = void (*)(const struct stat& opened);
void SetOpenObserver(OpenObserver observer) noexcept;
// For tests: since the process started, the files opened for reading, and the entries taken
// in turn (opened, or passed over because the folder is found warm; not those the scan was
// past already); and the threads running now.
size_t WarmedFiles() noexcept;
size_t HandledEntries() noexcept;
size_t RunningThreads() noexcept;

}  // namespace rt::read_ahead

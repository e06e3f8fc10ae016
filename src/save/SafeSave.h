#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "util/Status.h"

// The one road every save takes to its file: the new content goes into a new file of its own
// next to the target, is flushed to the disk, takes over the old file's attributes, and only
// then replaces the target. A save that fails on the way leaves an existing target as it was and
// removes what it wrote.
namespace SafeSave {

// Writes the complete content into the file it is given (which exists, empty).
using Writer = std::function<util::Status(const std::wstring& temporary)>;

// Returned, with its words, when every name a temporary next to the target could take is taken.
// It has the bit the system leaves to programs for codes of their own.
constexpr std::uint32_t kNoFreeTemporaryName = 0x20000001;

// Saves through a temporary file as above. The target gets the attributes the writer gave the
// temporary (a copy's read-only mark included) and keeps an old file's hidden and system marks.
util::Status ReplaceSafely(platform::FileSystem& fs, const std::wstring& target,
                           const Writer& write);

// The same for content that is already bytes.
util::Status WriteFileSafely(platform::FileSystem& fs, const std::wstring& target,
                             const std::string& bytes);

// The name of the n-th temporary file a save next to the target may use: short, so that any
// name the target's directory can hold leaves room for it, and recognisable as Brimlo's
// ("~brimlo-0000.tmp"). Where it would make the path too long for the system, the path takes
// the form that has no such limit.
std::wstring TemporaryNameFor(const std::wstring& target, unsigned n);

// Checks that a target names a file that can be written: not empty, not a directory, not a
// device such as CON or COM1; else the platform's error code that describes why not.
util::Status CheckTarget(platform::FileSystem& fs, const std::wstring& target);

}  // namespace SafeSave

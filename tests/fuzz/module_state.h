// A fresh module for every fuzz input without loading it again: the fuzz
// target links the module's objects, keeps a copy of every piece of the
// module's static data as it stands before the first input, and puts that
// copy back before each input. Heap objects the module owns are given up by
// its own shutdown first, and kob::platform::reset() forgets the rest.
//
// The list covers every writable object the module defines (compare
// `nm -C build/native/src/kob_vorlo3.so`, types b/d/B/D), except the debugger
// gauge's element lists in an unnamed namespace, which nothing ever writes.
#pragma once

namespace kob::fuzz {

// Takes the copy; call once, before the module runs.
void snapshotModuleState();
// Puts the copy back.
void restoreModuleState();

}  // namespace kob::fuzz

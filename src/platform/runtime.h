#pragma once

// What a process of ours sets up before anything else runs, Qt included.
namespace Runtime {
// MinGW-w64's run time (emulated thread-local storage in libgcc, the
// destructors of thread_local objects in libstdc++, both on winpthreads
// keys) frees a thread_local object's storage before it runs the object's
// destructor when a thread ends. Qt's only such object outside the window
// thread is the stack of its regular-expression compiler (PCRE2 JIT): a
// worker thread that matched one ends in a fault inside the run time, which
// leaves the run time's key lock taken, and the process then never finishes
// unloading. With the compiler off no thread holds such an object.
void prepare();
}   // namespace Runtime

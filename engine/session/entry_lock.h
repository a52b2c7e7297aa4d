// One lock around every Glide entry point. A board had one command FIFO and games of the era drew from a
// worker thread while the main thread swapped, queried or wrote the frame buffer; DirectDraw, Direct3D and
// the engine's own state are not made for that, so calls from different threads take turns. The lock is
// recursive: an entry point that calls another (grGlideShutdown closing the window) and an open re-entered
// from DirectDraw's creation on the same thread (a MiniGL) go through, the latter to its own refusal.
#ifndef KESTRIX_ENTRY_LOCK_H
#define KESTRIX_ENTRY_LOCK_H

// Made at process attach and deleted at detach, where the loader runs no entry point of ours. Between the
// two the guard does nothing, so a call from another library's detach cannot meet a deleted lock.
void createEntryLock();
void deleteEntryLock();

// How many entry points the calling thread is inside, the outermost being 1.
int entryDepth();

// Given by the entry points that only draw: they change nothing the vertex conversion reads, so the
// conversion prepared for the previous primitive stays good. Every other entry point may change it.
enum DrawOnly { drawOnly };

class EntryLock {
  public:
    EntryLock();
    explicit EntryLock(DrawOnly);
    ~EntryLock();
    EntryLock(const EntryLock &) = delete;
    EntryLock &operator=(const EntryLock &) = delete;

  private:
    bool held;
    bool mayChangeState;
};

#endif

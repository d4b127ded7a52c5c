// Counting wrappers around glibc's allocator. Every allocation function that
// free() may later see is wrapped, so the count stays balanced; a block's
// size is what malloc_usable_size() says it really takes.
#include "bench/PeakHeap.h"

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cerrno>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> inUse{0};
std::atomic<long long> peak{0};
std::atomic<long long> base{0};

void* Counted(void* p)
{
    if (p) {
        const long long now = inUse.fetch_add(static_cast<long long>(malloc_usable_size(p)),
                                              std::memory_order_relaxed)
            + static_cast<long long>(malloc_usable_size(p));
        long long seen = peak.load(std::memory_order_relaxed);
        while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
        }
    }
    return p;
}

void Uncount(void* p)
{
    if (p)
        inUse.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
}

} // namespace

extern "C" {

void* malloc(std::size_t n) { return Counted(__libc_malloc(n)); }
void* calloc(std::size_t n, std::size_t size) { return Counted(__libc_calloc(n, size)); }
void free(void* p)
{
    Uncount(p);
    __libc_free(p);
}
void* realloc(void* p, std::size_t n)
{
    Uncount(p);
    void* q = __libc_realloc(p, n);
    if (!q && n != 0)
        return Counted(p); // the old block is still there
    return Counted(q);
}
void* memalign(std::size_t align, std::size_t n) { return Counted(__libc_memalign(align, n)); }
void* aligned_alloc(std::size_t align, std::size_t n) { return Counted(__libc_memalign(align, n)); }
void* valloc(std::size_t n) { return Counted(__libc_memalign(4096, n)); }
int posix_memalign(void** out, std::size_t align, std::size_t n)
{
    if (align % sizeof(void*) != 0 || (align & (align - 1)) != 0)
        return EINVAL;
    void* p = Counted(__libc_memalign(align, n));
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

} // extern "C"

namespace qtmv::bench {

void ResetHeapPeak()
{
    const long long now = inUse.load(std::memory_order_relaxed);
    base.store(now, std::memory_order_relaxed);
    peak.store(now, std::memory_order_relaxed);
}

long PageFaults()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt + u.ru_majflt;
}

std::size_t HeapPeakSinceReset()
{
    const long long above = peak.load(std::memory_order_relaxed) - base.load(std::memory_order_relaxed);
    return above > 0 ? static_cast<std::size_t>(above) : 0;
}

} // namespace qtmv::bench

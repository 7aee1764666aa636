/* Loaded into an OpenGL program with LD_PRELOAD by the Linux benchmark: it
   writes the monotonic time of every glXSwapBuffers or eglSwapBuffers call
   (XScreenSaver's own GL hacks draw through EGL), one line each, to
   the file SWAP_LOG names, so that the frames of programs that keep no log
   of their own are timed the same way as ours. Each line is written at
   once: the programs end by SIGTERM, with no chance to flush. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef void (*GlxSwapBuffers)(void* display, unsigned long drawable);
typedef unsigned (*EglSwapBuffers)(void* display, void* surface);

static int log_fd = -2;

static void NoteSwap(void) {
    if (log_fd == -2) {
        const char* path = getenv("SWAP_LOG");
        log_fd = path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (log_fd < 0) return;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[40];
    const int length = snprintf(line, sizeof line, "%lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
    if (write(log_fd, line, (size_t)length) < 0) log_fd = -1;
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static GlxSwapBuffers real;
    if (!real) real = (GlxSwapBuffers)dlsym(RTLD_NEXT, "glXSwapBuffers");
    NoteSwap();
    if (real) real(display, drawable);
}

unsigned eglSwapBuffers(void* display, void* surface) {
    static EglSwapBuffers real;
    if (!real) real = (EglSwapBuffers)dlsym(RTLD_NEXT, "eglSwapBuffers");
    NoteSwap();
    return real ? real(display, surface) : 0;
}

/* Preloaded into zev7-run by scripts/sigint-stops.sh --hold-thread-ends.
 * Every thread, once its own work has returned, is held until the program begins to exit (or
 * 200 ms have passed). What a thread still tears down after its work, such as thread_local
 * objects, then runs while the exit handlers destroy the program's static objects: the order of
 * events a loaded machine produces now and then, made the rule. A program whose threads release
 * everything inside their work is unaffected. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <time.h>

static atomic_int exiting;
static void on_exit_started(void) {
    atomic_store(&exiting, 1);
}

struct start {
    void* (*routine)(void*);
    void* arg;
};

static void* held_end(void* p) {
    struct start s = *(struct start*)p;
    free(p);
    void* result = s.routine(s.arg);
    /* Runs first in exit(): the thread's own destructors then meet the process's. */
    atexit(on_exit_started);
    struct timespec tick = {0, 100 * 1000};
    for (int i = 0; i < 2000 && !atomic_load(&exiting); ++i) {
        nanosleep(&tick, NULL);
    }
    return result;
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*),
                   void* arg) {
    static int (*real)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    if (real == NULL) {
        real = dlsym(RTLD_NEXT, "pthread_create");
    }
    struct start* s = malloc(sizeof *s);
    if (s == NULL) {
        return real(thread, attr, routine, arg);
    }
    s->routine = routine;
    s->arg = arg;
    return real(thread, attr, held_end, s);
}

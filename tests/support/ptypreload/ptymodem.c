/* Modem lines for pseudo-terminals.
 *
 * Linux ptys refuse the modem-line ioctls, so Wine's WaitCommEvent on a COM port mapped to a
 * pty fails at once. Preloaded into the Wine processes of a test, this library answers those
 * ioctls on pty slaves with a modem state that the test controls through a small text file
 * named by PTY_MODEM_FILE, for example "dcd dsr cts" or "ri dsr cts". Lines the file does not
 * name are off; without the variable or the file, DSR and CTS are on; an empty file changes nothing. DTR and RTS set by the
 * program are remembered per process and read back. Every other descriptor and request goes
 * to the real ioctl unchanged.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

typedef int (*ioctl_fn)(int, unsigned long, ...);

static ioctl_fn real_ioctl;
static pthread_mutex_t state_lock = PTHREAD_MUTEX_INITIALIZER;
static int program_lines = TIOCM_DTR | TIOCM_RTS; /* what TIOCMSET/BIS/BIC left */
static int last_lines = -1;                       /* input lines seen by the last read */
static struct serial_icounter_struct counters;

static void resolve_real_ioctl(void) {
    if (!real_ioctl) real_ioctl = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
}

/* Unix98 pty slaves have the majors 136 to 143. */
static int is_pty_slave(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
    unsigned int m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

static int parse_lines(const char* text) {
    static const struct {
        const char* word;
        int bit;
    } words[] = {{"dcd", TIOCM_CAR}, {"cd", TIOCM_CAR}, {"ri", TIOCM_RNG}, {"ring", TIOCM_RNG},
                 {"dsr", TIOCM_DSR}, {"cts", TIOCM_CTS}};
    int lines = 0;
    const char* p = text;
    while (*p) {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == ',') p++;
        const char* start = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r' && *p != ',') p++;
        size_t len = (size_t)(p - start);
        for (size_t i = 0; len && i < sizeof words / sizeof words[0]; i++)
            if (strlen(words[i].word) == len && strncasecmp(words[i].word, start, len) == 0)
                lines |= words[i].bit;
    }
    return lines;
}

/* The input lines (CD, RI, DSR, CTS) as the test file has them now. */
static int read_input_lines(void) {
    const char* path = getenv("PTY_MODEM_FILE");
    if (!path || !*path) return TIOCM_DSR | TIOCM_CTS;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return TIOCM_DSR | TIOCM_CTS;
    char text[256];
    ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    /* A file caught between truncation and write ("echo ... > file") says nothing new. */
    if (n <= 0) return -1;
    text[n] = 0;
    return parse_lines(text);
}

static long long now_us(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

/* Reads the lines and counts each change, as a UART driver counts its modem interrupts. Wine asks
 * for the lines about once a millisecond while a comm-event wait is pending; a reading younger than
 * two milliseconds is answered again rather than read anew. */
static int current_lines(void) {
    static long long last_read_us;
    pthread_mutex_lock(&state_lock);
    int fresh = last_lines >= 0 && now_us() - last_read_us < 2000;
    int cached = last_lines | program_lines;
    pthread_mutex_unlock(&state_lock);
    if (fresh) return cached;

    int input = read_input_lines();
    pthread_mutex_lock(&state_lock);
    last_read_us = now_us();
    if (input < 0) input = last_lines >= 0 ? last_lines : (TIOCM_DSR | TIOCM_CTS);
    if (last_lines >= 0) {
        int changed = input ^ last_lines;
        if (changed & TIOCM_CAR) counters.dcd++;
        if (changed & TIOCM_DSR) counters.dsr++;
        if (changed & TIOCM_CTS) counters.cts++;
        if ((changed & TIOCM_RNG) && !(input & TIOCM_RNG)) counters.rng++; /* trailing edge */
    }
    last_lines = input;
    int all = input | program_lines;
    pthread_mutex_unlock(&state_lock);
    return all;
}

static int answer(int fd, unsigned long request, void* arg) {
    switch (request) {
    case TIOCMGET:
        *(int*)arg = current_lines();
        return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC: {
        int bits = *(const int*)arg & (TIOCM_DTR | TIOCM_RTS);
        pthread_mutex_lock(&state_lock);
        if (request == TIOCMSET) program_lines = bits;
        else if (request == TIOCMBIS) program_lines |= bits;
        else program_lines &= ~bits;
        pthread_mutex_unlock(&state_lock);
        return 0;
    }
    case TIOCGICOUNT: {
        current_lines();
        pthread_mutex_lock(&state_lock);
        memcpy(arg, &counters, sizeof counters);
        pthread_mutex_unlock(&state_lock);
        return 0;
    }
    case TIOCMIWAIT: {
        /* Blocks until one of the asked lines changes; the file has no way to wake us. */
        int mask = (int)(intptr_t)arg;
        int before = current_lines();
        const struct timespec step = {0, 5 * 1000 * 1000};
        for (;;) {
            nanosleep(&step, NULL);
            int now = current_lines();
            if ((now ^ before) & mask) return 0;
        }
    }
    case TIOCSERGETLSR: {
        int queued = 0;
        if (real_ioctl(fd, TIOCOUTQ, &queued) != 0) queued = 0;
        *(unsigned int*)arg = queued == 0 ? TIOCSER_TEMT : 0;
        return 0;
    }
    default:
        return -2; /* not ours */
    }
}

int ioctl(int fd, unsigned long request, ...) {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    resolve_real_ioctl();
    switch (request) {
    case TIOCMGET:
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
    case TIOCGICOUNT:
    case TIOCMIWAIT:
    case TIOCSERGETLSR:
        if (is_pty_slave(fd)) {
            int saved = errno;
            int r = answer(fd, request, arg);
            if (r != -2) {
                errno = saved;
                return r;
            }
        }
        break;
    default:
        break;
    }
    return real_ioctl(fd, request, arg);
}

// Frame timing under X11 for the benchmarks, from the X server's own DAMAGE events.
//
//   photon launch <command> [args...]
//       Starts the command and prints "map_ms frame_ms pid": the time until its first top-level
//       window is mapped, and until that window first shows more than one colour (the first
//       frame with something drawn on its background). The frame's time is when the damage
//       that brought it arrived, not when photon finished looking at it: the look takes a
//       shared-memory copy of the window, and a full-screen window costs more to look at than
//       a small dialog.
//   photon keys <window id> <count> <keycode>...
//       Sends <count> key presses (XTEST, cycling through the keycodes, one every 60 ms) to
//       the focused window and prints "median_ms p99_ms missed": the time from each press to
//       the first damage of <window> larger than a text cursor.
//   photon latencies <window id> <count> <keycode>...
//       The same keys, printing each key's time (ms) on a line of its own, and "missed" for a
//       key that showed nothing within 1 s: runs taken in turns with another program are
//       then pooled before the percentiles are taken.
//
// Build: cc -O2 photon.c -o photon -lX11 -lXext -lXdamage -lXtst
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int damage_event_base;

// Waits up to `timeout_ms` for an X event; 0 when none came.
static int next_event(Display* dpy, XEvent* event, double timeout_ms) {
    const double until = now_ms() + timeout_ms;
    while (!XPending(dpy)) {
        const double left = until - now_ms();
        if (left <= 0)
            return 0;
        struct pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, (int)left + 1);
    }
    XNextEvent(dpy, event);
    return 1;
}

static pid_t window_pid(Display* dpy, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    pid_t pid = 0;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False), 0, 1, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && count == 1)
        pid = (pid_t) * (unsigned long*)data;
    if (data)
        XFree(data);
    return pid;
}

// The mapped client window of `pid`, searched below `w`; 0 when there is none yet.
static Window find_client(Display* dpy, Window w, pid_t pid) {
    XWindowAttributes attributes;
    if (window_pid(dpy, w) == pid && XGetWindowAttributes(dpy, w, &attributes) &&
        attributes.map_state == IsViewable)
        return w;
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(dpy, w, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = find_client(dpy, children[i], pid);
        if (children)
            XFree(children);
    }
    return found;
}

// One shared-memory segment as large as the screen, reused by every look at the window, so a
// look costs one copy in the server and no fresh pages here. (Without MIT-SHM, XGetImage.)
static XShmSegmentInfo shared = {0, -1, NULL, False};

static void attach_shared(Display* dpy) {
    if (!XShmQueryExtension(dpy))
        return;
    const Screen* screen = DefaultScreenOfDisplay(dpy);
    const size_t size = (size_t)screen->width * (size_t)screen->height * 4;
    shared.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shared.shmid < 0)
        return;
    shared.shmaddr = shmat(shared.shmid, NULL, 0);
    shmctl(shared.shmid, IPC_RMID, NULL); // freed once both sides let go
    if (shared.shmaddr == (char*)-1 || !XShmAttach(dpy, &shared)) {
        shared.shmaddr = NULL;
        return;
    }
    memset(shared.shmaddr, 0, size); // its pages are taken now, not during the timing
    XSync(dpy, False);
}

static XImage* window_image(Display* dpy, Window w, int width, int height) {
    if (!shared.shmaddr)
        return XGetImage(dpy, w, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
    XWindowAttributes attributes;
    XGetWindowAttributes(dpy, w, &attributes);
    XImage* image = XShmCreateImage(dpy, attributes.visual, (unsigned)attributes.depth, ZPixmap,
                                    shared.shmaddr, &shared, (unsigned)width, (unsigned)height);
    if (image && !XShmGetImage(dpy, w, image, 0, 0, AllPlanes)) {
        image->data = NULL;
        XDestroyImage(image);
        return NULL;
    }
    return image;
}

static void free_image(XImage* image) {
    if (shared.shmaddr)
        image->data = NULL; // the segment stays
    XDestroyImage(image);
}

// Whether the image shows more than one colour, looking at every other pixel of every other row.
static int image_has_two_colours(XImage* image) {
    if (image->bits_per_pixel == 32) {
        const unsigned first = *(const unsigned*)image->data & 0xffffffu;
        for (int row = 0; row < image->height; row += 2) {
            const unsigned* pixel = (const unsigned*)(image->data + (size_t)row * image->bytes_per_line);
            for (int column = 0; column < image->width; column += 2)
                if ((pixel[column] & 0xffffffu) != first)
                    return 1;
        }
        return 0;
    }
    const unsigned long first = XGetPixel(image, 0, 0);
    for (int row = 0; row < image->height; row += 2)
        for (int column = 0; column < image->width; column += 2)
            if (XGetPixel(image, column, row) != first)
                return 1;
    return 0;
}

// Whether the part of `w` on the screen shows more than one colour. (Only what is on the screen
// can be copied: a window's part beyond its edge is cut off first.)
static int more_than_one_colour(Display* dpy, Window w) {
    XWindowAttributes attributes, screen;
    Window child;
    int x, y;
    if (!XGetWindowAttributes(dpy, w, &attributes) ||
        !XGetWindowAttributes(dpy, DefaultRootWindow(dpy), &screen) ||
        !XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child))
        return 0;
    const int width = (x + attributes.width > screen.width ? screen.width - x : attributes.width);
    const int height =
        (y + attributes.height > screen.height ? screen.height - y : attributes.height);
    if (x < 0 || y < 0 || width < 1 || height < 1)
        return 0;
    XImage* image = window_image(dpy, w, width, height);
    if (!image)
        return 0;
    const int found = image_has_two_colours(image);
    free_image(image);
    return found;
}

static int ignore_errors(Display* dpy, XErrorEvent* error) {
    (void)dpy;
    (void)error;
    return 0;
}

static int launch(Display* dpy, char** command) {
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);
    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        // The program outlives photon: it must not hold photon's output open.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(command[0], command);
        _exit(127);
    }
    double mapped = -1;
    Window client = 0;
    XEvent event;
    while (now_ms() - start < 60000) {
        const int got = next_event(dpy, &event, 5);
        if (got && event.type == MapNotify && mapped < 0)
            mapped = now_ms() - start;
        if (mapped < 0)
            continue;
        double arrived = now_ms() - start;
        if (!client) {
            // Damage is reported for the drawing into one window: the client's, once it is
            // there (a window manager maps its frame first).
            client = find_client(dpy, root, pid);
            if (!client)
                continue;
            XDamageCreate(dpy, client, XDamageReportNonEmpty);
        } else if (!got || event.type != damage_event_base + XDamageNotify) {
            continue;
        } else {
            // What came while photon looked last time is one look: the latest damage's time.
            XDamageSubtract(dpy, ((XDamageNotifyEvent*)&event)->damage, None, None);
            while (next_event(dpy, &event, 0))
                if (event.type == damage_event_base + XDamageNotify) {
                    XDamageSubtract(dpy, ((XDamageNotifyEvent*)&event)->damage, None, None);
                    arrived = now_ms() - start;
                }
        }
        if (more_than_one_colour(dpy, client)) {
            printf("%.0f %.0f %d\n", mapped, arrived, (int)pid);
            fflush(stdout);
            return 0;
        }
    }
    fprintf(stderr, "photon: no frame with something drawn within 60 s\n");
    return 1;
}

static int compare_doubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static int keys(Display* dpy, Window window, int count, int keycodes, char** keycode, int raw) {
    const Damage damage = XDamageCreate(dpy, window, XDamageReportRawRectangles);
    XSync(dpy, False);
    double* latency = calloc((size_t)count, sizeof(double));
    int missed = 0, measured = 0;
    XEvent event;
    for (int i = 0; i < count; ++i) {
        const unsigned code = (unsigned)atoi(keycode[i % keycodes]);
        while (next_event(dpy, &event, 0))
            ; // earlier damage
        const double pressed = now_ms();
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        XFlush(dpy);
        double shown = -1;
        while (shown < 0 && next_event(dpy, &event, 1000 - (now_ms() - pressed))) {
            if (event.type != damage_event_base + XDamageNotify)
                continue;
            const XRectangle area = ((XDamageNotifyEvent*)&event)->area;
            if (area.width > 4 && area.height > 4) // not the text cursor's blink
                shown = now_ms() - pressed;
        }
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XFlush(dpy);
        if (shown < 0)
            ++missed;
        else
            latency[measured++] = shown;
        if (raw && shown < 0)
            printf("missed\n");
        else if (raw)
            printf("%.2f\n", shown);
        while (now_ms() - pressed < 60)
            next_event(dpy, &event, 60 - (now_ms() - pressed));
    }
    XDamageDestroy(dpy, damage);
    if (raw) {
        free(latency);
        return 0;
    }
    if (measured == 0) {
        fprintf(stderr, "photon: no key showed anything\n");
        return 1;
    }
    qsort(latency, (size_t)measured, sizeof(double), compare_doubles);
    const int p99 = (int)((measured - 1) * 0.99 + 0.5);
    printf("%.2f %.2f %d\n", latency[(measured - 1) / 2], latency[p99], missed);
    free(latency);
    return 0;
}

int main(int argc, char** argv) {
    Display* dpy = XOpenDisplay(NULL);
    int error_base, major, minor;
    if (!dpy || !XDamageQueryExtension(dpy, &damage_event_base, &error_base) ||
        !XTestQueryExtension(dpy, &error_base, &error_base, &major, &minor)) {
        fprintf(stderr, "photon: no X display with DAMAGE and XTEST\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors); // windows may vanish while they are looked at
    if (argc >= 3 && strcmp(argv[1], "launch") == 0) {
        attach_shared(dpy);
        return launch(dpy, argv + 2);
    }
    if (argc >= 5 && strcmp(argv[1], "keys") == 0)
        return keys(dpy, (Window)strtoul(argv[2], NULL, 0), atoi(argv[3]), argc - 4, argv + 4, 0);
    if (argc >= 5 && strcmp(argv[1], "latencies") == 0)
        return keys(dpy, (Window)strtoul(argv[2], NULL, 0), atoi(argv[3]), argc - 4, argv + 4, 1);
    fprintf(stderr, "usage: photon launch <command...> | photon keys|latencies <window> <count> "
                    "<keycode...>\n");
    return 2;
}

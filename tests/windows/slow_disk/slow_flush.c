/* Plays a slow disk under Wine: each flush of a file (FlushFileBuffers
   reaches fsync or fdatasync in the Wine process that calls it) waits
   200 ms first, as on a USB stick or a network share, and 4 s for a file
   in a folder whose name holds "slow-share", a share at its worst. Loaded
   with LD_PRELOAD into the Wine processes of a test. Built for the host
   without the C library's headers, so that the 32-bit build needs no
   32-bit development files: the functions declared below come from the
   process's own C library. */
struct pause_time {
  long seconds;
  long nanoseconds;
};
extern int nanosleep(const struct pause_time* wanted, struct pause_time* left);
extern long readlink(const char* path, char* buffer, unsigned long size);
extern char* strstr(const char* text, const char* part);
extern void* dlsym(void* handle, const char* name);
#define NEXT_LIBRARY ((void*)-1L) /* RTLD_NEXT */

typedef int (*flush_function)(int);

static int on_worst_share(int fd) {
  char link[32] = "/proc/self/fd/";
  char digits[12];
  int count = 0;
  do {
    digits[count++] = (char)('0' + fd % 10);
    fd /= 10;
  } while (fd > 0);
  int at = 14;
  while (count > 0) link[at++] = digits[--count];
  link[at] = '\0';
  char path[4096];
  const long length = readlink(link, path, sizeof path - 1);
  if (length <= 0) return 0;
  path[length] = '\0';
  return strstr(path, "slow-share") != 0;
}

static int flush_slowly(const char* name, int fd) {
  const struct pause_time pause = on_worst_share(fd) ? (struct pause_time){4, 0} : (struct pause_time){0, 200000000L};
  nanosleep(&pause, 0);
  const flush_function real = (flush_function)dlsym(NEXT_LIBRARY, name);
  return real ? real(fd) : 0;
}

int fsync(int fd) { return flush_slowly("fsync", fd); }
int fdatasync(int fd) { return flush_slowly("fdatasync", fd); }

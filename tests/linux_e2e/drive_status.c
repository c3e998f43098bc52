/* Loaded into lumivo with LD_PRELOAD by the end-to-end tests: answers CDROM_DRIVE_STATUS on a
   fake drive (a regular file) as a drive would, with the number the test wrote into the file
   of the same name plus ".status" (CDS_TRAY_OPEN, CDS_DISC_OK, ...). Without that file, and
   for every other request, the call goes on to the kernel, and to strace's answers. */
#define _GNU_SOURCE
#include <linux/cdrom.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/syscall.h>
#include <unistd.h>

static int status_of_drive(int fd, int* status) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t length = readlink(link, path, sizeof path - sizeof ".status");
  if (length < 0) return 0;
  snprintf(path + length, sizeof ".status", ".status");
  FILE* file = fopen(path, "re");
  if (!file) return 0;
  int read = fscanf(file, "%d", status);
  fclose(file);
  return read == 1;
}

int ioctl(int fd, unsigned long request, ...) {
  va_list arguments;
  va_start(arguments, request);
  unsigned long argument = va_arg(arguments, unsigned long);
  va_end(arguments);
  int status;
  if (request == CDROM_DRIVE_STATUS && status_of_drive(fd, &status)) return status;
  return (int)syscall(SYS_ioctl, fd, request, argument);
}

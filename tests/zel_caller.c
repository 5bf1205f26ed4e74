/* The Zel functions from plain C, on any platform: a table of bitmaps and
 * options, each converted in memory and to a file (the two must agree), and
 * a table of failures. Prints one line per case: the status, and for a GIF
 * its size and a checksum of its bytes. Exit status 1 when a GIF is missing
 * or the two differ, or a failure was not reported. The Windows DLL must
 * print exactly what the Linux library prints.
 *
 *     zel_caller folder
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bitmap_to_gif.h"

enum { MaxWidth = 300, MaxHeight = 200 };

static unsigned char header[40 + 4 * 256];
static unsigned char pixels[(MaxWidth + 3) / 4 * 4 * MaxHeight];

static unsigned long Checksum(const unsigned char *bytes, size_t size) {
  unsigned long sum = 5381;
  for (size_t i = 0; i < size; ++i) sum = (sum * 33 + bytes[i]) & 0xFFFFFFFFul;
  return sum;
}

/* A bitmap of the given size and depth, filled from a simple generator;
 * gives the header and pixel sizes it needs. */
static void MakeDib(int width, int height, int bits, unsigned seed, size_t *headerSize,
                    size_t *pixelsSize) {
  const int stride = (width * bits + 31) / 32 * 4;
  memset(header, 0, sizeof header);
  header[0] = 40;
  header[4] = (unsigned char)width;
  header[5] = (unsigned char)(width >> 8);
  header[8] = (unsigned char)height;
  header[9] = (unsigned char)(height >> 8);
  header[12] = 1;
  header[14] = (unsigned char)bits;
  for (int i = 0; i < 4 << bits; ++i) header[40 + i] = (unsigned char)(i * 37 + seed);
  unsigned state = seed;
  for (int i = 0; i < stride * height; ++i) {
    state = state * 1103515245u + 12345u;
    pixels[i] = (unsigned char)((state >> 16) & (i % 5 == 0 ? 0xFF : 0x11));
  }
  *headerSize = 40 + ((size_t)4 << bits);
  *pixelsSize = (size_t)stride * height;
}

int main(int argc, char **argv) {
  static const struct { int width, height, bits; ZelGifOptions options; } images[] = {
      {1, 1, 1, {0, 0, 0, 0}},     {33, 5, 1, {1, 1, 1, 0}},     {300, 200, 4, {1, 15, 0, 1}},
      {17, 9, 4, {0, 0, 1, 0}},    {300, 200, 8, {0, 0, 0, 0}},  {250, 190, 8, {1, 200, 1, 1}}};
  char path[4096];
  int result = 0;
  if (argc != 2) return 2;
  snprintf(path, sizeof path, "%s/out.gif", argv[1]);

  for (size_t n = 0; n < sizeof images / sizeof images[0]; ++n) {
    size_t headerSize, pixelsSize, gifSize = 0;
    unsigned char *gif = NULL;
    MakeDib(images[n].width, images[n].height, images[n].bits, (unsigned)n, &headerSize, &pixelsSize);
    const ZelStatus inMemory =
        ZelEncodeGif(header, headerSize, pixels, pixelsSize, &images[n].options, &gif, &gifSize);
    const ZelStatus toFile =
        ZelWriteGifFile(path, header, headerSize, pixels, pixelsSize, &images[n].options);
    int same = 0;
    FILE *file = fopen(path, "rb");
    if (file != NULL && gif != NULL) {
      unsigned char *written = malloc(gifSize + 1);
      same = written != NULL && fread(written, 1, gifSize + 1, file) == gifSize &&
             memcmp(written, gif, gifSize) == 0;
      free(written);
    }
    if (file != NULL) fclose(file);
    printf("image %u: %s / %s, %lu bytes, checksum %08lx, file %s\n", (unsigned)n,
           ZelStatusText(inMemory), ZelStatusText(toFile), (unsigned long)gifSize,
           Checksum(gif, gifSize), same ? "the same" : "differs");
    ZelFreeGif(gif);
    if (inMemory != ZelOk || toFile != ZelOk || !same) result = 1;
  }

  /* Failures: a status each, nothing printed by the library, no file. */
  size_t headerSize, pixelsSize;
  MakeDib(20, 10, 4, 9, &headerSize, &pixelsSize);
  const ZelGifOptions badIndex = {1, 16, 0, 0};
  snprintf(path, sizeof path, "%s/missing/out.gif", argv[1]);
  const ZelStatus failures[] = {
      ZelWriteGifFile(path, header, headerSize, pixels, pixelsSize, NULL),
      ZelWriteGifFile(argv[1], header, headerSize, pixels, pixelsSize, NULL),
      ZelWriteGifFile(NULL, header, headerSize, pixels, pixelsSize, NULL),
      ZelWriteGifFile(argv[1], header, headerSize - 1, pixels, pixelsSize, NULL),
      ZelWriteGifFile(argv[1], header, headerSize, pixels, pixelsSize - 1, NULL),
      ZelWriteGifFile(argv[1], header, headerSize, pixels, pixelsSize, &badIndex)};
  for (size_t n = 0; n < sizeof failures / sizeof failures[0]; ++n) {
    printf("failure %u: %s\n", (unsigned)n, ZelStatusText(failures[n]));
    if (failures[n] == ZelOk) result = 1;
  }
  return result;
}

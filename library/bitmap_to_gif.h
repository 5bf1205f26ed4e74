/*
 * ZELLIB: writes a 1-, 4- or 8-bit palette bitmap held in memory as a GIF file.
 *
 * The bitmap crosses as two pointers:
 *   dibHeader  a 40-byte BITMAPINFOHEADER directly followed by its RGBQUAD
 *              colour table (blue, green, red, reserved), which must hold
 *              2, 16 or 256 readable entries for 1, 4 or 8 bits per pixel.
 *              Of the header only biWidth (offset 4), biHeight (offset 8)
 *              and biBitCount (offset 14) are read.
 *   dibPixels  the pixel rows, bottom row first, each row padded to a whole
 *              number of 32-bit words: ((bits * width + 31) / 32) * 4 bytes.
 *
 * The colour table becomes the GIF's global colour table, but not always
 * unchanged: unless some red, green or blue value of it is exactly 15, every
 * value has its high nibble copied into its low one (0x3A is written as 0x33,
 * 0x80 as 0x88, 0x0E as 0x00; 0x00, 0xFF and values such as 0x11 or 0xCC stay
 * as they are). The Zel functions below write the exact colours on request.
 *
 * The caller owns the bitmap; the library reads it only during the call,
 * copies the palette and frees nothing.
 *
 * Two interfaces:
 *   ConvertBitmapToGIF, ...Ex, ...Ex2   the original three: they write the
 *       file in place, return 1, and end the process on a failure (below).
 *       They keep their working state in static storage: calls must not
 *       overlap.
 *   Zel...   return a status and never print or end the process; they may
 *       run at once on any number of threads; they check the sizes the
 *       caller gives and read nothing outside them; a file is replaced only
 *       once it is complete.
 */
#ifndef BITMAP_TO_GIF_H
#define BITMAP_TO_GIF_H

/* ZELLIB_API marks the exports; only the library's own build defines
 * ZELLIB_BUILD. ZELLIB_CALL is the calling convention of a DLL interface on
 * 32-bit Windows and empty elsewhere. */
#if defined(_WIN32)
#  if defined(ZELLIB_BUILD)
#    define ZELLIB_API __declspec(dllexport)
#  else
#    define ZELLIB_API __declspec(dllimport)
#  endif
#  if defined(_WIN64)
#    define ZELLIB_CALL
#  else
#    define ZELLIB_CALL __stdcall
#  endif
#else
#  if defined(ZELLIB_BUILD)
#    define ZELLIB_API __attribute__((visibility("default")))
#  else
#    define ZELLIB_API
#  endif
#  define ZELLIB_CALL
#endif

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- The original exports ------------------------------------------------
 * The GIF file at outputPath is created or replaced and is complete when the
 * function returns; it returns 1. Failures do not return: the library prints
 * one line to standard output and ends the process with exit status 1:
 *   "error: unsupported bitmap\n"          a null pointer, a bit count other
 *                                          than 1, 4 or 8, or a width or
 *                                          height outside 1..65535 (checked
 *                                          before any file is created)
 *   "error: could not open output file\n"  outputPath cannot be created
 *   "error writing output file\n"          a write to the file failed (the
 *                                          partial file stays on disk)
 */

/* Writes the bitmap as a plain GIF: rows top to bottom, no transparency. */
ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIF(const char *outputPath,
                                              const void *dibHeader,
                                              const void *dibPixels);

/* As ConvertBitmapToGIF; when transparency is non-zero, palette index
 * transparentIndex is marked transparent (written as its low 8 bits) and is
 * also the background colour. transparentIndex is not read otherwise. */
ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx(const char *outputPath,
                                                const void *dibHeader,
                                                const void *dibPixels,
                                                int transparency,
                                                int transparentIndex);

/* As ConvertBitmapToGIFEx; a non-zero interlaced writes the rows in the
 * four-pass interlaced order. */
ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx2(const char *outputPath,
                                                 const void *dibHeader,
                                                 const void *dibPixels,
                                                 int transparency,
                                                 int transparentIndex,
                                                 int interlaced);

/* ---- The reentrant interface --------------------------------------------- */

typedef enum ZelStatus {
  ZelOk = 0,
  ZelUnsupportedBitmap = 1,   /* null pointer, bit count not 1/4/8, width or height outside 1..65535 */
  ZelCannotOpenOutput = 2,    /* the file cannot be created (missing folder, a folder, no permission) */
  ZelWriteFailed = 3,         /* a write, flush or close failed (full disk, file size limit) */
  ZelOutOfMemory = 4,
  ZelBadTransparentIndex = 5, /* transparency on and the index outside 0 .. 2^bits - 1 */
  ZelTruncatedBitmap = 6      /* a size given is less than the header + colour table or the rows need */
} ZelStatus;

typedef struct ZelGifOptions {
  int transparency;       /* non-zero: transparentIndex is transparent */
  int transparentIndex;   /* read only when transparency is non-zero */
  int interlaced;         /* non-zero: four-pass row order */
  int exactPalette;       /* non-zero: the colour table is written exactly as given */
} ZelGifOptions;           /* a null pointer means all zero */

/* dibHeaderSize: readable bytes at dibHeader, at least 40 + 4 * 2^bits.
 * dibPixelsSize: readable bytes at dibPixels, at least stride * height.
 * With exactPalette 0 the bytes are those ConvertBitmapToGIFEx2 writes.
 *
 * ZelWriteGifFile writes a temporary file beside outputPath and renames it
 * over outputPath once it is complete: after a failure outputPath is as it
 * was and no temporary file remains. A path naming an existing file that is
 * not a regular file (a device, a FIFO) is written in place. */
ZELLIB_API ZelStatus ZELLIB_CALL ZelWriteGifFile(const char *outputPath,
                                                 const void *dibHeader, size_t dibHeaderSize,
                                                 const void *dibPixels, size_t dibPixelsSize,
                                                 const ZelGifOptions *options);

/* The GIF in memory: on ZelOk *gifBytes holds *gifSize bytes, to be released
 * with ZelFreeGif; on any failure *gifBytes is NULL and *gifSize 0. */
ZELLIB_API ZelStatus ZELLIB_CALL ZelEncodeGif(const void *dibHeader, size_t dibHeaderSize,
                                              const void *dibPixels, size_t dibPixelsSize,
                                              const ZelGifOptions *options,
                                              unsigned char **gifBytes, size_t *gifSize);

/* Releases what ZelEncodeGif gave; NULL is allowed. */
ZELLIB_API void ZELLIB_CALL ZelFreeGif(unsigned char *gifBytes);

/* A short English line for a status, different for each; never NULL. */
ZELLIB_API const char *ZELLIB_CALL ZelStatusText(ZelStatus status);

#ifdef __cplusplus
}
#endif

#endif /* BITMAP_TO_GIF_H */

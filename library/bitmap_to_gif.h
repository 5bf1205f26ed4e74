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
 * The caller owns both; the library reads them only during the call, copies
 * the palette and frees nothing. The GIF file at outputPath is created or
 * replaced and is complete when the function returns; it returns 1.
 *
 * Failures do not return. The library prints one line to standard output
 * and ends the process with exit status 1:
 *   "error: unsupported bitmap\n"          a null pointer, a bit count other
 *                                          than 1, 4 or 8, or a width or
 *                                          height outside 1..65535 (checked
 *                                          before any file is created)
 *   "error: could not open output file\n"  outputPath cannot be created
 *   "error writing output file\n"          a write to the file failed (the
 *                                          partial file stays on disk)
 *
 * The library keeps its working state in static storage: calls must not
 * overlap (one conversion at a time per process).
 */
#ifndef BITMAP_TO_GIF_H
#define BITMAP_TO_GIF_H

/* ZELLIB_API marks the three exports; only the library's own build defines
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

#ifdef __cplusplus
extern "C" {
#endif

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

#ifdef __cplusplus
}
#endif

#endif /* BITMAP_TO_GIF_H */

/*
 * A C-only JPEG decoder over libjpeg. libjpeg reports fatal errors through a
 * callback that must not return; here it longjmps back into the decoding C
 * function, so no C++ frame (and no destructor) is ever skipped.
 */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

enum BrimJpegResult { brimJpegOk = 0, brimJpegDamaged = 1, brimJpegUnsupported = 2, brimJpegNoMemory = 3 };

/* Decodes to tightly packed RGB rows, top row first. On success *rgb is
   malloc'ed and freed with brim_jpeg_free. Grey images are expanded to RGB;
   CMYK images are unsupported; any decoder warning (truncated or corrupt data)
   counts as damage. */
enum BrimJpegResult brim_jpeg_decode(const unsigned char* data, unsigned long size, unsigned char** rgb, int* width,
                                     int* height);
void brim_jpeg_free(unsigned char* rgb);

#ifdef __cplusplus
}
#endif

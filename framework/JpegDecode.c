/*
 * JPEG decoding in C; see JpegDecode.h. The error manager jumps back to the
 * setjmp in brim_jpeg_decode, which then releases the decoder and the buffer.
 */
#include "framework/JpegDecode.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

struct brim_error_manager {
    struct jpeg_error_mgr base;
    jmp_buf escape;
};

static void brim_error_exit(j_common_ptr cinfo) {
    struct brim_error_manager* errors = (struct brim_error_manager*)cinfo->err;
    longjmp(errors->escape, 1);
}

static void brim_output_message(j_common_ptr cinfo) { (void)cinfo; }

enum BrimJpegResult brim_jpeg_decode(const unsigned char* data, unsigned long size, unsigned char** rgb, int* width,
                                     int* height) {
    struct jpeg_decompress_struct cinfo;
    struct brim_error_manager errors;
    unsigned char* volatile pixels = NULL;
    volatile enum BrimJpegResult result = brimJpegOk;

    *rgb = NULL;
    *width = *height = 0;
    if (!data || size < 4) return brimJpegDamaged;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = brim_error_exit;
    errors.base.output_message = brim_output_message;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&cinfo);
        free(pixels);
        return result == brimJpegOk ? brimJpegDamaged : result;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&cinfo);
        return brimJpegUnsupported;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return brimJpegUnsupported;
    }
    size_t stride = (size_t)cinfo.output_width * 3;
    pixels = (unsigned char*)malloc(stride * cinfo.output_height);
    if (!pixels) {
        jpeg_destroy_decompress(&cinfo);
        return brimJpegNoMemory;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    if (errors.base.num_warnings > 0) {
        jpeg_destroy_decompress(&cinfo);
        free(pixels);
        return brimJpegDamaged;
    }
    *width = (int)cinfo.output_width;
    *height = (int)cinfo.output_height;
    jpeg_destroy_decompress(&cinfo);
    *rgb = pixels;
    return brimJpegOk;
}

void brim_jpeg_free(unsigned char* rgb) { free(rgb); }

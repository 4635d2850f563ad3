// SPDX-License-Identifier: MIT
#include "ui/jpeg_image.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace tessory {
namespace {

// Larger pictures are refused before any pixel memory is taken: a damaged header may claim
// dimensions of up to 65535 x 65535.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

// libjpeg's own error handler ends the process. This one jumps back to the decoding step that
// called into libjpeg, with the message already formatted.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failDecoding(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->resume, 1);
}

void emitMessage(j_common_ptr info, int level) {
    if (level < 0) {
        failDecoding(info);
    }
}

// The two steps below are the only functions that call libjpeg. Each sets the jump target
// itself and holds nothing but plain data, so a jump out of libjpeg skips no destructor and
// leaves no local in an undefined state that is still read afterwards.

bool readHeader(jpeg_decompress_struct* info, ErrorManager* errors, const unsigned char* bytes,
                unsigned long size) {
    if (setjmp(errors->resume) != 0) {
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, bytes, size);
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(info);
    return true;
}

bool readPixels(jpeg_decompress_struct* info, ErrorManager* errors, unsigned char* bits,
                qsizetype bytesPerLine) {
    if (setjmp(errors->resume) != 0) {
        return false;
    }
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = bits + qsizetype(info->output_scanline) * bytesPerLine;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

QImage fail(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
    return {};
}

}  // namespace

QImage decodeJpeg(QByteArrayView data, QString* error) {
    ErrorManager errors{};
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = failDecoding;
    errors.base.emit_message = emitMessage;

    QImage image;
    QString problem;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (!readHeader(&info, &errors, bytes, static_cast<unsigned long>(data.size()))) {
        problem = QString::fromLocal8Bit(errors.message);
    } else if (info.output_components != 3 ||
               qint64(info.output_width) * info.output_height > kMaxPixels) {
        problem = QStringLiteral("Unsupported JPEG picture: %1 x %2 pixels, %3 components")
                      .arg(info.output_width)
                      .arg(info.output_height)
                      .arg(info.output_components);
    } else {
        image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
        if (image.isNull()) {
            problem = QStringLiteral("Not enough memory for the JPEG picture");
        } else if (!readPixels(&info, &errors, image.bits(), image.bytesPerLine())) {
            problem = QString::fromLocal8Bit(errors.message);
            image = QImage();
        }
    }
    // Also safe when creating the decompressor failed: that leaves no memory manager to free.
    jpeg_destroy_decompress(&info);

    if (image.isNull()) {
        return fail(error, problem);
    }
    if (error) {
        error->clear();
    }
    return image;
}

QImage loadAboutPicture(QString* error) {
    QFile file(QString::fromLatin1(kAboutPicturePath));
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(error,
                    QStringLiteral("Cannot open %1: %2").arg(file.fileName(), file.errorString()));
    }
    return decodeJpeg(file.readAll(), error);
}

}  // namespace tessory

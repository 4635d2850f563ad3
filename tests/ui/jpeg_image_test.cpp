// SPDX-License-Identifier: MIT
#include "ui/jpeg_image.h"

#include <QColor>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <random>

#include <jpeglib.h>

namespace tessory {
namespace {

// Test pictures are made with libjpeg's encoder, so that the decoder is checked against known
// pixels rather than against another decoder.
QByteArray encodeJpeg(const QImage& picture, bool grey) {
    const QImage source =
        picture.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(source.width());
    info.image_height = JDIMENSION(source.height());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(source.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QByteArray aboutPictureBytes() {
    QFile file(QString::fromLatin1(kAboutPicturePath));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "the about picture is not among the resources";
    return file.readAll();
}

bool isCloseTo(QColor actual, QColor expected) {
    const int tolerance = 24;
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

double meanLightness(const QImage& image, int top, int bottom) {
    double sum = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += QColor(image.pixel(x, y)).lightness();
        }
    }
    return sum / (double(bottom - top) * image.width());
}

TEST(AboutPicture, DecodesToItsSizeAndIsMostlyBlue) {
    QString error = QStringLiteral("stale");
    const QImage picture = loadAboutPicture(&error);
    ASSERT_FALSE(picture.isNull()) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(picture.size(), QSize(341, 281));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);

    int blue = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c(picture.pixel(x, y));
            blue += c.blue() > c.red() && c.blue() >= c.green();
        }
    }
    EXPECT_GT(blue, picture.width() * picture.height() * 9 / 10);
    // The title glows at the top; the part under the white text is dark.
    EXPECT_GT(meanLightness(picture, 0, 60), meanLightness(picture, 130, 281) + 20);
}

TEST(AboutPicture, IsABaselineJpegWithThreeComponents) {
    const QByteArray bytes = aboutPictureBytes();
    ASSERT_GT(bytes.size(), 4);
    ASSERT_EQ(uchar(bytes[0]), 0xFF);
    ASSERT_EQ(uchar(bytes[1]), 0xD8);
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && uchar(bytes[at + 1]) != 0xC0) {
        ASSERT_NE(uchar(bytes[at + 1]), 0xC2) << "progressive";
        ASSERT_NE(uchar(bytes[at + 1]), 0xDA) << "scan before a baseline frame header";
        at += 2 + (uchar(bytes[at + 2]) << 8 | uchar(bytes[at + 3]));
    }
    ASSERT_LE(at + 10, bytes.size()) << "no baseline frame header";
    EXPECT_EQ(uchar(bytes[at + 5]) << 8 | uchar(bytes[at + 6]), 281);  // height
    EXPECT_EQ(uchar(bytes[at + 7]) << 8 | uchar(bytes[at + 8]), 341);  // width
    EXPECT_EQ(uchar(bytes[at + 9]), 3);                                // components
}

TEST(DecodeJpeg, KeepsColoursAndRowsInPlace) {
    // An odd width makes the image's rows padded, which a decoder writing rows back to back
    // would shear.
    QImage quadrants(37, 22, QImage::Format_RGB888);
    const QColor colours[4] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int y = 0; y < quadrants.height(); ++y) {
        for (int x = 0; x < quadrants.width(); ++x) {
            quadrants.setPixelColor(x, y, colours[(y >= 11) * 2 + (x >= 16)]);
        }
    }
    QString error;
    const QImage decoded = decodeJpeg(encodeJpeg(quadrants, false), &error);
    ASSERT_FALSE(decoded.isNull()) << error.toStdString();
    EXPECT_EQ(decoded.size(), quadrants.size());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    const QPoint centres[4] = {{6, 4}, {28, 4}, {6, 17}, {28, 17}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(isCloseTo(decoded.pixelColor(centres[i]), colours[i]))
            << "quadrant " << i << ": " << decoded.pixelColor(centres[i]).name().toStdString();
    }
}

TEST(DecodeJpeg, TurnsGreyscaleIntoGreyRgb) {
    QImage ramp(64, 8, QImage::Format_Grayscale8);
    for (int x = 0; x < ramp.width(); ++x) {
        for (int y = 0; y < ramp.height(); ++y) {
            ramp.setPixelColor(x, y, QColor(x * 4, x * 4, x * 4));
        }
    }
    const QImage decoded = decodeJpeg(encodeJpeg(ramp, true));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    const QColor dark = decoded.pixelColor(4, 4);
    const QColor light = decoded.pixelColor(60, 4);
    EXPECT_EQ(dark.red(), dark.green());
    EXPECT_EQ(dark.green(), dark.blue());
    EXPECT_LT(dark.red() + 150, light.red());
}

struct Cut {
    const char* name;
    double share;      // of the whole file, before the adjustment
    qsizetype adjust;  // bytes added to that
};

void PrintTo(const Cut& cut, std::ostream* out) {
    *out << cut.name;
}

class TruncatedAboutPicture : public ::testing::TestWithParam<Cut> {};

TEST_P(TruncatedAboutPicture, GivesANullImageAndAReason) {
    const QByteArray whole = aboutPictureBytes();
    const qsizetype keep = qsizetype(double(whole.size()) * GetParam().share) + GetParam().adjust;
    QString error;
    EXPECT_TRUE(decodeJpeg(QByteArrayView(whole).first(keep), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cuts, TruncatedAboutPicture,
                         ::testing::Values(Cut{"empty", 0.0, 0}, Cut{"start_marker_only", 0.0, 2},
                                           Cut{"inside_the_tables", 0.0, 100},
                                           Cut{"a_tenth", 0.1, 0}, Cut{"half", 0.5, 0},
                                           Cut{"without_the_end_marker", 1.0, -2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeJpeg, RefusesForeignData) {
    std::mt19937 random(20);
    QByteArray noise(4096, Qt::Uninitialized);
    for (char& byte : noise) {
        byte = char(random());
    }
    QByteArray startThenNoise = QByteArray("\xFF\xD8", 2) + noise;
    const QByteArray inputs[] = {
        noise,
        startThenNoise,
        QByteArray("GLSL Tessory"),
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
        QByteArray(300, '\xFF'),
    };
    for (const QByteArray& input : inputs) {
        QString error;
        EXPECT_TRUE(decodeJpeg(input, &error).isNull()) << input.left(8).toHex().toStdString();
        EXPECT_FALSE(error.isEmpty());
        if (input == "GLSL Tessory") {
            EXPECT_TRUE(error.startsWith(QStringLiteral("Not a JPEG file"))) << error.toStdString();
        }
    }
}

TEST(DecodeJpeg, SurvivesDamagedScanData) {
    const QByteArray whole = aboutPictureBytes();
    for (qsizetype at = whole.size() / 8; at < whole.size() - 2; at += whole.size() / 40) {
        QByteArray damaged = whole;
        for (qsizetype i = at; i < at + 16 && i < damaged.size() - 2; ++i) {
            damaged[i] = char(damaged[i] ^ 0x5A);
        }
        QString error;
        const QImage image = decodeJpeg(damaged, &error);
        // Some damage is only visible in the pixels; what must never happen is a half-made image.
        if (image.isNull()) {
            EXPECT_FALSE(error.isEmpty()) << "damage at " << at;
        } else {
            EXPECT_EQ(image.size(), QSize(341, 281)) << "damage at " << at;
            EXPECT_TRUE(error.isEmpty());
        }
    }
}

}  // namespace
}  // namespace tessory

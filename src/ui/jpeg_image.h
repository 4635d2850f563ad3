// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace tessory {

// Where the about box's picture lives among the program's resources.
inline constexpr char kAboutPicturePath[] = ":/about/about.jpg";

// Decodes JPEG data with libjpeg into an RGB888 image. Damaged, truncated or foreign data gives
// a null image and, when error is given, libjpeg's description of the fault; on success error is
// emptied. libjpeg's warnings (such as a premature end of the data) count as faults, because
// libjpeg would otherwise fill the missing part of the picture with grey.
QImage decodeJpeg(QByteArrayView data, QString* error = nullptr);

// The about box's picture, decoded from the resources; null (with the reason) if that fails.
QImage loadAboutPicture(QString* error = nullptr);

}  // namespace tessory

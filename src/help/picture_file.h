// Which file of a picture a screen gets. Every picture is also drawn at twice
// its size ("name@2x.png"): on a screen with two or more device pixels per
// logical pixel it is as sharp as the text, where the plain one would be
// enlarged and soft.
#pragma once

#include <QPixmap>
#include <QString>

namespace tonvale {

// ":/res/<name>@2x.png" when `device_pixel_ratio` is 2 or more and that file
// loads, with a device pixel ratio of 2 so that it keeps the plain picture's
// logical size; otherwise ":/res/<name>.png". Null when neither loads.
QPixmap LoadPicture(const QString& name, qreal device_pixel_ratio);

}  // namespace tonvale

#pragma once

#include <QPixmap>

// The product picture of a reader type (":/TZ60.png" and the others), scaled
// to 100 pixels; a null pixmap for a type without a picture.
QPixmap readerPicture(int readerType);

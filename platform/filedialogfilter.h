#pragma once

#include <QString>

// "jpg 图片文件(*.jpg)|*.jpg|全部文件|*.*" as a QFileDialog filter.
QString fileDialogFilter(const QString& pairs);

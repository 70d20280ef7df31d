#pragma once

#include <QString>

class QWidget;

// The first open window whose class name equals name, ignoring case: top-level windows in the
// order they were created, each followed by the windows inside its MDI area. nullptr if none.
QWidget* FindFormByClassName(const QString& name);

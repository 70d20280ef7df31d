#pragma once

#include "clientdataset.h"

#include <QString>
#include <QVariant>

// The one conversion between what a user or a statement gives and what a field stores.

// Text a field value is shown as: dates yyyy-MM-dd, decimals as their exact text, blobs and
// nulls as nothing.
QString fieldDisplayText(const FieldDef& field, const QVariant& value);
// A value typed or chosen in a widget, converted to what the field stores. Empty text becomes
// null; text that does not parse gives an invalid QVariant with *ok false.
QVariant fieldValueFromInput(const FieldDef& field, const QVariant& input, bool* ok = nullptr);
// Equality of two field values as the user sees it (1 equals "1", null equals only null).
bool sameFieldValue(const QVariant& a, const QVariant& b);

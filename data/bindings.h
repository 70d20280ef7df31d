#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>

class ClientDataSet;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;
struct FieldDef;

// Ties one widget to one field of a dataset's current row. The widget shows the value and
// follows the cursor; a user edit puts the dataset into Edit and sets the field. While the
// dataset is inactive, empty or lacks the field the widget is cleared and disabled; a field
// marked read-only makes the widget read-only (disabled where the widget has no such mode).
// The binding is a child of the widget and dies with it.
class FieldBinding : public QObject
{
    Q_OBJECT
public:
    ~FieldBinding() override;

    ClientDataSet* dataSet() const { return m_dataSet; }
    QString fieldName() const { return m_fieldName; }
    QWidget* widget() const { return m_widget; }
    // Shows the dataset's value again.
    void refresh();

Q_SIGNALS:
    // A user edit reached the dataset.
    void edited();

protected:
    FieldBinding(QWidget* widget, ClientDataSet* dataSet, const QString& fieldName);

    // Called while whatever the widget emits is not taken as the user's edit.
    virtual void showValue(const FieldDef& field, const QVariant& value) = 0;
    virtual void clearValue() = 0;
    // Widgets with a read-only mode apply it and return true; others are disabled instead.
    virtual bool applyReadOnly(bool) { return false; }
    virtual bool isWidgetReadOnly() const { return false; }
    virtual void applyField(const FieldDef&) {}

    // Hands a value the user entered to the dataset; ignored while a value is being shown.
    void write(const QVariant& input);
    // Changes the widget without the change counting as the user's.
    void showQuietly(const std::function<void()>& change);
    // The bound field, or nullptr while the dataset cannot show it.
    const FieldDef* currentField() const;
    QVariant currentValue() const;

private:
    void updateAvailability();
    void setAvailable(bool available, bool readOnly);

    QWidget* m_widget;
    QPointer<ClientDataSet> m_dataSet;
    QString m_fieldName;
    bool m_showing = false;
    bool m_writing = false;
    bool m_disabledByUs = false;
    bool m_readOnlyByUs = false;
};

// How a combo box with fixed items stores the choice.
enum class ComboStores
{
    ItemIndex,
    ItemText
};

// QLineEdit: written as the user types; a sized text field limits the length.
FieldBinding* bindLineEdit(QLineEdit* edit, ClientDataSet* dataSet, const QString& fieldName);
// QPlainTextEdit over a text or text-blob field.
FieldBinding* bindMemo(QPlainTextEdit* edit, ClientDataSet* dataSet, const QString& fieldName);
// QComboBox with the items the caller put in it.
FieldBinding* bindComboBox(QComboBox* combo, ClientDataSet* dataSet, const QString& fieldName,
                           ComboStores stores = ComboStores::ItemIndex);
// QComboBox listing lookup's rows by displayField; choosing one writes its keyField value.
FieldBinding* bindLookupComboBox(QComboBox* combo, ClientDataSet* dataSet, const QString& fieldName,
                                 ClientDataSet* lookup, const QString& keyField,
                                 const QString& displayField);
// QCheckBox: checked exactly when the field equals checkedValue.
FieldBinding* bindCheckBox(QCheckBox* box, ClientDataSet* dataSet, const QString& fieldName,
                           const QVariant& checkedValue = 1, const QVariant& uncheckedValue = 0);
// QSpinBox over an integer field; a null shows as the minimum.
FieldBinding* bindSpinBox(QSpinBox* spin, ClientDataSet* dataSet, const QString& fieldName);
// QDateEdit: a null date shows as the minimum date, drawn blank.
FieldBinding* bindDateEdit(QDateEdit* edit, ClientDataSet* dataSet, const QString& fieldName);

// The binding of a widget, or nullptr.
FieldBinding* fieldBinding(const QWidget* widget);

#include "bindings.h"

#include "clientdataset.h"
#include "datasetmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <exception>

FieldBinding::FieldBinding(QWidget* widget, ClientDataSet* dataSet, const QString& fieldName)
    : QObject(widget), m_widget(widget), m_dataSet(dataSet), m_fieldName(fieldName)
{
    // A widget has one binding; binding it again replaces the old one.
    if (FieldBinding* old = fieldBinding(widget); old && old != this)
        delete old;
    if (!dataSet)
        return;
    connect(dataSet, &ClientDataSet::reset, this, &FieldBinding::refresh);
    connect(dataSet, &ClientDataSet::currentChanged, this, &FieldBinding::refresh);
    // The state changes before the dataset has settled its rows (a cancelled insert is gone
    // from the store but not yet from the visible list), so no value is read here: the
    // signals that follow carry the values.
    connect(dataSet, &ClientDataSet::stateChanged, this, &FieldBinding::updateAvailability);
    connect(dataSet, &ClientDataSet::rowInserted, this, &FieldBinding::refresh);
    connect(dataSet, &ClientDataSet::rowRemoved, this, &FieldBinding::refresh);
    connect(dataSet, &ClientDataSet::rowChanged, this, [this](int row) {
        if (m_dataSet && row == m_dataSet->recNo())
            refresh();
    });
    connect(dataSet, &QObject::destroyed, this, [this]() {
        m_dataSet = nullptr;
        refresh();
    });
}

FieldBinding::~FieldBinding() = default;

const FieldDef* FieldBinding::currentField() const
{
    if (!m_dataSet || !m_dataSet->isActive())
        return nullptr;
    const bool editsEmpty = m_dataSet->isEmpty() && m_dataSet->appendsOnFirstEdit();
    if (!editsEmpty && (m_dataSet->isEmpty() || m_dataSet->recNo() < 0))
        return nullptr;
    const int idx = m_dataSet->fieldIndex(m_fieldName);
    return idx < 0 ? nullptr : &m_dataSet->field(idx);
}

QVariant FieldBinding::currentValue() const
{
    return currentField() && !m_dataSet->isEmpty() ? m_dataSet->value(m_fieldName) : QVariant();
}

void FieldBinding::refresh()
{
    // The user's own edit is already on screen; showing it again would move the caret.
    if (m_writing)
        return;
    QScopedValueRollback guard(m_showing, true);
    const FieldDef* f = currentField();
    if (!f) {
        setAvailable(false, false);
        clearValue();
        return;
    }
    setAvailable(true, f->readOnly || f->isLookup);
    applyField(*f);
    showValue(*f, currentValue());
}

void FieldBinding::updateAvailability()
{
    if (m_writing)
        return;
    QScopedValueRollback guard(m_showing, true);
    const FieldDef* f = currentField();
    setAvailable(f != nullptr, f && (f->readOnly || f->isLookup));
    if (!f)
        clearValue();
}

void FieldBinding::setAvailable(bool available, bool readOnly)
{
    bool disable = !available;
    if (available && readOnly) {
        // Only what the binding set is undone later, never the window's own choice.
        if (!m_readOnlyByUs && !isWidgetReadOnly()) {
            if (applyReadOnly(true))
                m_readOnlyByUs = true;
            else
                disable = true;
        }
    } else if (m_readOnlyByUs) {
        applyReadOnly(false);
        m_readOnlyByUs = false;
    }
    if (disable) {
        if (!m_widget->testAttribute(Qt::WA_ForceDisabled)) {
            m_widget->setEnabled(false);
            m_disabledByUs = true;
        }
    } else if (m_disabledByUs) {
        m_widget->setEnabled(true);
        m_disabledByUs = false;
    }
}

void FieldBinding::showQuietly(const std::function<void()>& change)
{
    QScopedValueRollback guard(m_showing, true);
    change();
}

void FieldBinding::write(const QVariant& input)
{
    if (m_showing)
        return;
    const FieldDef* f = currentField();
    if (!f || f->readOnly || f->isLookup)
        return;
    bool ok = false;
    const QVariant value = fieldValueFromInput(*f, input, &ok);
    // Half-typed input (a lone "-" in a number) waits for the next keystroke.
    if (!ok)
        return;
    if (sameFieldValue(value, currentValue()))
        return;
    bool failed = false;
    {
        QScopedValueRollback guard(m_writing, true);
        try {
            if (m_dataSet->isEmpty())
                m_dataSet->append();
            else if (m_dataSet->state() == ClientDataSet::State::Browse)
                m_dataSet->edit();
            m_dataSet->setValue(m_fieldName, value);
        } catch (const std::exception& e) {
            reportDataError(e);
            failed = true;
        }
    }
    if (failed)
        refresh();
    else
        emit edited();
}

FieldBinding* fieldBinding(const QWidget* widget)
{
    return widget ? widget->findChild<FieldBinding*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

namespace {

class LineEditBinding : public FieldBinding
{
public:
    LineEditBinding(QLineEdit* edit, ClientDataSet* ds, const QString& field)
        : FieldBinding(edit, ds, field), m_edit(edit)
    {
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { write(text); });
    }

protected:
    void showValue(const FieldDef& field, const QVariant& value) override
    {
        const QString text = fieldDisplayText(field, value);
        if (m_edit->text() != text)
            m_edit->setText(text);
    }
    void clearValue() override { m_edit->clear(); }
    bool isWidgetReadOnly() const override { return m_edit->isReadOnly(); }
    bool applyReadOnly(bool readOnly) override
    {
        m_edit->setReadOnly(readOnly);
        return true;
    }
    void applyField(const FieldDef& field) override
    {
        if (field.type == FieldType::String && field.size > 0)
            m_edit->setMaxLength(field.size);
    }

private:
    QLineEdit* m_edit;
};

class MemoBinding : public FieldBinding
{
public:
    MemoBinding(QPlainTextEdit* edit, ClientDataSet* ds, const QString& field)
        : FieldBinding(edit, ds, field), m_edit(edit)
    {
        // textChanged also fires for setPlainText; write() ignores it while a value is shown.
        connect(edit, &QPlainTextEdit::textChanged, this, [this]() {
            QString text = m_edit->toPlainText();
            // Like a line edit's maximum length: what does not fit is not taken.
            const FieldDef* f = currentField();
            if (f && f->type == FieldType::String && f->size > 0 && text.size() > f->size) {
                text.truncate(f->size);
                showQuietly([this, &text] {
                    m_edit->setPlainText(text);
                    m_edit->moveCursor(QTextCursor::End);
                });
            }
            write(text);
        });
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        // Text blobs arrive as UTF-8 bytes.
        const QString text = value.typeId() == QMetaType::QByteArray
                                 ? QString::fromUtf8(value.toByteArray())
                                 : value.toString();
        if (m_edit->toPlainText() != text)
            m_edit->setPlainText(text);
    }
    void clearValue() override
    {
        if (!m_edit->document()->isEmpty())
            m_edit->clear();
    }
    bool isWidgetReadOnly() const override { return m_edit->isReadOnly(); }
    bool applyReadOnly(bool readOnly) override
    {
        m_edit->setReadOnly(readOnly);
        return true;
    }

private:
    QPlainTextEdit* m_edit;
};

class ComboBinding : public FieldBinding
{
public:
    ComboBinding(QComboBox* combo, ClientDataSet* ds, const QString& field, ComboStores stores)
        : FieldBinding(combo, ds, field), m_combo(combo), m_stores(stores)
    {
        // activated comes from the user only; currentIndexChanged also from the program.
        connect(combo, &QComboBox::activated, this, [this](int index) {
            if (index < 0)
                return;
            write(m_stores == ComboStores::ItemIndex ? QVariant(index)
                                                     : QVariant(m_combo->itemText(index)));
        });
        if (stores == ComboStores::ItemText && combo->isEditable() && combo->lineEdit())
            connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                    [this](const QString& text) { write(text); });
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        int index = -1;
        if (!value.isNull() && value.isValid()) {
            if (m_stores == ComboStores::ItemIndex) {
                bool ok = false;
                index = value.toInt(&ok);
                if (!ok || index < 0 || index >= m_combo->count())
                    index = -1;
            } else {
                index = m_combo->findText(value.toString());
            }
        }
        m_combo->setCurrentIndex(index);
        if (index < 0 && m_combo->isEditable() && m_stores == ComboStores::ItemText)
            m_combo->setEditText(value.toString());
    }
    void clearValue() override { m_combo->setCurrentIndex(-1); }

private:
    QComboBox* m_combo;
    ComboStores m_stores;
};

class LookupComboBinding : public FieldBinding
{
public:
    LookupComboBinding(QComboBox* combo, ClientDataSet* ds, const QString& field,
                       ClientDataSet* lookup, const QString& keyField, const QString& displayField)
        : FieldBinding(combo, ds, field), m_combo(combo), m_lookup(lookup), m_keyField(keyField),
          m_displayField(displayField)
    {
        connect(combo, &QComboBox::activated, this, [this](int index) {
            if (index >= 0 && index < m_keys.size())
                write(m_keys[index]);
        });
        if (lookup) {
            connect(lookup, &ClientDataSet::reset, this, &LookupComboBinding::reload);
            connect(lookup, &ClientDataSet::rowChanged, this, &LookupComboBinding::reload);
            connect(lookup, &ClientDataSet::rowInserted, this, &LookupComboBinding::reload);
            connect(lookup, &ClientDataSet::rowRemoved, this, &LookupComboBinding::reload);
            connect(lookup, &QObject::destroyed, this, &LookupComboBinding::reload);
        }
        fillItems();
    }

    void reload()
    {
        fillItems();
        refresh();
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        int index = -1;
        for (int i = 0; i < m_keys.size() && !value.isNull() && value.isValid(); ++i) {
            if (sameFieldValue(m_keys[i], value)) {
                index = i;
                break;
            }
        }
        m_combo->setCurrentIndex(index);
    }
    void clearValue() override { m_combo->setCurrentIndex(-1); }

private:
    void fillItems()
    {
        m_keys.clear();
        m_combo->clear();
        if (!m_lookup || !m_lookup->isActive())
            return;
        const int keyCol = m_lookup->fieldIndex(m_keyField);
        const int displayCol = m_lookup->fieldIndex(m_displayField);
        if (keyCol < 0 || displayCol < 0)
            return;
        const FieldDef& displayDef = m_lookup->field(displayCol);
        const int rows = m_lookup->recordCount();
        for (int r = 0; r < rows; ++r) {
            const QVariant key = m_lookup->value(r, keyCol);
            m_keys.append(key);
            m_combo->addItem(fieldDisplayText(displayDef, m_lookup->value(r, displayCol)), key);
        }
    }

    QComboBox* m_combo;
    QPointer<ClientDataSet> m_lookup;
    QString m_keyField;
    QString m_displayField;
    QVector<QVariant> m_keys;
};

class CheckBoxBinding : public FieldBinding
{
public:
    CheckBoxBinding(QCheckBox* box, ClientDataSet* ds, const QString& field,
                    const QVariant& checkedValue, const QVariant& uncheckedValue)
        : FieldBinding(box, ds, field), m_box(box), m_checked(checkedValue),
          m_unchecked(uncheckedValue)
    {
        // clicked comes from the user (mouse or space) and never from setChecked.
        connect(box, &QCheckBox::clicked, this,
                [this](bool checked) { write(checked ? m_checked : m_unchecked); });
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        m_box->setChecked(sameFieldValue(value, m_checked));
    }
    void clearValue() override { m_box->setChecked(false); }

private:
    QCheckBox* m_box;
    QVariant m_checked;
    QVariant m_unchecked;
};

class SpinBoxBinding : public FieldBinding
{
public:
    SpinBoxBinding(QSpinBox* spin, ClientDataSet* ds, const QString& field)
        : FieldBinding(spin, ds, field), m_spin(spin)
    {
        connect(spin, &QSpinBox::valueChanged, this, [this](int value) { write(value); });
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        bool ok = false;
        const int n = value.toInt(&ok);
        m_spin->setValue(ok && !value.isNull() ? n : m_spin->minimum());
    }
    void clearValue() override { m_spin->setValue(m_spin->minimum()); }
    bool isWidgetReadOnly() const override { return m_spin->isReadOnly(); }
    bool applyReadOnly(bool readOnly) override
    {
        m_spin->setReadOnly(readOnly);
        return true;
    }

private:
    QSpinBox* m_spin;
};

class DateEditBinding : public FieldBinding
{
public:
    DateEditBinding(QDateEdit* edit, ClientDataSet* ds, const QString& field)
        : FieldBinding(edit, ds, field), m_edit(edit)
    {
        // The minimum date stands for "no date" and is drawn blank.
        if (edit->specialValueText().isEmpty())
            edit->setSpecialValueText(QStringLiteral(" "));
        connect(edit, &QDateEdit::dateChanged, this, &DateEditBinding::writeDate);
        edit->installEventFilter(this);
    }

protected:
    void showValue(const FieldDef&, const QVariant& value) override
    {
        QDate date;
        if (value.typeId() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else if (!value.isNull())
            date = value.toDate();
        m_edit->setDate(date.isValid() ? date : m_edit->minimumDate());
    }
    void clearValue() override { m_edit->setDate(m_edit->minimumDate()); }
    bool isWidgetReadOnly() const override { return m_edit->isReadOnly(); }
    bool applyReadOnly(bool readOnly) override
    {
        m_edit->setReadOnly(readOnly);
        return true;
    }

    // The blank "no date" takes no typing and steps from the minimum, so the first digit or
    // step starts from today instead.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_edit || event->type() != QEvent::KeyPress || m_edit->isReadOnly() ||
            m_edit->date() != m_edit->minimumDate() || !currentField())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool digit = key->text().size() == 1 && key->text().at(0).isDigit();
        const bool step = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                          key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
        if (!digit && !step)
            return false;
        const QDate today = QDate::currentDate();
        showQuietly([this, today] {
            m_edit->setDate(today);
            m_edit->setSelectedSection(m_edit->sectionAt(0));
        });
        if (digit)
            return false; // the digit goes on to overwrite the first section
        writeDate(today);
        return true;
    }

private:
    void writeDate(QDate date)
    {
        if (date == m_edit->minimumDate()) {
            write(QVariant());
            return;
        }
        // Changing the day of a timestamp keeps its time.
        const FieldDef* f = currentField();
        const QVariant old = currentValue();
        if (f && f->type == FieldType::DateTime && old.typeId() == QMetaType::QDateTime)
            write(QDateTime(date, old.toDateTime().time()));
        else
            write(date);
    }

    QDateEdit* m_edit;
};

template <typename B, typename... Args> FieldBinding* start(Args&&... args)
{
    auto* binding = new B(std::forward<Args>(args)...);
    binding->refresh();
    return binding;
}

} // namespace

FieldBinding* bindLineEdit(QLineEdit* edit, ClientDataSet* dataSet, const QString& fieldName)
{
    return start<LineEditBinding>(edit, dataSet, fieldName);
}

FieldBinding* bindMemo(QPlainTextEdit* edit, ClientDataSet* dataSet, const QString& fieldName)
{
    return start<MemoBinding>(edit, dataSet, fieldName);
}

FieldBinding* bindComboBox(QComboBox* combo, ClientDataSet* dataSet, const QString& fieldName,
                           ComboStores stores)
{
    return start<ComboBinding>(combo, dataSet, fieldName, stores);
}

FieldBinding* bindLookupComboBox(QComboBox* combo, ClientDataSet* dataSet, const QString& fieldName,
                                 ClientDataSet* lookup, const QString& keyField,
                                 const QString& displayField)
{
    return start<LookupComboBinding>(combo, dataSet, fieldName, lookup, keyField, displayField);
}

FieldBinding* bindCheckBox(QCheckBox* box, ClientDataSet* dataSet, const QString& fieldName,
                           const QVariant& checkedValue, const QVariant& uncheckedValue)
{
    return start<CheckBoxBinding>(box, dataSet, fieldName, checkedValue, uncheckedValue);
}

FieldBinding* bindSpinBox(QSpinBox* spin, ClientDataSet* dataSet, const QString& fieldName)
{
    return start<SpinBoxBinding>(spin, dataSet, fieldName);
}

FieldBinding* bindDateEdit(QDateEdit* edit, ClientDataSet* dataSet, const QString& fieldName)
{
    return start<DateEditBinding>(edit, dataSet, fieldName);
}

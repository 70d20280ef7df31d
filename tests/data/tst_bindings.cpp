#include "bindings.h"
#include "clientdataset.h"
#include "datagrid.h"
#include "datasetmodel.h"
#include "dberror.h"
#include "testutils.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <memory>

namespace {

FieldDef field(const QString& name, FieldType type, int size = 0, int scale = 0)
{
    FieldDef f;
    f.name = name;
    f.type = type;
    f.size = size;
    f.scale = scale;
    return f;
}

ResultTable patients()
{
    ResultTable t;
    t.fields = {field("ID", FieldType::Integer),       field("NAME", FieldType::String, 20),
                field("NOTES", FieldType::Blob),       field("SEX", FieldType::SmallInt),
                field("TITLE", FieldType::String, 10), field("DOCTOR_ID", FieldType::Integer),
                field("ACTIVE", FieldType::Integer),   field("SMOKER", FieldType::String, 1),
                field("VISITS", FieldType::Integer),   field("BIRTH", FieldType::Date),
                field("FEE", FieldType::Decimal, 0, 2)};
    t.rows = {
        {1, "Ann Lee", QByteArray("allergic to latex"), 0, "Mrs", 2, 1, "1", 4, QDate(1980, 5, 17),
         "2.68"},
        {2, "Bo Chan", QByteArray(), 1, "Mr", 1, 0, "0", QVariant(), QVariant(), "10.50"},
        {3, "Cy Diaz", QByteArray("brace"), 1, "Dr", 3, 1, "0", 12, QDate(2001, 1, 2), "0.00"}};
    return t;
}

ResultTable doctors()
{
    ResultTable t;
    t.fields = {field("ID", FieldType::Integer), field("NAME", FieldType::String, 30)};
    t.rows = {{1, "Dr Ng"}, {2, "Dr Ortiz"}, {3, "Dr Park"}};
    return t;
}

// Datasets of the tests: patients with a lookup of their doctor's name.
struct Fixture
{
    ClientDataSet doctors;
    ClientDataSet patients;
    Fixture()
    {
        doctors.openWith(::doctors());
        patients.addLookupField("DOCTOR", "DOCTOR_ID", &doctors, "ID", "NAME");
        patients.openWith(::patients());
    }
};

// Every binding kind behind one face: what the widget shows and how a user changes it.
enum class Kind
{
    LineEdit,
    Memo,
    ComboIndex,
    ComboText,
    LookupCombo,
    CheckInt,
    CheckText,
    Spin,
    Date
};

struct Bound
{
    std::unique_ptr<QWidget> widget;
    FieldBinding* binding = nullptr;
    std::function<QVariant()> shown;
    std::function<void(const QVariant&)> userEdit;
};

// A combo is driven as a user drives it with the keyboard, which makes it emit activated.
void chooseWithKeys(QComboBox* combo, int index)
{
    while (combo->currentIndex() != index) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
        if (combo->currentIndex() == before)
            QFAIL("combo did not move");
    }
}

void typeReplacing(QWidget* w, const QString& text)
{
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w, text);
}

Bound bind(Kind kind, Fixture& fx, const QString& fieldName)
{
    Bound b;
    ClientDataSet* ds = &fx.patients;
    switch (kind) {
    case Kind::LineEdit: {
        auto* w = new QLineEdit;
        b.widget.reset(w);
        b.binding = bindLineEdit(w, ds, fieldName);
        b.shown = [w] { return QVariant(w->text()); };
        b.userEdit = [w](const QVariant& v) { typeReplacing(w, v.toString()); };
        break;
    }
    case Kind::Memo: {
        auto* w = new QPlainTextEdit;
        b.widget.reset(w);
        b.binding = bindMemo(w, ds, fieldName);
        b.shown = [w] { return QVariant(w->toPlainText()); };
        b.userEdit = [w](const QVariant& v) { typeReplacing(w, v.toString()); };
        break;
    }
    case Kind::ComboIndex:
    case Kind::ComboText: {
        auto* w = new QComboBox;
        w->addItems({"Mr", "Mrs", "Dr"});
        b.widget.reset(w);
        b.binding =
            bindComboBox(w, ds, fieldName,
                         kind == Kind::ComboIndex ? ComboStores::ItemIndex : ComboStores::ItemText);
        b.shown = [w] { return QVariant(w->currentText()); };
        b.userEdit = [w](const QVariant& v) { chooseWithKeys(w, w->findText(v.toString())); };
        break;
    }
    case Kind::LookupCombo: {
        auto* w = new QComboBox;
        b.widget.reset(w);
        b.binding = bindLookupComboBox(w, ds, fieldName, &fx.doctors, "ID", "NAME");
        b.shown = [w] { return QVariant(w->currentText()); };
        b.userEdit = [w](const QVariant& v) { chooseWithKeys(w, w->findText(v.toString())); };
        break;
    }
    case Kind::CheckInt:
    case Kind::CheckText: {
        auto* w = new QCheckBox;
        b.widget.reset(w);
        b.binding = kind == Kind::CheckInt ? bindCheckBox(w, ds, fieldName, 1, 0)
                                           : bindCheckBox(w, ds, fieldName, "1", "0");
        b.shown = [w] { return QVariant(w->isChecked()); };
        b.userEdit = [w](const QVariant& v) {
            if (w->isChecked() != v.toBool())
                QTest::keyClick(w, Qt::Key_Space);
        };
        break;
    }
    case Kind::Spin: {
        auto* w = new QSpinBox;
        w->setRange(0, 99);
        b.widget.reset(w);
        b.binding = bindSpinBox(w, ds, fieldName);
        b.shown = [w] { return QVariant(w->value()); };
        b.userEdit = [w](const QVariant& v) { typeReplacing(w, v.toString()); };
        break;
    }
    case Kind::Date: {
        auto* w = new QDateEdit;
        w->setDisplayFormat("yyyy-MM-dd");
        b.widget.reset(w);
        b.binding = bindDateEdit(w, ds, fieldName);
        b.shown = [w] { return w->date() == w->minimumDate() ? QVariant() : QVariant(w->date()); };
        // Typing the digits: the edit steps over the separators by itself.
        b.userEdit = [w](const QVariant& v) { typeReplacing(w, v.toDate().toString("yyyyMMdd")); };
        break;
    }
    }
    return b;
}

void addKindColumns()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QVariant>("shown0"); // row 0 as the widget shows it
    QTest::addColumn<QVariant>("shown1"); // row 1 likewise
    QTest::addColumn<QVariant>("input");  // what the user enters on row 1
    QTest::addColumn<QVariant>("stored"); // the field's value afterwards
}

void addKindRows()
{
    QTest::newRow("line edit") << Kind::LineEdit << "name" << QVariant("Ann Lee")
                               << QVariant("Bo Chan") << QVariant("Bo Chen") << QVariant("Bo Chen");
    QTest::newRow("memo on a blob")
        << Kind::Memo << "NOTES" << QVariant("allergic to latex") << QVariant("")
        << QVariant("nervous") << QVariant(QByteArray("nervous"));
    QTest::newRow("combo by index") << Kind::ComboIndex << "SEX" << QVariant("Mr")
                                    << QVariant("Mrs") << QVariant("Dr") << QVariant(2);
    QTest::newRow("combo by text") << Kind::ComboText << "TITLE" << QVariant("Mrs")
                                   << QVariant("Mr") << QVariant("Dr") << QVariant("Dr");
    QTest::newRow("lookup combo") << Kind::LookupCombo << "DOCTOR_ID" << QVariant("Dr Ortiz")
                                  << QVariant("Dr Ng") << QVariant("Dr Park") << QVariant(3);
    QTest::newRow("check box 1/0") << Kind::CheckInt << "ACTIVE" << QVariant(true)
                                   << QVariant(false) << QVariant(true) << QVariant(1);
    QTest::newRow("check box '1'/'0'") << Kind::CheckText << "SMOKER" << QVariant(true)
                                       << QVariant(false) << QVariant(true) << QVariant("1");
    QTest::newRow("spin box, null as minimum")
        << Kind::Spin << "VISITS" << QVariant(4) << QVariant(0) << QVariant(7) << QVariant(7);
    QTest::newRow("date edit, null date")
        << Kind::Date << "BIRTH" << QVariant(QDate(1980, 5, 17)) << QVariant()
        << QVariant(QDate(1999, 12, 31)) << QVariant(QDate(1999, 12, 31));
}

enum class Change
{
    AppendPost,
    Delete,
    EditPost,
    Filter,
    Reopen,
    CancelInsert,
    DoctorRenamed
};

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Change)

class TstBindings : public QObject
{
    Q_OBJECT

private slots:
    void model_shows_data();
    void model_shows();
    void model_follows_data();
    void model_follows();
    void model_setDataWritesThrough();
    void model_captions();

    void grid_andCursorFollowEachOther();
    void grid_doubleClickAndReadOnly();

    void binding_showsFollowsAndWrites_data();
    void binding_showsFollowsAndWrites();
    void binding_programValuesAreNotEdits_data();
    void binding_programValuesAreNotEdits();
    void binding_emptyAndInactive_data();
    void binding_emptyAndInactive();
    void binding_followsAppendAndCancel();
    void binding_editingAnEmptyDataSetAppends();
    void memo_takesNoMoreThanTheColumn();
    void grid_cellButton();
    void lineEdit_sizeAndReadOnly();
    void lookupCombo_reloadsWithItsDataSet();

private:
    AnsweringPresenter m_boxes;
};

// --- model --------------------------------------------------------------------------------

void TstBindings::model_shows_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("row");
    QTest::addColumn<QVariant>("display");
    QTest::newRow("text") << "NAME" << 1 << QVariant("Bo Chan");
    QTest::newRow("integer") << "visits" << 2 << QVariant("12");
    QTest::newRow("date as yyyy-MM-dd") << "BIRTH" << 0 << QVariant("1980-05-17");
    QTest::newRow("null date") << "BIRTH" << 1 << QVariant("");
    QTest::newRow("decimal, exact text") << "FEE" << 0 << QVariant("2.68");
    QTest::newRow("decimal, trailing zero kept") << "FEE" << 1 << QVariant("10.50");
    QTest::newRow("blob shows nothing") << "NOTES" << 0 << QVariant();
    QTest::newRow("lookup") << "DOCTOR" << 0 << QVariant("Dr Ortiz");
}

void TstBindings::model_shows()
{
    QFETCH(QString, fieldName);
    QFETCH(int, row);
    QFETCH(QVariant, display);
    Fixture fx;
    DataSetModel model;
    model.setDataSet(&fx.patients);
    model.addColumn({"colA", "ID", "No."});
    model.addColumn({"colB", fieldName, "Value"});
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Value"));
    const QVariant shown = model.index(row, 1).data();
    if (display.isValid())
        QCOMPARE(shown.toString(), display.toString());
    else
        QVERIFY(!shown.isValid() || shown.toString().isEmpty());
}

void TstBindings::model_follows_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("notification");
    QTest::newRow("append") << Change::AppendPost << "rowsInserted";
    QTest::newRow("delete") << Change::Delete << "rowsRemoved";
    QTest::newRow("edit") << Change::EditPost << "dataChanged";
    QTest::newRow("filter") << Change::Filter << "modelReset";
    QTest::newRow("reopen") << Change::Reopen << "modelReset";
    QTest::newRow("cancelled insert") << Change::CancelInsert << "rowsRemoved";
    QTest::newRow("lookup table changes") << Change::DoctorRenamed << "dataChanged";
}

void TstBindings::model_follows()
{
    QFETCH(Change, change);
    QFETCH(QString, notification);
    Fixture fx;
    DataSetModel model;
    model.setDataSet(&fx.patients);
    model.addColumn({"cName", "NAME", "Name"});
    model.addColumn({"cDoctor", "DOCTOR", "Doctor"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ClientDataSet& ds = fx.patients;
    switch (change) {
    case Change::AppendPost:
        ds.append();
        ds.setValue("NAME", "Di Evans");
        ds.post();
        break;
    case Change::Delete:
        ds.setRecNo(1);
        ds.deleteRecord();
        break;
    case Change::EditPost:
        ds.setRecNo(2);
        ds.edit();
        ds.setValue("name", "Cy Dias");
        ds.setValue("DOCTOR_ID", 1);
        ds.post();
        break;
    case Change::Filter:
        ds.setFilter("SEX", 1);
        break;
    case Change::Reopen: {
        ResultTable t = patients();
        t.rows.removeLast();
        ds.openWith(t);
        break;
    }
    case Change::CancelInsert:
        ds.insert();
        QCOMPARE(model.rowCount(), 4);
        ds.cancel();
        break;
    case Change::DoctorRenamed:
        fx.doctors.setRecNo(1);
        fx.doctors.edit();
        fx.doctors.setValue("NAME", "Dr Orr");
        fx.doctors.post();
        break;
    }
    const QMap<QString, QSignalSpy*> spies{{"rowsInserted", &inserted},
                                           {"rowsRemoved", &removed},
                                           {"dataChanged", &changed},
                                           {"modelReset", &reset}};
    QVERIFY2(!spies[notification]->isEmpty(), qPrintable(notification + " not sent"));

    // Whatever the notification, the model now reads exactly what the dataset holds.
    QCOMPARE(model.rowCount(), ds.recordCount());
    for (int r = 0; r < ds.recordCount(); ++r) {
        QCOMPARE(model.index(r, 0).data().toString(),
                 ds.value(r, ds.fieldIndex("NAME")).toString());
        QCOMPARE(model.index(r, 1).data().toString(),
                 ds.value(r, ds.fieldIndex("DOCTOR")).toString());
    }
}

void TstBindings::model_setDataWritesThrough()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    DataSetModel model;
    model.setDataSet(&ds);
    model.addColumn({"cName", "NAME", "Name"});
    model.addColumn({"cDoctor", "DOCTOR", "Doctor"});
    model.addColumn({"cBirth", "BIRTH", "Born"});

    QVERIFY(!model.setData(model.index(1, 0), "Bo Chen"));
    QCOMPARE(ds.state(), ClientDataSet::State::Browse);

    model.setEditable(true);
    QVERIFY(model.flags(model.index(1, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(1, 1)) & Qt::ItemIsEditable));
    QVERIFY(model.setData(model.index(1, 0), "Bo Chen"));
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.state(), ClientDataSet::State::Edit);
    QCOMPARE(ds.value("NAME").toString(), QString("Bo Chen"));
    QVERIFY(model.setData(model.index(1, 2), QDate(1990, 3, 4)));
    QCOMPARE(model.index(1, 2).data().toString(), QString("1990-03-04"));

    // Moving to another row stores the edited one.
    QVERIFY(model.setData(model.index(0, 0), "Ann Li"));
    QCOMPARE(ds.recNo(), 0);
    ds.post();
    QCOMPARE(ds.changeCount(), 2);
    const QVector<DeltaRecord> delta = ds.delta();
    QCOMPARE(delta[0].kind, UpdateKind::Modify);
    QCOMPARE(delta[0].newValue("NAME").toString(), QString("Bo Chen"));
    QCOMPARE(delta[0].newValue("BIRTH").toDate(), QDate(1990, 3, 4));
    QCOMPARE(delta[1].newValue("NAME").toString(), QString("Ann Li"));
}

void TstBindings::model_captions()
{
    Fixture fx;
    DataGrid grid;
    grid.setDataSet(&fx.patients);
    grid.addColumn("cxGridView1FName", "NAME", "Name");
    grid.addColumn("cxGridView1FBirth", "BIRTH", "Born");
    QCOMPARE(grid.columnCount(), 2);
    QCOMPARE(grid.column(1).name, QString("cxGridView1FBirth"));
    QCOMPARE(grid.columnIndex("CXGRIDVIEW1FBIRTH"), 1);

    QSignalSpy headers(grid.model(), &QAbstractItemModel::headerDataChanged);
    grid.setColumnCaption(1, QString::fromUtf8("出生日期"));
    QCOMPARE(headers.count(), 1);
    QCOMPARE(headers[0][1].toInt(), 1);
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("出生日期"));
    QCOMPARE(grid.column(1).caption, QString::fromUtf8("出生日期"));
}

// --- grid ---------------------------------------------------------------------------------

void TstBindings::grid_andCursorFollowEachOther()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    DataGrid grid;
    grid.setDataSet(&ds);
    grid.addColumn("cName", "NAME", "Name");
    grid.addColumn("cFee", "FEE", "Fee");
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    auto selectedRow = [&grid] {
        const QModelIndexList rows = grid.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows[0].row() : -1;
    };
    QCOMPARE(selectedRow(), 0);

    ds.setRecNo(2);
    QCOMPARE(selectedRow(), 2);
    QCOMPARE(grid.currentIndex().row(), 2);

    auto rowCenter = [&grid](int row) {
        return grid.visualRect(grid.model()->index(row, 1)).center();
    };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowCenter(1));
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(selectedRow(), 1);

    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(ds.recNo(), 2);

    ds.append();
    QCOMPARE(selectedRow(), 3);
    ds.cancel();
    QCOMPARE(selectedRow(), 2);

    ds.setRecNo(0);
    ds.deleteRecord();
    QCOMPARE(selectedRow(), ds.recNo());

    // Leaving an edited row stores it; a refused store keeps the grid on that row.
    ds.edit();
    ds.setValue("NAME", "Bo Chen");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowCenter(1));
    QCOMPARE(ds.state(), ClientDataSet::State::Browse);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.changeCount(), 2);
    ds.setFieldRequired("NAME", true);
    ds.edit();
    ds.setValue("NAME", QVariant());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowCenter(0));
    QCOMPARE(ds.state(), ClientDataSet::State::Edit);
    QCOMPARE(ds.recNo(), 1);
    QTRY_COMPARE(selectedRow(), 1);
    ds.cancel();

    ds.setFilter("SEX", 1);
    QCOMPARE(selectedRow(), 0);
    ds.close();
    QCOMPARE(selectedRow(), -1);
    QCOMPARE(grid.model()->rowCount(), 0);
}

void TstBindings::grid_doubleClickAndReadOnly()
{
    Fixture fx;
    DataGrid grid;
    grid.setDataSet(&fx.patients);
    grid.addColumn("cName", "NAME", "Name");
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QVERIFY(grid.isReadOnly());

    QSignalSpy doubled(&grid, &DataGrid::recordDoubleClicked);
    const QPoint at = grid.visualRect(grid.model()->index(2, 0)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled[0][0].toInt(), 2);
    QCOMPARE(fx.patients.recNo(), 2);
    QVERIFY(!grid.model()->setData(grid.model()->index(2, 0), "X"));
    QVERIFY(!grid.indexWidget(grid.model()->index(2, 0)));
    QCOMPARE(fx.patients.state(), ClientDataSet::State::Browse);

    grid.setReadOnly(false);
    QVERIFY(grid.model()->setData(grid.model()->index(2, 0), "Cy Dias"));
    QCOMPARE(fx.patients.value("NAME").toString(), QString("Cy Dias"));
}

// --- bindings -----------------------------------------------------------------------------

void TstBindings::binding_showsFollowsAndWrites_data()
{
    addKindColumns();
    addKindRows();
}

void TstBindings::binding_showsFollowsAndWrites()
{
    QFETCH(Kind, kind);
    QFETCH(QString, fieldName);
    QFETCH(QVariant, shown0);
    QFETCH(QVariant, shown1);
    QFETCH(QVariant, input);
    QFETCH(QVariant, stored);
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    Bound b = bind(kind, fx, fieldName);
    QVERIFY(b.widget->isEnabled());
    QCOMPARE(b.shown(), shown0);
    ds.setRecNo(1);
    QCOMPARE(b.shown(), shown1);
    QCOMPARE(ds.state(), ClientDataSet::State::Browse);

    QSignalSpy edited(b.binding, &FieldBinding::edited);
    b.userEdit(input);
    QVERIFY(!edited.isEmpty());
    QCOMPARE(ds.state(), ClientDataSet::State::Edit);
    QCOMPARE(ds.value(fieldName), stored);
    QCOMPARE(b.shown(), input);

    ds.post();
    QCOMPARE(ds.changeCount(), 1);
    const DeltaRecord change = ds.delta().value(0);
    QCOMPARE(change.kind, UpdateKind::Modify);
    QCOMPARE(change.newValue(fieldName), stored);

    ds.setRecNo(0);
    QCOMPARE(b.shown(), shown0);
    ds.setRecNo(1);
    QCOMPARE(b.shown(), input);
}

void TstBindings::binding_programValuesAreNotEdits_data()
{
    addKindColumns();
    addKindRows();
}

void TstBindings::binding_programValuesAreNotEdits()
{
    QFETCH(Kind, kind);
    QFETCH(QString, fieldName);
    QFETCH(QVariant, shown0);
    QFETCH(QVariant, input);
    QFETCH(QVariant, stored);
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    Bound b = bind(kind, fx, fieldName);
    QSignalSpy edited(b.binding, &FieldBinding::edited);
    QSignalSpy rowChanges(&ds, &ClientDataSet::rowChanged);

    ds.setRecNo(1);
    ds.edit();
    ds.setValue(fieldName, stored);
    QCOMPARE(b.shown(), input);
    QCOMPARE(rowChanges.count(), 1);
    ds.cancel();
    ds.last();
    ds.first();
    QCOMPARE(b.shown(), shown0);
    ds.openWith(patients());
    QCOMPARE(b.shown(), shown0);

    QCOMPARE(edited.count(), 0);
    QCOMPARE(ds.state(), ClientDataSet::State::Browse);
    QCOMPARE(ds.changeCount(), 0);
}

void TstBindings::binding_emptyAndInactive_data()
{
    addKindColumns();
    addKindRows();
}

void TstBindings::binding_emptyAndInactive()
{
    QFETCH(Kind, kind);
    QFETCH(QString, fieldName);
    QFETCH(QVariant, shown0);
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    Bound b = bind(kind, fx, fieldName);
    ds.close();
    QVERIFY(!b.widget->isEnabled());

    ResultTable none = patients();
    none.rows.clear();
    ds.openWith(none);
    QVERIFY(!b.widget->isEnabled());

    ds.openWith(patients());
    QVERIFY(b.widget->isEnabled());
    QCOMPARE(b.shown(), shown0);

    // The window's own disabling is left alone.
    b.widget->setEnabled(false);
    ds.close();
    ds.openWith(patients());
    QVERIFY(!b.widget->isEnabled());
}

void TstBindings::binding_editingAnEmptyDataSetAppends()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    ResultTable none = patients();
    none.rows.clear();
    ds.openWith(none);
    int defaults = 0;
    ds.onNewRecord = [&defaults](ClientDataSet& d) {
        ++defaults;
        d.setValue("ID", -1);
    };
    QLineEdit name;
    bindLineEdit(&name, &ds, "NAME");
    QVERIFY(!name.isEnabled());
    ds.setAppendOnFirstEdit(true);
    ds.openWith(none);
    QVERIFY(name.isEnabled());
    QTest::keyClicks(&name, "Di");
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(defaults, 1);
    QCOMPARE(ds.state(), ClientDataSet::State::Insert);
    QCOMPARE(ds.value("ID").toInt(), -1);
    QCOMPARE(ds.value("NAME").toString(), QStringLiteral("Di"));
}

void TstBindings::memo_takesNoMoreThanTheColumn()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    QPlainTextEdit memo;
    bindMemo(&memo, &ds, "NAME"); // 20 characters
    memo.setPlainText(QString(25, QLatin1Char('n')));
    QCOMPARE(memo.toPlainText().size(), 20);
    QCOMPARE(ds.value("NAME").toString(), QString(20, QLatin1Char('n')));
    // The dataset itself refuses what a widget without a limit would pass on.
    QVERIFY_THROWS_EXCEPTION(DbError, ds.setValue("NAME", QString(21, QLatin1Char('n'))));
    ds.setValue("TITLE", QString(10, QLatin1Char('t')));
    QCOMPARE(ds.value("TITLE").toString().size(), 10);
}

void TstBindings::grid_cellButton()
{
    Fixture fx;
    DataGrid grid;
    grid.setDataSet(&fx.patients);
    grid.addColumn("colName", "NAME", "Name");
    const int doctor = grid.addColumn("colDoctor", "DOCTOR", "Doctor");
    grid.setColumnButton(doctor);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QList<QPair<int, int>> clicks;
    connect(&grid, &DataGrid::cellButtonClicked, this,
            [&clicks](int row, int column) { clicks << qMakePair(row, column); });
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellButtonRect(1, doctor).center());
    QCOMPARE(clicks, (QList<QPair<int, int>>{{1, doctor}}));
    // The rest of the cell is an ordinary cell.
    const QRect cell = grid.visualRect(grid.model()->index(2, doctor));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(3, 3));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(grid.model()->index(0, doctor).data().toString(), QStringLiteral("Dr Ortiz"));
}

void TstBindings::binding_followsAppendAndCancel()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    QLineEdit name;
    QDateEdit birth;
    QCheckBox active;
    bindLineEdit(&name, &ds, "NAME");
    bindDateEdit(&birth, &ds, "BIRTH");
    bindCheckBox(&active, &ds, "ACTIVE");
    ds.last();
    ds.append();
    QCOMPARE(ds.state(), ClientDataSet::State::Insert);
    QCOMPARE(name.text(), QString());
    QCOMPARE(birth.date(), birth.minimumDate());
    QVERIFY(!active.isChecked());

    QTest::keyClicks(&name, "Ed Fox");
    QTest::keyClick(&active, Qt::Key_Space);
    QCOMPARE(ds.state(), ClientDataSet::State::Insert);
    QCOMPARE(ds.value("NAME").toString(), QString("Ed Fox"));
    QCOMPARE(ds.value("ACTIVE").toInt(), 1);
    QVERIFY(ds.value("BIRTH").isNull());

    ds.cancel();
    QCOMPARE(name.text(), QString("Cy Diaz"));
    QCOMPARE(birth.date(), QDate(2001, 1, 2));
    QVERIFY(active.isChecked());
    QCOMPARE(ds.changeCount(), 0);
}

void TstBindings::lineEdit_sizeAndReadOnly()
{
    Fixture fx;
    ClientDataSet& ds = fx.patients;
    QLineEdit name;
    QLineEdit doctor;
    bindLineEdit(&name, &ds, "NAME");
    bindLineEdit(&doctor, &ds, "DOCTOR");
    QCOMPARE(name.maxLength(), 20);
    QVERIFY(!name.isReadOnly());
    QVERIFY(doctor.isReadOnly());
    QCOMPARE(doctor.text(), QString("Dr Ortiz"));

    QTest::keyClick(&name, Qt::Key_End);
    QTest::keyClicks(&name, QString(30, QChar('x')));
    QCOMPARE(ds.value("NAME").toString().size(), 20);
}

void TstBindings::lookupCombo_reloadsWithItsDataSet()
{
    Fixture fx;
    QComboBox combo;
    bindLookupComboBox(&combo, &fx.patients, "DOCTOR_ID", &fx.doctors, "ID", "NAME");
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.currentText(), QString("Dr Ortiz"));

    ResultTable more = doctors();
    more.rows.prepend({9, "Dr Quinn"});
    more.rows[2][1] = "Dr Orr";
    fx.doctors.openWith(more);
    QCOMPARE(combo.count(), 4);
    QCOMPARE(combo.itemText(0), QString("Dr Quinn"));
    QCOMPARE(combo.currentText(), QString("Dr Orr"));

    chooseWithKeys(&combo, 0);
    QCOMPARE(fx.patients.value("DOCTOR_ID").toInt(), 9);
    QCOMPARE(fx.patients.value("DOCTOR").toString(), QString("Dr Quinn"));
}

QTEST_MAIN(TstBindings)
#include "tst_bindings.moc"

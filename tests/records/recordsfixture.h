#pragma once

// A fresh database with the data module and message boxes of a records-window test, and
// small helpers to reach a window's parts by objectName.

#include "clientdataset.h"
#include "dmdata.h"
#include "testutils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

struct RecordsEnv
{
    QTemporaryDir dir;
    TdmData dm{freshDatabase(dir)};
    AnsweringPresenter presenter;

    void setLanguage(int index)
    {
        QVERIFY(dm.ExcSQL(
            QStringLiteral("update t_sys set FValue=? where FCatalog='common' and FKey='language'"),
            {QString::number(index)}));
        dm.GetLanguage();
        QCOMPARE(dm.FLanguageIndex, index);
    }
    void exec(const QString& sql, const QVariantList& params = {})
    {
        QVERIFY2(dm.ExcSQL(sql, params), qPrintable(presenter.texts().join('\n')));
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {})
    {
        return dm.GetScular(sql, params);
    }
    int count(const QString& sql, const QVariantList& params = {})
    {
        return scalar(sql, params).toInt();
    }
};

template <class T> T* part(QObject* w, const char* name)
{
    auto* p = w->findChild<T*>(QString::fromLatin1(name));
    if (!p)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return p;
}

// The values of one field over all rows of a dataset, as integers.
inline QList<int> keysOf(ClientDataSet* ds, const QString& field = QStringLiteral("FInterID"))
{
    QList<int> keys;
    const int col = ds->fieldIndex(field);
    for (int r = 0; r < ds->recordCount(); ++r)
        keys << ds->value(r, col).toInt();
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Texts a user reads on the window (title, captions, tabs, column headers) that hold Chinese.
inline QStringList chineseTexts(QWidget* window)
{
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QStringList texts{window->windowTitle()};
    for (auto* b : window->findChildren<QAbstractButton*>())
        texts << b->text();
    for (auto* l : window->findChildren<QLabel*>())
        texts << l->text();
    for (auto* t : window->findChildren<QTabWidget*>()) {
        for (int i = 0; i < t->count(); ++i)
            texts << t->tabText(i);
    }
    for (auto* v : window->findChildren<QTableView*>()) {
        for (int i = 0; i < v->model()->columnCount(); ++i) {
            if (!v->isColumnHidden(i))
                texts << v->model()->headerData(i, Qt::Horizontal).toString();
        }
    }
    QStringList found;
    for (const QString& t : texts) {
        if (t.contains(cjk))
            found << t;
    }
    return found;
}

// Double-clicks the grid row (or, with row -1, the empty space under the rows).
inline void doubleClickRow(QTableView* grid, int row)
{
    QPoint at(10, grid->viewport()->height() - 5);
    if (row >= 0) {
        const QRect r = grid->visualRect(grid->model()->index(row, 0));
        at = r.center();
    }
    // As a user's: press, release, the double click, release.
    QWidget* viewport = grid->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    if (viewport->isVisible())
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
}

// Runs check on the modal window once it is shown.
template <class F> void whenModal(F check)
{
    QTimer::singleShot(0, [check] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            QTimer::singleShot(10, [check] { whenModal(check); });
            return;
        }
        // A failed check must not leave the test waiting for ever.
        QTimer::singleShot(15000, w, [w] {
            qWarning("closing a modal window that the test left open");
            w->close();
        });
        check(w);
    });
}
